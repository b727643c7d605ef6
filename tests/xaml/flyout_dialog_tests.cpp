#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/ContentDialog.h"
#include "platform/xaml/controls/MenuFlyout.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToolTipService.h"

#include "tests/xaml/shown_root.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

using namespace xaml;
using foundation::box_value;
using foundation::make;

namespace {

std::shared_ptr<MenuFlyoutItem> menu_item(const char16_t* text)
{
    auto item = make<MenuFlyoutItem>();
    item->Text(text);
    return item;
}

// The file-name box with its menu of a copy and a paste item.
struct box_with_menu {
    std::shared_ptr<TextBox> box = make<TextBox>();
    std::shared_ptr<MenuFlyout> flyout = make<MenuFlyout>();
    std::shared_ptr<MenuFlyoutItem> copy = menu_item(u"Copy");
    std::shared_ptr<MenuFlyoutItem> paste = menu_item(u"Paste");

    box_with_menu()
    {
        flyout->Items()->Append(copy);
        flyout->Items()->Append(paste);
        box->ContextFlyout(flyout);
    }
};

void right_click(QWidget* widget, QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse)
{
    const QPoint at(5, 5);
    QContextMenuEvent event(reason, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
}

}  // namespace

TEST(MenuFlyout, OpeningComesBeforeTheMenuShowsAndCanStillChangeItsItems)
{
    box_with_menu m;
    auto& [box, flyout, copy, paste] = m;
    int openings = 0;
    bool shownAtOpening = true;
    IInspectable sender;
    flyout->Opening([&](const IInspectable& s, const IInspectable&) {
        ++openings;
        sender = s;
        shownAtOpening = flyout->menu() && flyout->menu()->isVisible();
        paste->IsEnabled(openings > 1);  // what the file-name box does with an empty clipboard
    });
    auto root = test::show(box);

    right_click(box->editor());
    ASSERT_EQ(openings, 1);
    EXPECT_FALSE(shownAtOpening) << "Opening is raised before the menu shows";
    EXPECT_EQ(sender, flyout);
    ASSERT_TRUE(test::run_until([&] { return flyout->menu()->isVisible(); }));
    const auto actions = flyout->menu()->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "Copy");
    EXPECT_TRUE(actions[0]->isEnabled());
    EXPECT_FALSE(actions[1]->isEnabled()) << "a change made in Opening shows in the menu";
    EXPECT_EQ(flyout->menu()->pos(), box->editor()->mapToGlobal(QPoint(5, 5))) << "the menu opens where the click was";
    flyout->menu()->close();

    right_click(box->editor(), QContextMenuEvent::Keyboard);
    EXPECT_EQ(openings, 2) << "the menu key opens it too, raising Opening again";
    EXPECT_TRUE(flyout->menu()->actions()[1]->isEnabled());
}

TEST(ToolTipService, TheToolTipIsTheWidgetsQtToolTipAndShowsItsTextAsWritten)
{
    auto box = make<TextBox>();
    auto button = make<Button>();
    auto stack = make<StackPanel>();
    stack->Children()->Append(box);
    stack->Children()->Append(button);
    ToolTipService::SetToolTip(box, box_value(u"Fully qualified host name"));
    auto tip = make<TextBlock>();
    tip->Text(u"Copy <b>XXH64</b>");
    ToolTipService::SetToolTip(button, tip);
    auto root = test::show(stack);

    // Hovering the editor inside the box shows the box's tool tip.
    QWidget* editor = box->editor();
    QHelpEvent hover(QEvent::ToolTip, QPoint(4, 4), editor->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(editor, &hover);
    EXPECT_TRUE(test::run_until([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), "Fully qualified host name");
    QToolTip::hideText();

    const QString shown = button->widget()->toolTip();
    EXPECT_TRUE(shown.contains("&lt;b&gt;XXH64")) << "an element's text is shown, markup-like text escaped: " << shown.toStdString();
    EXPECT_EQ(ToolTipService::GetToolTip(button), tip);

    ToolTipService::SetToolTip(box, nullptr);
    EXPECT_TRUE(box->widget()->toolTip().isEmpty());
}

namespace {

std::shared_ptr<ContentDialog> failure_dialog(const std::shared_ptr<XamlRoot>& root)
{
    auto dialog = make<ContentDialog>();
    dialog->XamlRoot(root);
    dialog->Title(box_value(u"Failure reading file"));
    dialog->Content(box_value(u"The system cannot find the file specified."));
    dialog->CloseButtonText(u"OK");
    return dialog;
}

foundation::fire_and_forget show_and_record(std::shared_ptr<ContentDialog> dialog, std::optional<ContentDialogResult>* result)
{
    *result = co_await dialog->ShowAsync();
}

}  // namespace

TEST(ContentDialog, ShowAsyncCompletesWhenTheCloseButtonClosesTheWindowModalDialog)
{
    auto behind = make<Button>();
    behind->Content(box_value(u"Behind"));
    int behindClicks = 0;
    behind->Click([&](const auto&, const auto&) { ++behindClicks; });
    auto root = test::show(behind);

    std::optional<ContentDialogResult> result;
    show_and_record(failure_dialog(root), &result);  // nobody else keeps the dialog
    QPointer<QDialog> shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(shown, nullptr) << "ShowAsync returns with the dialog open";
    ASSERT_TRUE(test::run_until([&] { return shown->isVisible(); }));
    EXPECT_FALSE(result.has_value());
    EXPECT_EQ(shown->windowModality(), Qt::WindowModal);
    EXPECT_EQ(shown->parentWidget(), root->host_widget()) << "modal to its XamlRoot's window";
    EXPECT_EQ(shown->windowTitle(), "Failure reading file");
    QStringList texts;
    for (const QLabel* label : shown->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("The system cannot find the file specified.")) << texts.join('|').toStdString();

    // Clicks go through the window system, which holds them back from a blocked window.
    QWindow* window = root->host_widget()->windowHandle();
    const QPoint onButton = behind->widget()->mapTo(root->host_widget(), behind->widget()->rect().center());
    QTest::mouseClick(window, Qt::LeftButton, {}, onButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(behindClicks, 0) << "the window behind a modal dialog takes no clicks";

    QPushButton* ok = nullptr;
    for (QPushButton* b : shown->findChildren<QPushButton*>())
        if (b->isVisible()) ok = b;
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_TRUE(test::run_until([&] { return result.has_value(); }));
    EXPECT_EQ(*result, ContentDialogResult::None);
    EXPECT_TRUE(test::run_until([&] { return !shown; })) << "a dialog nobody holds goes once it has closed";

    QTest::mouseClick(window, Qt::LeftButton, {}, onButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(behindClicks, 1) << "the window takes clicks again once the dialog is closed";
}

TEST(ContentDialog, TheResultNamesTheButtonAndEscapeGivesNone)
{
    auto root = test::show(make<StackPanel>());
    auto dialog = failure_dialog(root);
    dialog->PrimaryButtonText(u"Retry");

    auto first = dialog->ShowAsync();
    ASSERT_TRUE(test::run_until([&] { return dialog->dialog()->isVisible(); }));
    QTest::mouseClick(dialog->primary_button(), Qt::LeftButton);
    ASSERT_TRUE(test::run_until([&] { return first.Status() == foundation::AsyncStatus::Completed; }));
    EXPECT_EQ(first.GetResults(), ContentDialogResult::Primary);

    auto second = dialog->ShowAsync();
    ASSERT_TRUE(test::run_until([&] { return dialog->dialog()->isVisible(); }));
    QTest::keyClick(dialog->dialog(), Qt::Key_Escape);
    ASSERT_TRUE(test::run_until([&] { return second.Status() == foundation::AsyncStatus::Completed; }));
    EXPECT_EQ(second.GetResults(), ContentDialogResult::None);
}

TEST(ContentDialog, ASecondDialogOnTheSameRootFailsWhileTheFirstIsOpen)
{
    auto root = test::show(make<StackPanel>());
    auto first = failure_dialog(root);
    auto operation = first->ShowAsync();

    auto second = failure_dialog(root);
    try {
        second->ShowAsync();
        ADD_FAILURE() << "a second dialog opened";
    } catch (const foundation::hresult_error& e) {
        EXPECT_EQ(e.code(), E_ASYNC_OPERATION_NOT_STARTED);
        EXPECT_EQ(e.message(), u"Only a single ContentDialog can be open at any time.");
    }
    EXPECT_THROW(first->ShowAsync(), foundation::hresult_error) << "nor does the open one open twice";
    EXPECT_FALSE(second->dialog()->isVisible());

    auto otherRoot = test::show(make<StackPanel>());
    auto elsewhere = failure_dialog(otherRoot);
    EXPECT_NO_THROW(elsewhere->ShowAsync()) << "another window may have its own dialog";

    QTest::mouseClick(first->close_button(), Qt::LeftButton);
    ASSERT_TRUE(test::run_until([&] { return operation.Status() == foundation::AsyncStatus::Completed; }));
    EXPECT_NO_THROW(second->ShowAsync()) << "once the first has closed the next one opens";
    EXPECT_TRUE(second->dialog()->isVisible());
}

TEST(ContentDialog, ALongMessageWrapsAnywhereAndScrollsWithinTheWindow)
{
    auto root = test::show(make<StackPanel>(), 640, 400);
    auto dialog = failure_dialog(root);
    // A path of 4,000 characters, nearly all of it one name far longer than a line.
    const std::u16string path = u"/home/user/" + std::u16string(4000 - 11, u'a');
    const QString message = QString::fromStdU16String(u"Could not open \u201c" + path + u"\u201d: No such file or directory");
    dialog->Content(box_value(hstring(message.toStdU16String())));
    auto operation = dialog->ShowAsync();
    QDialog* shown = dialog->dialog();
    ASSERT_TRUE(test::run_until([&] { return shown->isVisible(); }));
    QCoreApplication::processEvents();

    EXPECT_LE(shown->height(), root->host_widget()->height()) << "the dialog fits the window";
    const QLabel* text = nullptr;
    for (const QLabel* label : shown->findChildren<QLabel*>())
        if (label->text() == message) text = label;
    ASSERT_NE(text, nullptr);
    // Every line within the width: at least as many lines as the text's length needs.
    const int lines = (text->fontMetrics().horizontalAdvance(message) + text->width() - 1) / text->width();
    EXPECT_GE(text->heightForWidth(text->width()), lines * text->fontMetrics().lineSpacing() * 9 / 10);
    EXPECT_GE(text->height(), text->heightForWidth(text->width())) << "the whole text is laid out";
    auto* scroll = qobject_cast<const QAbstractScrollArea*>(text->parentWidget()->parentWidget());
    ASSERT_NE(scroll, nullptr) << "the message scrolls";
    EXPECT_LE(text->width(), scroll->viewport()->width()) << "nothing is cut at the side";
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    for (const QPushButton* button : shown->findChildren<QPushButton*>())
        EXPECT_TRUE(button->isVisible() && !button->text().isEmpty()) << "no hidden or unnamed button";
    // The keyboard pages through it from the button that has the focus.
    QScrollBar* bar = scroll->verticalScrollBar();
    QTest::keyClick(shown->focusWidget(), Qt::Key_PageDown);
    EXPECT_GT(bar->value(), 0);
    QTest::keyClick(shown->focusWidget(), Qt::Key_End);
    EXPECT_EQ(bar->value(), bar->maximum());
    QTest::keyClick(shown->focusWidget(), Qt::Key_PageUp);
    EXPECT_LT(bar->value(), bar->maximum());
    QTest::keyClick(shown->focusWidget(), Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(shown->isVisible());
    shown->reject();
    ASSERT_TRUE(test::run_until([&] { return operation.Status() == foundation::AsyncStatus::Completed; }));
}

// A keyboard or screen-reader user lands on the button and hears the message with the title; the
// message is no unnamed stop of its own.
TEST(ContentDialog, TheFocusStartsOnTheButtonAndTheMessageIsTheDialogsText)
{
    auto root = test::show(make<StackPanel>());
    auto dialog = failure_dialog(root);
    auto operation = dialog->ShowAsync();
    QDialog* shown = dialog->dialog();
    ASSERT_TRUE(test::run_until([&] { return shown->isVisible(); }));
    QCoreApplication::processEvents();

    EXPECT_EQ(shown->focusWidget(), dialog->close_button());
    QTest::keyClick(shown->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(shown->focusWidget(), dialog->close_button()) << "Tab finds no other stop";
    auto* accessible = QAccessible::queryAccessibleInterface(shown);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Failure reading file");
    EXPECT_EQ(accessible->text(QAccessible::Description), "The system cannot find the file specified.");
    std::function<void(QAccessibleInterface*)> check = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (child->state().focusable) {
                EXPECT_FALSE(child->text(QAccessible::Name).isEmpty()) << "an unnamed stop, role " << child->role();
            }
            check(child);
        }
    };
    check(accessible);
    QTest::keyClick(shown->focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(test::run_until([&] { return operation.Status() == foundation::AsyncStatus::Completed; }));

    // With two buttons and no default, the focus starts on the one that changes nothing.
    dialog->PrimaryButtonText(u"Retry");
    auto second = dialog->ShowAsync();
    ASSERT_TRUE(test::run_until([&] { return shown->isVisible(); }));
    EXPECT_EQ(shown->focusWidget(), dialog->close_button());
    shown->reject();
    ASSERT_TRUE(test::run_until([&] { return second.Status() == foundation::AsyncStatus::Completed; }));
}

TEST(ContentDialog, ClosingItsWindowCompletesTheDialogWithNone)
{
    auto root = test::show(make<StackPanel>());
    auto dialog = failure_dialog(root);
    auto operation = dialog->ShowAsync();
    ASSERT_TRUE(test::run_until([&] { return dialog->dialog()->isVisible(); }));

    root.reset();  // the window goes away with the dialog open
    ASSERT_TRUE(test::run_until([&] { return operation.Status() == foundation::AsyncStatus::Completed; }));
    EXPECT_EQ(operation.GetResults(), ContentDialogResult::None);
    ASSERT_NE(dialog->dialog(), nullptr) << "the dialog outlives the window";
    EXPECT_FALSE(dialog->dialog()->isVisible());

    EXPECT_THROW(make<ContentDialog>()->ShowAsync(), foundation::hresult_invalid_argument) << "a dialog needs a XamlRoot";
}

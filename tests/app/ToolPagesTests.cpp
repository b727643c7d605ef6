// The program's menu leads to real pages: every tool the pane lists opens its page, laid out and
// showing controls, as the program links and registers them; every class it registers answers
// to the name it is registered under.

#include "app/App.h"
#include "app/MainWindow.h"
#include "platform/foundation/activation.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToggleButton.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/markup/markup.h"

#include "tests/support/event_loop.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Zintrel;
using foundation::hstring;
using foundation::unbox_value;

namespace {

// The visible buttons of a tree that have room on the screen.
int shown_buttons(const std::shared_ptr<xaml::UIElement>& element)
{
    int count = 0;
    if (std::dynamic_pointer_cast<xaml::ButtonBase>(element) && element->widget()->isVisible() &&
        !element->widget()->size().isEmpty())
        ++count;
    for (const auto& child : element->visual_children()) count += shown_buttons(child);
    return count;
}

template <class Element>
std::vector<std::shared_ptr<Element>> all_of(const std::shared_ptr<xaml::UIElement>& element)
{
    std::vector<std::shared_ptr<Element>> found;
    if (auto e = std::dynamic_pointer_cast<Element>(element)) found.push_back(e);
    for (const auto& child : element->visual_children())
        for (auto& e : all_of<Element>(child)) found.push_back(std::move(e));
    return found;
}

// What assistive technology finds under a window: what shows there, and what is wrong with the
// rest (an object that does not show must say so and take no focus; text takes no focus).
struct accessible_tree {
    std::vector<std::string> faults;
    std::vector<std::pair<QAccessible::Role, QString>> shown;
    std::vector<QString> focusable;

    explicit accessible_tree(QWidget* window) { walk(QAccessible::queryAccessibleInterface(window), true); }
    bool shows(QAccessible::Role role, const QString& name) const
    {
        return std::find(shown.begin(), shown.end(), std::pair{role, name}) != shown.end();
    }

private:
    void walk(QAccessibleInterface* node, bool ancestorsShow)
    {
        const auto state = node->state();
        const auto* widget = qobject_cast<QWidget*>(node->object());
        const QRect place = node->rect();
        const bool shows = ancestorsShow && (!widget || widget->isVisible()) && !place.isEmpty();
        const QString what = QString("role %1 \"%2\" (%3x%4)").arg(node->role()).arg(node->text(QAccessible::Name)).arg(place.width()).arg(place.height());
        if (!shows && !state.invisible) faults.push_back(what.toStdString() + " does not show but is not marked invisible");
        if (!shows && state.focusable) faults.push_back(what.toStdString() + " does not show but takes the focus");
        if (node->role() == QAccessible::StaticText && state.focusable) faults.push_back(what.toStdString() + " is text but takes the focus");
        if (shows) shown.emplace_back(node->role(), node->text(QAccessible::Name));
        if (shows && state.focusable) focusable.push_back(node->text(QAccessible::Name));
        for (int i = 0; i < node->childCount(); ++i)
            if (auto* child = node->child(i)) walk(child, shows);
    }
};

}  // namespace

TEST(ToolPages, EveryToolInThePaneOpensItsPage)
{
    xaml::set_markup_folder(QCoreApplication::applicationDirPath().toStdString());
    auto app = foundation::make<App>();
    auto window = foundation::make<MainWindow>();
    window->Activate();
    ASSERT_TRUE(test::run_until([&] { return window->widget()->isVisible() && window->NavView()->IsLoaded(); }));

    const auto items = window->NavView()->MenuItems();
    ASSERT_EQ(items->Size(), 4u);
    // Backwards, so that the first tool, shown at start, is also reached from another page.
    for (std::uint32_t i = items->Size(); i-- > 0;) {
        auto item = foundation::as<xaml::NavigationViewItem>(items->GetAt(i));
        const auto tag = unbox_value<hstring>(item->Tag());
        SCOPED_TRACE(foundation::to_narrow(tag));
        QTest::mouseClick(item->widget(), Qt::LeftButton);

        ASSERT_TRUE(test::run_until([&] {
            auto page = std::dynamic_pointer_cast<xaml::Page>(window->ContentFrame()->Content());
            return page && page->GetRuntimeClassName() == tag && page->IsLoaded();
        })) << "the frame does not show the tool's page: is its type registered and its library linked?";
        auto page = foundation::as<xaml::Page>(window->ContentFrame()->Content());
        EXPECT_FALSE(page->widget()->size().isEmpty());
        EXPECT_GT(shown_buttons(page), 0) << "the page is blank";
        EXPECT_EQ(foundation::as<xaml::TextBlock>(window->NavView()->Header())->Text(), unbox_value<hstring>(item->Content()));
    }
    window->Close();
}

// Assistive technology's Press is a click on every button of every page: Click comes, and the
// button takes the focus from the box being typed in, as under the pointer.
TEST(ToolPages, EveryButtonAnswersPressAsAClick)
{
    xaml::set_markup_folder(QCoreApplication::applicationDirPath().toStdString());
    auto app = foundation::make<App>();
    auto window = foundation::make<MainWindow>();
    window->Activate();
    QApplication::setActiveWindow(window->widget());
    ASSERT_TRUE(test::run_until([&] { return window->widget()->isVisible() && window->NavView()->IsLoaded(); }));

    const auto items = window->NavView()->MenuItems();
    for (std::uint32_t i = 0; i < items->Size(); ++i) {
        auto item = foundation::as<xaml::NavigationViewItem>(items->GetAt(i));
        SCOPED_TRACE(foundation::to_narrow(unbox_value<hstring>(item->Tag())));
        QTest::mouseClick(item->widget(), Qt::LeftButton);
        std::shared_ptr<xaml::Page> page;
        ASSERT_TRUE(test::run_until([&] {
            page = std::dynamic_pointer_cast<xaml::Page>(window->ContentFrame()->Content());
            return page && page->GetRuntimeClassName() == unbox_value<hstring>(item->Tag()) && page->IsLoaded();
        }));
        // The certificate pages start in their common name, and their buttons wait for one.
        if (auto* box = qobject_cast<QLineEdit*>(window->widget()->focusWidget())) QTest::keyClicks(box, "press.example");

        int pressed = 0;
        for (const auto& button : all_of<xaml::ButtonBase>(page)) {
            QAbstractButton* widget = button->button();
            if (!widget->isVisible() || !widget->isEnabled() || widget->size().isEmpty()) continue;
            SCOPED_TRACE(widget->text().toStdString());
            int clicks = 0;
            const auto token = button->Click([&](const auto&, const auto&) { ++clicks; });
            QAccessible::queryAccessibleInterface(widget)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            EXPECT_TRUE(test::run_until([&] { return clicks > 0; })) << "Press raises no Click";
            EXPECT_EQ(clicks, 1);
            EXPECT_EQ(window->widget()->focusWidget(), widget) << "a click takes the focus";
            button->Click(token);
            // What the button opened (a file dialog) is closed again.
            for (QWidget* shown : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(shown); dialog && dialog->isVisible()) dialog->reject();
            ++pressed;
        }
        EXPECT_GE(pressed, 3) << "the page shows its buttons";
    }
    window->Close();
}

TEST(ToolPages, EveryRegisteredClassAnswersToItsRegisteredName)
{
    xaml::set_markup_folder(QCoreApplication::applicationDirPath().toStdString());
    auto app = foundation::make<App>();
    int made = 0;
    for (const auto* type : xaml::metadata::registered_types()) {
        if (!type->activate) continue;
        EXPECT_EQ(type->activate()->GetRuntimeClassName(), type->name) << "markup makes it under this name";
        ++made;
    }
    for (const auto& name : foundation::activation::registered_names()) {
        try {
            EXPECT_EQ(foundation::activation::activate(name)->GetRuntimeClassName(), name) << "activation makes it under this name";
            ++made;
        } catch (const foundation::hresult_not_implemented&) {
            // A class of static members only has no instances to ask.
        }
    }
    EXPECT_GT(made, 40) << "the registries hold the program's classes";
}

// Collapsed rows and buttons, a pane's hidden parts, a closed list and idle busy indicators are
// nothing a screen reader should find or a focus could go to; the values shown are text to read.
TEST(ToolPages, AssistiveTechnologyFindsOnlyWhatShows)
{
    xaml::set_markup_folder(QCoreApplication::applicationDirPath().toStdString());
    QTemporaryDir folder;
    QFile file(folder.filePath("chosen.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("some bytes") == 10);
    file.close();
    auto app = foundation::make<App>();
    auto window = foundation::make<MainWindow>();
    window->Activate();
    ASSERT_TRUE(test::run_until([&] { return window->widget()->isVisible() && window->NavView()->IsLoaded(); }));
    const auto nav = window->NavView();

    // Wide, the pane stands open beside the page and hides its toggle; narrower, the pane is a
    // closed rail without its search box.
    for (const int width : {1100, 720}) {
        window->widget()->resize(width, 700);
        const bool wide = width >= nav->ExpandedModeThresholdWidth();
        ASSERT_TRUE(test::run_until([&] { return (nav->DisplayMode() == xaml::NavigationViewDisplayMode::Expanded) == wide; }));
        for (const auto& entry : *nav->MenuItems()) {
            const auto item = foundation::as<xaml::NavigationViewItem>(entry);
            const auto tag = unbox_value<hstring>(item->Tag());
            SCOPED_TRACE(foundation::to_narrow(tag) + " at " + std::to_string(width));
            nav->SelectedItem(item);
            ASSERT_TRUE(test::run_until([&] {
                auto page = std::dynamic_pointer_cast<xaml::Page>(window->ContentFrame()->Content());
                return page && page->GetRuntimeClassName() == tag && page->IsLoaded();
            }));
            const auto page = foundation::as<xaml::Page>(window->ContentFrame()->Content());

            std::vector<QString> mustShow, mustFocus;
            if (const auto box = std::dynamic_pointer_cast<xaml::TextBox>(page->FindName(u"fileNameBox"))) {
                // One algorithm of a chosen file: its row shows with its value and copy button,
                // the others' rows are collapsed.
                if (box->Text().empty()) {
                    QApplication::clipboard()->setText(file.fileName());
                    QTest::keyClick(box->editor(), Qt::Key_V, Qt::ControlModifier);
                    ASSERT_TRUE(test::run_until([&] { return !box->Text().empty(); }));
                    QTest::mouseClick(all_of<xaml::ToggleButton>(page).front()->widget(), Qt::LeftButton);
                }
                const auto value = foundation::as<xaml::TextBlock>(page->FindName(u"checksumText"));
                const auto size = foundation::as<xaml::TextBlock>(page->FindName(u"sizeOutput"));
                ASSERT_TRUE(test::run_until([&] { return !value->Text().empty() && !size->Text().empty(); }));
                const auto chosen = unbox_value<hstring>(all_of<xaml::ToggleButton>(page).front()->Content());
                mustShow = {QString::fromStdU16String(value->Text().str()), QString::fromStdU16String(size->Text().str())};
                mustFocus = {"Copy " + QString::fromStdU16String(chosen.str()), "Copy all checksums"};
            }
            const accessible_tree tree(window->widget());
            EXPECT_EQ(tree.faults, std::vector<std::string>{});
            for (const auto& text : mustShow) EXPECT_TRUE(tree.shows(QAccessible::StaticText, text)) << text.toStdString();
            for (const auto& name : mustFocus)
                EXPECT_NE(std::find(tree.focusable.begin(), tree.focusable.end(), name), tree.focusable.end())
                    << name.toStdString() << " is out of the keyboard's reach";
            EXPECT_EQ(std::count(tree.focusable.begin(), tree.focusable.end(), "Open or close navigation"), wide ? 0 : 1);
            EXPECT_EQ(std::count(tree.focusable.begin(), tree.focusable.end(), "Search the tools"), wide ? 1 : 0);

            // An open list is there, under the name of its drop-down; closed, it is gone again.
            if (auto* combo = page->widget()->findChild<QComboBox*>()) {
                combo->showPopup();
                ASSERT_TRUE(test::run_until([&] { return combo->view()->isVisible(); }));
                auto* list = QAccessible::queryAccessibleInterface(combo)->child(0);
                ASSERT_NE(list, nullptr);
                EXPECT_EQ(list->text(QAccessible::Name), "Key type");
                EXPECT_EQ(list->childCount(), combo->count());
                combo->hidePopup();
                ASSERT_TRUE(test::run_until([&] { return !combo->view()->isVisible(); }));
                EXPECT_EQ(accessible_tree(window->widget()).faults, std::vector<std::string>{});
            }
        }
    }
    window->Close();
}

#include "platform/xaml/controls/AutoSuggestBox.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/Grid.h"
#include "platform/xaml/controls/NumberBox.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/PasswordBox.h"
#include "platform/xaml/controls/ProgressRing.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/TextBox.h"

#include "tests/support/event_loop.h"
#include "tests/xaml/shown_root.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <vector>

using namespace xaml;
using foundation::box_value;
using foundation::make;
using test::show;

namespace {

std::shared_ptr<RowDefinition> row(GridLength height)
{
    auto r = make<RowDefinition>();
    r->Height(height);
    return r;
}

}  // namespace

TEST(Layout, GridGivesAutoRowsTheirContentAndStarsTheRest)
{
    auto grid = make<Grid>();
    grid->RowDefinitions()->Append(row(GridLengthHelper::Auto()));
    grid->RowDefinitions()->Append(row({1, GridUnitType::Star}));
    grid->RowDefinitions()->Append(row(GridLengthHelper::FromPixels(50)));
    auto top = make<TextBlock>();
    top->Text(u"Top");
    auto middle = make<Button>();
    middle->HorizontalAlignment(HorizontalAlignment::Stretch);
    middle->VerticalAlignment(VerticalAlignment::Stretch);
    auto bottom = make<TextBlock>();
    bottom->Margin({10, 5, 10, 5});
    Grid::SetRow(middle, 1);
    Grid::SetRow(bottom, 2);
    for (const auto& e : {std::shared_ptr<UIElement>(top), std::shared_ptr<UIElement>(middle), std::shared_ptr<UIElement>(bottom)})
        grid->Children()->Append(e);

    auto root = show(grid, 400, 300);
    const double autoHeight = grid->RowDefinitions()->GetAt(0)->ActualHeight();
    EXPECT_GT(autoHeight, 0);
    EXPECT_DOUBLE_EQ(grid->RowDefinitions()->GetAt(2)->ActualHeight(), 50);
    EXPECT_NEAR(grid->RowDefinitions()->GetAt(1)->ActualHeight(), 300 - 50 - autoHeight, 1);
    EXPECT_EQ(middle->widget()->geometry(), QRect(0, static_cast<int>(autoHeight), 400, static_cast<int>(250 - autoHeight)));
    EXPECT_EQ(bottom->widget()->geometry().topLeft(), QPoint(10, 255)) << "margins keep their distance";

    top->Visibility(Visibility::Collapsed);
    QCoreApplication::processEvents();
    EXPECT_TRUE(test::run_until([&] { return grid->RowDefinitions()->GetAt(0)->ActualHeight() == 0; }))
        << "a collapsed element takes no space";
}

TEST(Layout, StackPanelStacksWithSpacingAndSkipsCollapsedChildren)
{
    auto stack = make<StackPanel>();
    stack->Spacing(8);
    std::vector<std::shared_ptr<Button>> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons.push_back(make<Button>());
        buttons.back()->Content(box_value(u"Button"));
        stack->Children()->Append(buttons.back());
    }
    buttons[1]->Visibility(Visibility::Collapsed);
    auto root = show(stack);
    const QRect first = buttons[0]->widget()->geometry();
    const QRect third = buttons[2]->widget()->geometry();
    EXPECT_EQ(third.top(), first.bottom() + 1 + 8);
    EXPECT_FALSE(buttons[1]->widget()->isVisible());
    EXPECT_EQ(first.left(), 0);
    EXPECT_LT(first.width(), 400) << "buttons keep their own width by default";
}

TEST(Elements, LoadingComesBeforeLoadedAndDataContextIsInherited)
{
    auto outer = make<StackPanel>();
    auto inner = make<TextBlock>();
    outer->Children()->Append(inner);
    std::vector<std::string> events;
    outer->Loading([&](const auto&, const auto&) { events.push_back("outer loading"); });
    inner->Loading([&](const auto&, const auto&) { events.push_back("inner loading"); });
    outer->Loaded([&](const auto&, const auto&) { events.push_back("outer loaded"); });
    inner->Loaded([&](const auto&, const auto&) {
        events.push_back("inner loaded");
        EXPECT_TRUE(inner->IsLoaded());
    });
    IInspectable seen;
    inner->DataContextChanged([&](const auto&, const DataContextChangedEventArgs& args) { seen = args.NewValue(); });

    auto context = box_value(u"model");
    outer->DataContext(context);
    EXPECT_EQ(inner->DataContext(), context);
    EXPECT_EQ(seen, context) << "a child without its own data context hears of its parent's";

    auto root = show(outer);
    EXPECT_EQ(events, (std::vector<std::string>{"outer loading", "inner loading", "outer loaded", "inner loaded"}));

    bool unloaded = false;
    inner->Unloaded([&](const auto&, const auto&) { unloaded = true; });
    outer->Children()->Clear();
    EXPECT_TRUE(unloaded);
    EXPECT_FALSE(inner->IsLoaded());
    EXPECT_EQ(inner->DataContext(), nullptr);
}

// A screen reader or voice control sets the text through the accessibility interface, which
// never counts as an edit to the widget; it is the user's input all the same.
void set_as_assistive_technology(QLineEdit* line, const QString& text)
{
    auto* accessible = QAccessible::queryAccessibleInterface(line);
    ASSERT_TRUE(accessible && accessible->editableTextInterface());
    accessible->editableTextInterface()->replaceText(0, static_cast<int>(line->text().size()), text);
}

TEST(Controls, TextGoesBothWaysBetweenCodeAndTheEditor)
{
    auto box = make<TextBox>();
    box->Text(u"set by code");
    auto* line = static_cast<QLineEdit*>(box->editor());
    EXPECT_EQ(line->text(), QString("set by code"));
    set_as_assistive_technology(line, "spoken");
    EXPECT_EQ(box->Text(), u"spoken");

    auto password = make<PasswordBox>();
    set_as_assistive_technology(password->editor(), "spoken secret");
    EXPECT_EQ(password->Password(), u"spoken secret");

    auto search = make<AutoSuggestBox>();
    std::vector<AutoSuggestionBoxTextChangeReason> reasons;
    search->TextChanged([&](const auto&, const AutoSuggestBoxTextChangedEventArgs& args) { reasons.push_back(args.Reason()); });
    search->Text(u"by code");
    set_as_assistive_technology(search->editor(), "spoken search");
    EXPECT_EQ(search->Text(), u"spoken search");
    EXPECT_EQ(reasons, (std::vector{AutoSuggestionBoxTextChangeReason::ProgrammaticChange,
                                    AutoSuggestionBoxTextChangeReason::UserInput}));
}

TEST(Controls, AReadOnlyBoxCannotBeWrittenThroughTheAccessibilityInterface)
{
    auto box = make<TextBox>();
    box->IsReadOnly(true);
    box->Text(u"/home/user/chosen.iso");
    int changes = 0;
    box->RegisterPropertyChangedCallback(TextBox::TextProperty(), [&](const auto&, const auto&) { ++changes; });
    auto* line = static_cast<QLineEdit*>(box->editor());
    auto* accessible = QAccessible::queryAccessibleInterface(line);
    ASSERT_TRUE(accessible && accessible->textInterface()) << "the text is still read";
    EXPECT_EQ(accessible->textInterface()->text(0, accessible->textInterface()->characterCount()), "/home/user/chosen.iso");
    EXPECT_TRUE(accessible->state().readOnly);
    EXPECT_FALSE(accessible->state().editable);
    EXPECT_EQ(accessible->editableTextInterface(), nullptr) << "a screen reader offers no editing of a read-only box";
    // What a tool does without the editing interface (AT-SPI's SetTextContents falls back to it).
    accessible->setText(QAccessible::Value, "/etc/passwd");
    EXPECT_EQ(line->text(), QString("/home/user/chosen.iso"));
    EXPECT_EQ(box->Text(), u"/home/user/chosen.iso");
    EXPECT_EQ(changes, 0);

    box->IsReadOnly(false);
    EXPECT_TRUE(accessible->state().editable);
    set_as_assistive_technology(line, "/tmp/other.iso");
    EXPECT_EQ(box->Text(), u"/tmp/other.iso");
}

// Text written by assistive technology is typed text: the box takes the focus first, so that it
// loses it again when the user goes on and hands over what was written, as a binding expects.
TEST(Controls, TextWrittenThroughTheAccessibilityInterfaceTakesTheFocusAsTypingDoes)
{
    auto panel = make<StackPanel>();
    auto box = make<TextBox>();
    auto password = make<PasswordBox>();
    auto number = make<NumberBox>();
    auto fixed = make<TextBox>();
    fixed->IsReadOnly(true);
    for (const auto& element : std::vector<std::shared_ptr<Control>>{box, password, number, fixed}) panel->Children()->Append(element);
    auto root = show(panel);
    int lost = 0;
    box->LostFocus([&](const auto&, const auto&) { ++lost; });

    auto* line = static_cast<QLineEdit*>(box->editor());
    set_as_assistive_technology(line, "Varnholt");
    EXPECT_EQ(box->FocusState(), FocusState::Programmatic);
    set_as_assistive_technology(password->editor(), "Kennwort");
    EXPECT_EQ(lost, 1) << "the box hands its text over as the user goes on";
    EXPECT_EQ(password->FocusState(), FocusState::Programmatic);
    set_as_assistive_technology(number->editor(), "30");
    EXPECT_EQ(number->FocusState(), FocusState::Programmatic);

    QAccessible::queryAccessibleInterface(fixed->editor())->setText(QAccessible::Value, "/etc/passwd");
    EXPECT_EQ(number->FocusState(), FocusState::Programmatic) << "a refused write moves nothing";
    set_as_assistive_technology(line, "Varnholt AG");
    EXPECT_EQ(number->Value(), 30) << "the number box takes its text when it loses the focus";

    // A screen reader still learns nothing of the password but its length.
    auto* hidden = QAccessible::queryAccessibleInterface(password->editor());
    EXPECT_TRUE(hidden->state().passwordEdit);
    EXPECT_EQ(hidden->text(QAccessible::Value), "********");
    EXPECT_EQ(hidden->textInterface()->text(0, hidden->textInterface()->characterCount()), "");
}

TEST(Controls, FocusStateSaysHowTheFocusCameUntilItLeaves)
{
    auto panel = make<StackPanel>();
    auto box = make<TextBox>();
    auto other = make<Button>();
    panel->Children()->Append(box);
    panel->Children()->Append(other);
    auto root = show(panel);
    ASSERT_TRUE(box->Focus(FocusState::Programmatic));
    EXPECT_EQ(box->FocusState(), FocusState::Programmatic);
    ASSERT_TRUE(other->Focus(FocusState::Keyboard));
    EXPECT_EQ(box->FocusState(), FocusState::Unfocused);
}

TEST(Controls, ASelectableValueIsNoFocusStopYetCopiesWhatAClickSelects)
{
    auto panel = make<StackPanel>();
    auto box = make<TextBox>();
    auto value = make<TextBlock>();
    value->SetValue(TextBlock::TextWrappingProperty(), box_value(TextWrapping::Wrap));
    value->SetValue(TextBlock::IsTextSelectionEnabledProperty(), box_value(true));
    value->Text(u"99736577B441A1BBD3EC197FE371E984");
    panel->Children()->Append(box);
    panel->Children()->Append(value);
    auto root = show(panel);
    QWindow* window = root->host_widget()->windowHandle();

    EXPECT_FALSE(QAccessible::queryAccessibleInterface(value->widget())->state().focusable) << "text to read";
    box->editor()->setFocus();
    QTest::keyClick(window, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), value->widget()) << "Tab stops at the value";

    // Selected with the mouse, the value goes to the clipboard with Ctrl+C.
    box->editor()->setFocus();
    QApplication::clipboard()->setText("before");
    const int middle = value->widget()->height() / 2;
    QTest::mousePress(value->widget(), Qt::LeftButton, {}, QPoint(1, middle));
    QTest::mouseMove(value->widget(), QPoint(value->widget()->width() - 1, middle));
    QTest::mouseRelease(value->widget(), Qt::LeftButton, {}, QPoint(value->widget()->width() - 1, middle));
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdU16String(), value->Text().str());
}

TEST(Controls, AnInactiveProgressRingStandsStillAndKeepsItsPlace)
{
    auto panel = make<StackPanel>();
    auto ring = make<ProgressRing>();
    auto below = make<Button>();
    below->Content(box_value(hstring(u"Below")));
    panel->Children()->Append(ring);
    panel->Children()->Append(below);
    auto root = show(panel);
    EXPECT_TRUE(ring->is_turning());
    const int placeWhileActive = below->widget()->y();
    auto* indicator = ring->widget()->findChild<QWidget*>();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(indicator)->text(QAccessible::Name), QString("Busy"));

    ring->IsActive(false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ring->is_turning()) << "an idle ring keeps no timer";
    EXPECT_EQ(below->widget()->y(), placeWhileActive);

    ring->IsActive(true);
    EXPECT_TRUE(ring->is_turning());
    root->host_widget()->hide();
    EXPECT_FALSE(ring->is_turning()) << "a ring out of sight stands still";
}

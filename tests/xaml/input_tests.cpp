#include "platform/globalization/IncrementNumberRounder.h"
#include "platform/xaml/core/AutomationProperties.h"
#include "platform/xaml/core/contrast.h"
#include "platform/xaml/controls/ComboBox.h"
#include "platform/xaml/controls/NumberBox.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/PasswordBox.h"
#include "platform/xaml/controls/RadioButtons.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToggleButton.h"
#include "platform/xaml/core/metadata.h"

#include "tests/support/event_loop.h"
#include "tests/xaml/shown_root.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace xaml;
using foundation::box_value;
using foundation::IReference;
using foundation::make;
using test::show;

namespace {

std::string state_text(IReference<bool> state) { return !state ? "null" : *state ? "true" : "false"; }

std::shared_ptr<RadioButton> radio(const char16_t* content, const char16_t* group = u"")
{
    auto button = make<RadioButton>();
    button->Content(box_value(content));
    button->GroupName(group);
    return button;
}

void click(const std::shared_ptr<UIElement>& element) { QTest::mouseClick(element->widget(), Qt::LeftButton); }

std::shared_ptr<StackPanel> stacked(std::initializer_list<std::shared_ptr<UIElement>> elements)
{
    auto panel = make<StackPanel>();
    for (const auto& e : elements) panel->Children()->Append(e);
    return panel;
}

// Replaces what a number box shows as if the user selected it all and typed.
void retype(const std::shared_ptr<NumberBox>& box, const char* text)
{
    QTest::keyClick(box->editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box->editor(), Qt::Key_Backspace);
    QTest::keyClicks(box->editor(), text);
}

// A number box for days beside another box that can take the focus from it.
struct days_form_parts {
    std::shared_ptr<StackPanel> panel;
    std::shared_ptr<NumberBox> box;
    std::shared_ptr<PasswordBox> other;
};

days_form_parts days_form()
{
    days_form_parts parts{make<StackPanel>(), make<NumberBox>(), make<PasswordBox>()};
    parts.panel->Children()->Append(parts.box);
    parts.panel->Children()->Append(parts.other);
    parts.box->Minimum(1);
    parts.box->Maximum(3650);
    return parts;
}

}  // namespace

TEST(ToggleButton, ClickChangesIsCheckedBeforeClickIsRaised)
{
    auto toggle = make<ToggleButton>();
    toggle->Content(box_value(u"XXH64"));
    std::vector<std::string> events;
    toggle->RegisterPropertyChangedCallback(ToggleButton::IsCheckedProperty(), [&](const auto&, const auto&) {
        events.push_back("IsChecked " + state_text(toggle->IsChecked()));
    });
    toggle->Checked([&](const auto&, const auto&) { events.push_back("Checked"); });
    toggle->Unchecked([&](const auto&, const auto&) { events.push_back("Unchecked"); });
    toggle->Click([&](const auto&, const auto&) { events.push_back("Click sees " + state_text(toggle->IsChecked())); });
    auto root = show(toggle);

    click(toggle);
    EXPECT_EQ(events, (std::vector<std::string>{"Checked", "IsChecked true", "Click sees true"}));
    EXPECT_TRUE(toggle->button()->isChecked());

    events.clear();
    ASSERT_TRUE(toggle->Focus(FocusState::Keyboard));
    QTest::keyClick(toggle->widget(), Qt::Key_Space);
    EXPECT_EQ(events, (std::vector<std::string>{"Unchecked", "IsChecked false", "Click sees false"}));

    events.clear();
    toggle->IsChecked(false);
    EXPECT_TRUE(events.empty()) << "setting the state it has notifies nothing";
}

TEST(ToggleButton, AChosenToggleStandsOutAndReadsAsAPressedButtonInLightAndDarkPalettes)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (auto [role, colour] : {std::pair{QPalette::Window, QColor(32, 32, 32)}, {QPalette::Button, QColor(45, 45, 45)},
                                {QPalette::WindowText, QColor(Qt::white)}, {QPalette::ButtonText, QColor(Qt::white)},
                                {QPalette::Highlight, QColor(42, 130, 218)}, {QPalette::HighlightedText, QColor(Qt::white)}})
        dark.setColor(role, colour);
    for (const auto& palette : {light, dark}) {
        auto panel = make<StackPanel>();
        auto chosen = make<ToggleButton>();
        auto other = make<ToggleButton>();
        for (const auto& t : {chosen, other}) {
            t->Content(box_value(u"SHA2-256"));
            t->MinWidth(130);
            panel->Children()->Append(t);
        }
        chosen->IsChecked(true);
        auto root = show(panel);
        root->host_widget()->setPalette(palette);
        // The face at the right end, clear of the text and the check mark.
        auto face = [](const std::shared_ptr<ToggleButton>& t) {
            const QImage image = t->widget()->grab().toImage();
            return image.pixelColor(image.width() - 8, image.height() / 2);
        };
        const double contrast = contrast_ratio(face(chosen), face(other));
        EXPECT_GE(contrast, 3.0) << "chosen " << face(chosen).name().toStdString() << " beside "
                                 << face(other).name().toStdString();

        auto* a11y = QAccessible::queryAccessibleInterface(chosen->widget());
        EXPECT_EQ(a11y->role(), QAccessible::Button) << "a toggle is a button that stays pressed, not a check box";
        EXPECT_EQ(a11y->text(QAccessible::Name), QString("SHA2-256"));
        EXPECT_TRUE(a11y->state().checkable && a11y->state().checked);
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(other->widget())->state().checked);
    }
}

TEST(Button, EnterAndKeypadEnterPressTheFocusedButtonAsSpaceDoes)
{
    auto button = make<Button>();
    button->Content(box_value(u"Browse…"));
    auto toggle = make<ToggleButton>();
    toggle->Content(box_value(u"XXH64"));
    auto box = make<CheckBox>();
    int clicks = 0;
    button->Click([&](const auto&, const auto&) { ++clicks; });
    auto root = show(stacked({button, toggle, box}));

    ASSERT_TRUE(button->Focus(FocusState::Keyboard));
    QTest::keyClick(button->widget(), Qt::Key_Return);
    QTest::keyClick(button->widget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(test::run_until([&] { return clicks == 2; })) << clicks << " clicks";

    ASSERT_TRUE(toggle->Focus(FocusState::Keyboard));
    QTest::keyClick(toggle->widget(), Qt::Key_Return);
    EXPECT_TRUE(test::run_until([&] { return toggle->IsChecked() == true; }));

    // A check box keeps to Space, as check boxes do.
    ASSERT_TRUE(box->Focus(FocusState::Keyboard));
    QTest::keyClick(box->widget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->IsChecked(), false);
}

TEST(Control, ADisabledControlTakesTheFocusBackWhenEnabledUnlessTheUserMovedIt)
{
    auto first = make<Button>();
    auto second = make<Button>();
    auto field = make<TextBox>();
    auto root = show(stacked({first, second, field}));
    auto focused = [&] { return QApplication::focusWidget(); };

    // A run disables its buttons one after the other; the focus passes over the second.
    ASSERT_TRUE(first->Focus(FocusState::Keyboard));
    first->IsEnabled(false);
    second->IsEnabled(false);
    EXPECT_NE(focused(), first->widget());
    second->IsEnabled(true);
    first->IsEnabled(true);
    EXPECT_EQ(focused(), first->widget()) << "the button that had the focus gets it back";

    ASSERT_TRUE(first->Focus(FocusState::Keyboard));
    first->IsEnabled(false);
    QTest::mouseClick(field->editor(), Qt::LeftButton);
    ASSERT_EQ(focused(), field->editor());
    first->IsEnabled(true);
    EXPECT_EQ(focused(), field->editor()) << "the user's own choice of focus stays";
}

TEST(ToggleButton, ThreeStateCheckBoxGoesThroughIndeterminateAndShowsEachState)
{
    auto box = make<CheckBox>();
    box->Content(box_value(u"Three states"));
    box->IsThreeState(true);
    auto* widget = static_cast<QCheckBox*>(box->widget());
    auto root = show(box);

    std::vector<std::string> states;
    std::vector<Qt::CheckState> shown;
    for (int i = 0; i < 3; ++i) {
        click(box);
        states.push_back(state_text(box->IsChecked()));
        shown.push_back(widget->checkState());
    }
    EXPECT_EQ(states, (std::vector<std::string>{"true", "null", "false"}));
    EXPECT_EQ(shown, (std::vector<Qt::CheckState>{Qt::Checked, Qt::PartiallyChecked, Qt::Unchecked}));

    box->IsChecked(std::nullopt);
    EXPECT_EQ(widget->checkState(), Qt::PartiallyChecked);
    widget->toggle();  // as an accessibility action would
    EXPECT_EQ(box->IsChecked(), false) << "a toggle of the widget from elsewhere reaches the property";
    widget->toggle();
    EXPECT_EQ(box->IsChecked(), true);
}

TEST(RadioButton, ButtonsOfOneGroupNameExcludeEachOtherAcrossPanels)
{
    auto outer = make<StackPanel>();
    auto left = make<StackPanel>();
    auto right = make<StackPanel>();
    auto a = radio(u"a", u"g"), b = radio(u"b", u"g");
    auto c = radio(u"c"), d = radio(u"d"), e = radio(u"e");
    for (const auto& r : {a, c, e}) left->Children()->Append(r);
    for (const auto& r : {b, d}) right->Children()->Append(r);
    outer->Children()->Append(left);
    outer->Children()->Append(right);
    auto root = show(outer);

    click(a);
    click(c);
    click(d);
    EXPECT_EQ(a->IsChecked(), true);
    click(b);
    EXPECT_EQ(a->IsChecked(), false) << "same group name in another panel";
    EXPECT_EQ(b->IsChecked(), true);
    EXPECT_EQ(c->IsChecked(), true) << "a named group leaves unnamed buttons alone";

    click(e);
    EXPECT_EQ(c->IsChecked(), false) << "unnamed buttons of one panel form a group";
    EXPECT_EQ(d->IsChecked(), true) << "an unnamed button of another panel is not in it";

    click(e);
    EXPECT_EQ(e->IsChecked(), true) << "clicking a checked radio button keeps it checked";
}

TEST(RadioButtons, SelectedIndexAndCheckedButtonFollowEachOther)
{
    auto list = make<RadioButtons>();
    list->Header(box_value(u"Purpose"));
    auto signing = radio(u"Digital signing");
    signing->Name(u"ForDigitalSigningCtrl");
    list->Items()->Append(box_value(u"None"));
    list->Items()->Append(signing);
    list->Items()->Append(box_value(u"Client authentication"));
    list->Items()->Append(box_value(u"Server authentication"));
    std::vector<std::int32_t> indexes;
    list->RegisterPropertyChangedCallback(RadioButtons::SelectedIndexProperty(),
                                          [&](const auto&, const auto&) { indexes.push_back(list->SelectedIndex()); });
    std::vector<IInspectable> added, removed;
    list->SelectionChanged([&](const auto&, const SelectionChangedEventArgs& args) {
        added.push_back(args.AddedItems().empty() ? nullptr : args.AddedItems()[0]);
        removed.push_back(args.RemovedItems().empty() ? nullptr : args.RemovedItems()[0]);
    });
    auto root = show(list);
    ASSERT_EQ(list->ContainerFromIndex(1), signing);
    EXPECT_EQ(list->FindName(u"ForDigitalSigningCtrl"), signing);

    click(list->ContainerFromIndex(2));
    click(signing);
    EXPECT_EQ(indexes, (std::vector<std::int32_t>{2, 1})) << "one change per click";
    EXPECT_EQ(added, (std::vector<IInspectable>{list->Items()->GetAt(2), signing}));
    EXPECT_EQ(removed, (std::vector<IInspectable>{nullptr, list->Items()->GetAt(2)}));
    EXPECT_EQ(std::dynamic_pointer_cast<RadioButton>(list->ContainerFromIndex(2))->IsChecked(), false);

    list->SelectedIndex(3);
    EXPECT_EQ(signing->IsChecked(), false);
    EXPECT_EQ(std::dynamic_pointer_cast<RadioButton>(list->ContainerFromIndex(3))->IsChecked(), true);
    list->SelectedIndex(1);
    EXPECT_EQ(signing->IsChecked(), true);

    list->SelectedIndex(-1);
    for (std::int32_t i = 0; i < 4; ++i)
        EXPECT_NE(std::dynamic_pointer_cast<RadioButton>(list->ContainerFromIndex(i))->IsChecked(), true) << i;
    EXPECT_EQ(removed.back(), signing);
    EXPECT_EQ(added.back(), nullptr);
}

TEST(RadioButtons, ArrowKeysMoveTheSelectionOverDisabledButtons)
{
    auto list = make<RadioButtons>();
    for (const char16_t* text : {u"a", u"b", u"c"}) list->Items()->Append(box_value(text));
    auto root = show(list);
    std::dynamic_pointer_cast<Control>(list->ContainerFromIndex(1))->IsEnabled(false);
    list->SelectedIndex(0);
    ASSERT_TRUE(list->Focus(FocusState::Keyboard));
    QTest::keyClick(list->ContainerFromIndex(0)->widget(), Qt::Key_Down);
    EXPECT_EQ(list->SelectedIndex(), 2);
    EXPECT_TRUE(list->ContainerFromIndex(2)->widget()->hasFocus());
    QTest::keyClick(list->ContainerFromIndex(2)->widget(), Qt::Key_Down);
    EXPECT_EQ(list->SelectedIndex(), 2) << "the last button keeps the selection";
}

TEST(RadioButtons, AnIndexSetBeforeItsItemWaitsAndThenFollowsItsItem)
{
    auto list = make<RadioButtons>();
    list->SelectedIndex(1);
    for (const char16_t* text : {u"a", u"b", u"c"}) list->Items()->Append(box_value(text));
    auto b = list->Items()->GetAt(1);
    EXPECT_EQ(std::dynamic_pointer_cast<RadioButton>(list->ContainerFromIndex(1))->IsChecked(), true);

    int changes = 0;
    list->SelectionChanged([&](const auto&, const auto&) { ++changes; });
    list->Items()->InsertAt(0, box_value(u"z"));
    EXPECT_EQ(list->SelectedIndex(), 2);
    EXPECT_EQ(list->Items()->GetAt(2), b);
    EXPECT_EQ(changes, 0) << "the same item stays selected";
    list->Items()->RemoveAt(2);
    EXPECT_EQ(list->SelectedIndex(), -1);
    EXPECT_EQ(changes, 1);
}

TEST(ComboBox, SelectedIndexFollowsTheUserAndCodeOnTheSelectorProperty)
{
    auto combo = make<ComboBox>();
    combo->PlaceholderText(u"Choose a key");
    combo->Header(box_value(u"Key type"));
    auto late = make<ComboBoxItem>();
    combo->Items()->Append(box_value(u"RSA 2048"));
    combo->Items()->Append(late);
    combo->Items()->Append(box_value(u"RSA 4096"));
    late->Content(box_value(u"RSA 3072"));
    std::vector<std::int32_t> indexes;
    combo->RegisterPropertyChangedCallback(Selector::SelectedIndexProperty(),
                                           [&](const auto&, const auto&) { indexes.push_back(combo->SelectedIndex()); });
    auto root = show(combo);
    QComboBox* widget = combo->combo();
    EXPECT_EQ(widget->currentIndex(), -1);
    EXPECT_EQ(widget->itemText(1), QString("RSA 3072")) << "content set after the item joined the list";

    combo->SelectedIndex(1);
    EXPECT_EQ(widget->currentText(), QString("RSA 3072"));
    ASSERT_TRUE(combo->Focus(FocusState::Keyboard));
    QTest::keyClick(widget, Qt::Key_Down);
    EXPECT_EQ(combo->SelectedIndex(), 2);
    combo->SelectedIndex(-1);
    EXPECT_EQ(widget->currentIndex(), -1);
    EXPECT_EQ(indexes, (std::vector<std::int32_t>{1, 2, -1}));

    combo->SelectedIndex(2);
    combo->Items()->RemoveAt(0);
    EXPECT_EQ(combo->SelectedIndex(), 1);
    EXPECT_EQ(widget->currentText(), QString("RSA 4096"));
}

// Every keystroke is a change of Password and raises PasswordChanged, as a change from code does.
TEST(PasswordBox, TypingChangesPasswordOnEveryKeystroke)
{
    auto box = make<PasswordBox>();
    std::vector<hstring> passwords;
    box->RegisterPropertyChangedCallback(PasswordBox::PasswordProperty(),
                                         [&](const auto&, const auto&) { passwords.push_back(box->Password()); });
    int changed = 0;
    box->PasswordChanged([&](const auto&, const auto&) { ++changed; });
    auto root = show(box);
    EXPECT_EQ(box->editor()->echoMode(), QLineEdit::Password);

    ASSERT_TRUE(box->Focus(FocusState::Programmatic));
    QTest::keyClicks(box->editor(), "s3c");
    QTest::keyClick(box->editor(), Qt::Key_Backspace);
    EXPECT_EQ(passwords, (std::vector<hstring>{u"s", u"s3", u"s3c", u"s3"}));
    EXPECT_EQ(changed, 4);

    box->Password(u"from code");
    EXPECT_EQ(box->editor()->text(), QString("from code"));
    EXPECT_EQ(changed, 5);
}

TEST(NumberBox, ClearingGivesNaNAndAHandlerMayRestoreTheOldValue)
{
    auto [panel, box, other] = days_form();
    box->Text(u"365");  // as a binding sets it
    std::vector<std::pair<double, double>> changes;
    box->ValueChanged([&](const std::shared_ptr<NumberBox>& sender, const NumberBoxValueChangedEventArgs& args) {
        changes.emplace_back(args.OldValue(), args.NewValue());
        if (std::isnan(args.NewValue())) sender->Value(args.OldValue());
    });
    std::vector<hstring> texts;
    box->RegisterPropertyChangedCallback(NumberBox::TextProperty(), [&](const auto&, const auto&) { texts.push_back(box->Text()); });
    auto root = show(panel);
    EXPECT_EQ(box->Value(), 365);

    ASSERT_TRUE(box->Focus(FocusState::Programmatic));
    retype(box, "");
    EXPECT_EQ(box->Value(), 365) << "nothing counts before editing ends";
    ASSERT_TRUE(other->Focus(FocusState::Programmatic));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, 365);
    EXPECT_TRUE(std::isnan(changes[0].second));
    EXPECT_EQ(box->Value(), 365);
    EXPECT_EQ(box->editor()->text(), QString("365"));
    EXPECT_EQ(box->Text(), u"365");

    EXPECT_TRUE(texts.empty()) << "the restored text is the text the box had";

    // Without a handler that restores, the box stays empty.
    auto plain = make<NumberBox>();
    plain->Value(5);
    std::vector<double> seen;
    plain->ValueChanged([&](const auto&, const NumberBoxValueChangedEventArgs& args) { seen.push_back(args.NewValue()); });
    plain->Text(u"");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(std::isnan(seen[0]));
    EXPECT_TRUE(std::isnan(plain->Value()));
    EXPECT_EQ(plain->Text(), u"");
}

TEST(NumberBox, TypedTextCountsWhenEditingEndsWithinTheLimits)
{
    auto [panel, box, other] = days_form();
    box->SpinButtonPlacementMode(NumberBoxSpinButtonPlacementMode::Inline);
    box->Value(365);
    std::vector<std::pair<double, double>> changes;
    box->ValueChanged([&](const auto&, const NumberBoxValueChangedEventArgs& args) { changes.emplace_back(args.OldValue(), args.NewValue()); });
    auto root = show(panel);
    auto buttons = box->widget()->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons[0]->isVisible());

    ASSERT_TRUE(box->Focus(FocusState::Programmatic));
    retype(box, "40");
    EXPECT_EQ(box->Text(), u"365");
    QTest::keyClick(box->editor(), Qt::Key_Return);
    EXPECT_EQ(box->Value(), 40);
    EXPECT_EQ(box->Text(), u"40");

    retype(box, "99999");
    ASSERT_TRUE(other->Focus(FocusState::Programmatic));
    EXPECT_EQ(box->Value(), 3650) << "kept within Maximum";
    EXPECT_EQ(box->editor()->text(), QString("3650"));
    EXPECT_FALSE(buttons[0]->isEnabled()) << "no step up from the maximum";

    ASSERT_TRUE(box->Focus(FocusState::Programmatic));
    retype(box, "abc");
    QTest::keyClick(box->editor(), Qt::Key_Return);
    EXPECT_EQ(box->editor()->text(), QString("3650")) << "text that is no number gives way to the value";

    box->Text(u"12");
    QTest::keyClick(box->editor(), Qt::Key_Up);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(box->Value(), 11);
    EXPECT_EQ((changes), (std::vector<std::pair<double, double>>{{365, 40}, {40, 3650}, {3650, 12}, {12, 13}, {13, 12}, {12, 11}}));
}

TEST(NumberBox, AssistiveTechnologyReadsASpinButtonWithItsValueAndLimitsAndCanStillEditItsText)
{
    auto [panel, box, other] = days_form();
    box->Header(box_value(u"Valid for (days)"));
    box->Value(365);
    auto root = show(panel);
    auto* accessible = QAccessible::queryAccessibleInterface(box->editor());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::SpinBox);
    EXPECT_EQ(accessible->text(QAccessible::Name), QString("Valid for (days)"));
    auto* value = accessible->valueInterface();
    ASSERT_NE(value, nullptr) << "a screen reader reads the number and its limits";
    EXPECT_EQ(value->currentValue(), QVariant(365.0));
    EXPECT_EQ(value->minimumValue(), QVariant(1.0));
    EXPECT_EQ(value->maximumValue(), QVariant(3650.0));
    EXPECT_EQ(value->minimumStepSize(), QVariant(1.0));

    // A value set through the interface is the box's, kept within its limits.
    value->setCurrentValue(40);
    EXPECT_EQ(box->Value(), 40);
    EXPECT_EQ(box->Text(), u"40");
    value->setCurrentValue(99999);
    EXPECT_EQ(box->Value(), 3650);
    EXPECT_EQ(box->editor()->text(), QString("3650"));

    // Still a text field: what is written counts when editing ends, as typing does.
    ASSERT_NE(accessible->editableTextInterface(), nullptr);
    EXPECT_TRUE(accessible->state().editable);
    ASSERT_TRUE(box->Focus(FocusState::Programmatic));
    accessible->editableTextInterface()->replaceText(0, accessible->textInterface()->characterCount(), "12");
    QTest::keyClick(box->editor(), Qt::Key_Return);
    EXPECT_EQ(value->currentValue(), QVariant(12.0));
    box->Text(u"");
    EXPECT_FALSE(value->currentValue().isValid()) << "an empty box has no value";
}

TEST(NumberBox, RoundingDownFormatterShowsWholeNumbers)
{
    auto box = make<NumberBox>();
    box->Value(10.7);
    EXPECT_EQ(box->Text(), u"10.7") << "whole numbers unless the value has a fraction";
    box->Value(0.1 + 0.2);
    EXPECT_EQ(box->Text(), u"0.3");

    auto rounder = make<globalization::IncrementNumberRounder>();
    rounder->RoundingAlgorithm(globalization::RoundingAlgorithm::RoundDown);
    auto formatter = make<globalization::DecimalFormatter>();
    formatter->FractionDigits(0);
    formatter->NumberRounder(rounder);
    box->Value(10.7);
    box->NumberFormatter(formatter);
    EXPECT_EQ(box->Text(), u"10");
    EXPECT_EQ(box->editor()->text(), QString("10"));
    EXPECT_EQ(box->Value(), 10.7) << "the value keeps its fraction";
    box->Text(u"12.9");
    EXPECT_EQ(box->Value(), 12.9);
    EXPECT_EQ(box->Text(), u"12");

    EXPECT_THROW(box->NumberFormatter(nullptr), foundation::hresult_invalid_argument);
}

TEST(TextBox, AssistiveTechnologyReadsTheFieldByItsHeaderOrItsAutomationName)
{
    auto headed = make<TextBox>();
    headed->Header(box_value(u"File"));
    auto named = make<TextBox>();
    named->Header(box_value(u"Key"));
    AutomationProperties::SetName(named, u"Private key file");
    auto password = make<PasswordBox>();
    password->Header(box_value(u"Passphrase"));
    auto days = make<NumberBox>();
    days->Header(box_value(u"Valid for (days)"));
    days->SpinButtonPlacementMode(NumberBoxSpinButtonPlacementMode::Inline);
    auto keys = make<ComboBox>();
    keys->Header(box_value(u"Key type"));
    keys->Items()->Append(box_value(u"RSA 2048 bits"));
    keys->SelectedIndex(0);
    auto purposes = make<RadioButtons>();
    purposes->Items()->Append(box_value(u"Any purpose"));
    const auto root = show(stacked({headed, named, password, days, keys, purposes}));
    auto name_of = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    // The field, not the box around it, is what a screen reader lands on.
    EXPECT_EQ(name_of(headed->editor()), QString("File"));
    EXPECT_EQ(name_of(named->editor()), QString("Private key file"));
    EXPECT_EQ(name_of(password->widget()->focusProxy()), QString("Passphrase"));
    EXPECT_EQ(name_of(days->editor()), QString("Valid for (days)"));
    QStringList spinNames;
    for (auto* b : days->widget()->findChildren<QToolButton*>()) spinNames << name_of(b);
    EXPECT_EQ(spinNames, (QStringList{"Increase Valid for (days)", "Decrease Valid for (days)"}));
    EXPECT_EQ(name_of(keys->widget()->focusProxy()), QString("Key type")) << "named by its header, not by its value";
    password->PlaceholderText(u"Optional");
    days->PlaceholderText(u"365");
    EXPECT_EQ(password->editor()->placeholderText(), QString("Optional")) << "a field's hint shows inside it";
    EXPECT_EQ(days->editor()->placeholderText(), QString("365"));
    auto* radio = QAccessible::queryAccessibleInterface(purposes->ContainerFromIndex(0)->widget());
    EXPECT_EQ(radio->role(), QAccessible::RadioButton);
    EXPECT_EQ(radio->text(QAccessible::Name), QString("Any purpose"));
    // No hidden editor waits under a one-line box for a screen reader to stumble on.
    EXPECT_TRUE(headed->widget()->findChildren<QPlainTextEdit*>().isEmpty());
}

// That each class is registered under its own name is checked for all of them by the program's tests.
TEST(Markup, MarkupAddsContentToItemsAndSetsEnumerationsByName)
{
    auto list = make<RadioButtons>();
    const auto* type = metadata::find_type(u"Microsoft.UI.Xaml.Controls.RadioButtons");
    const auto* items = metadata::find_member(*type, type->content_member);
    ASSERT_NE(items, nullptr);
    items->set(list, box_value(u"first"));
    EXPECT_EQ(list->Items()->Size(), 1u);
    const auto* mode = metadata::find_member(*metadata::find_type(u"Microsoft.UI.Xaml.Controls.NumberBox"), u"SpinButtonPlacementMode");
    ASSERT_NE(mode, nullptr);
    auto box = make<NumberBox>();
    box->SetValue(mode->property, metadata::convert_text(mode->type, u"Inline"));
    EXPECT_EQ(box->SpinButtonPlacementMode(), NumberBoxSpinButtonPlacementMode::Inline);
}

#pragma once
// NumberBox: a number typed as text under an optional header, with optional spin buttons.

#include "platform/globalization/DecimalFormatter.h"
#include "platform/xaml/controls/Control.h"

#include <cmath>

class QLabel;
class QLineEdit;
class QToolButton;

namespace xaml {

// Compact shows the buttons inline as well: this layer has no pop-up for them.
enum class NumberBoxSpinButtonPlacementMode { Hidden = 0, Compact = 1, Inline = 2 };

class NumberBoxValueChangedEventArgs {
public:
    NumberBoxValueChangedEventArgs(double oldValue, double newValue) noexcept : m_old(oldValue), m_new(newValue) {}
    double OldValue() const noexcept { return m_old; }
    double NewValue() const noexcept { return m_new; }

private:
    double m_old;
    double m_new;
};

class NumberBox;
using NumberBoxValueChangedEventHandler =
    foundation::TypedEventHandler<std::shared_ptr<NumberBox>, NumberBoxValueChangedEventArgs>;

// Value is NaN while the box is empty. Typed text counts when editing ends (Enter, or the focus
// leaving): the formatter parses it, an empty box gives NaN, and text that is no number gives way
// to the value's text again. Values are kept within Minimum and Maximum. Text is the value's text
// as the formatter writes it; setting Text sets the value it shows.
//
// Value may be set from a ValueChanged handler; that change raises no ValueChanged of its own
// and is not brought within the limits, and the box then shows it.
class NumberBox final : public Control {
public:
    NumberBox();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.NumberBox")

    static inline constinit property_slot ValueProperty{u"Value"};
    static inline constinit property_slot SpinButtonPlacementModeProperty{u"SpinButtonPlacementMode"};
    static inline constinit property_slot NumberFormatterProperty{u"NumberFormatter"};

    double Value() const { return get_value<double>(*this, ValueProperty()); }
    void Value(double value)
    {
        if (!(std::isnan(value) && std::isnan(Value()))) set_value(*this, ValueProperty(), value);
    }
    XAML_PROPERTY(hstring, Text)
    XAML_PROPERTY(double, Minimum)
    XAML_PROPERTY(double, Maximum)
    // What a spin button or an arrow key adds or takes away.
    XAML_PROPERTY(double, SmallChange)
    NumberBoxSpinButtonPlacementMode SpinButtonPlacementMode() const
    {
        return get_value<NumberBoxSpinButtonPlacementMode>(*this, SpinButtonPlacementModeProperty());
    }
    void SpinButtonPlacementMode(NumberBoxSpinButtonPlacementMode value)
    {
        set_value(*this, SpinButtonPlacementModeProperty(), value);
    }
    XAML_PROPERTY(IInspectable, Header)
    XAML_PROPERTY(hstring, PlaceholderText)
    // Whole numbers by default; a formatter that cannot also parse fails with invalid-argument.
    std::shared_ptr<globalization::INumberFormatter2> NumberFormatter() const;
    void NumberFormatter(const std::shared_ptr<globalization::INumberFormatter2>& value);

    XAML_EVENT(ValueChanged, NumberBoxValueChangedEventHandler)

    QLineEdit* editor() const noexcept { return m_line; }

protected:
    foundation::event<NumberBoxValueChangedEventHandler> m_ValueChanged;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    QWidget* focus_widget() const override;
    void apply_foreground() override;

private:
    void value_changed(double before);
    void validate_input();
    void update_text_to_value();
    void coerce_value();
    void step_value(double change);
    void update_spin_buttons();
    void name_spin_buttons();
    std::shared_ptr<globalization::INumberParser> parser() const;

    std::shared_ptr<globalization::DecimalFormatter> m_defaultFormatter;
    QLabel* m_header = nullptr;
    QLineEdit* m_line = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    bool m_valueUpdating = false;
    bool m_textUpdating = false;
};

}  // namespace xaml

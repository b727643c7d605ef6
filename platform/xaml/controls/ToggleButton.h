#pragma once
// ToggleButton and the toggles shown with an indicator: CheckBox and RadioButton.

#include "platform/xaml/controls/Button.h"

#include <vector>

namespace xaml {

class ToggleButton : public ButtonBase {
public:
    ToggleButton();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Primitives.ToggleButton")

    static inline constinit property_slot IsCheckedProperty{u"IsChecked"};

    // Null is the indeterminate state.
    foundation::IReference<bool> IsChecked() const
    {
        return get_value<foundation::IReference<bool>>(*this, IsCheckedProperty());
    }
    void IsChecked(foundation::IReference<bool> value) { set_value(*this, IsCheckedProperty(), value); }
    XAML_PROPERTY(bool, IsThreeState)

    XAML_EVENT(Checked, RoutedEventHandler)
    XAML_EVENT(Unchecked, RoutedEventHandler)
    XAML_EVENT(Indeterminate, RoutedEventHandler)

    // A click moves to the next state before Click is raised, so Click handlers see the new state.
    void on_click() override;

protected:
    foundation::event<RoutedEventHandler> m_Checked;
    foundation::event<RoutedEventHandler> m_Unchecked;
    foundation::event<RoutedEventHandler> m_Indeterminate;

    // Takes ownership of the widget that shows the state.
    explicit ToggleButton(QAbstractButton* button);
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    // The state a click moves to: unchecked to checked, checked to indeterminate (three-state
    // only) or unchecked, indeterminate to unchecked.
    virtual void OnToggle();

private:
    void show_state();
    bool m_showing = false;
};

class CheckBox : public ToggleButton {
public:
    CheckBox();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.CheckBox")

protected:
    // Element content sits beside the indicator, not over it.
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;
};

// Checking a radio button unchecks the others of its group: the radio buttons of the same
// GroupName in its tree, or without a group name, the unnamed ones of the same parent.
class RadioButton : public ToggleButton {
public:
    RadioButton();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.RadioButton")

    XAML_PROPERTY(hstring, GroupName)

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    // A click checks; only another radio button of the group unchecks this one.
    void OnToggle() override;
    foundation::Size measure_override() const override;
    void arrange_override(double x, double y, double width, double height) override;

private:
    std::vector<std::shared_ptr<RadioButton>> group() const;
};

}  // namespace xaml

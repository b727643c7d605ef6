#pragma once
// PasswordBox: one line of hidden text under an optional header.

#include "platform/xaml/controls/Control.h"

class QLabel;
class QLineEdit;

namespace xaml {

class PasswordBox final : public Control {
public:
    PasswordBox();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.PasswordBox"; }

    static const DependencyProperty& PasswordProperty();
    static const DependencyProperty& HeaderProperty();
    static const DependencyProperty& PlaceholderTextProperty();

    // Follows the typing keystroke by keystroke.
    hstring Password() const { return get_value<hstring>(*this, PasswordProperty()); }
    void Password(const hstring& value) { set_value(*this, PasswordProperty(), value); }
    IInspectable Header() const { return GetValue(HeaderProperty()); }
    void Header(const IInspectable& value) { SetValue(HeaderProperty(), value); }
    hstring PlaceholderText() const { return get_value<hstring>(*this, PlaceholderTextProperty()); }
    void PlaceholderText(const hstring& value) { set_value(*this, PlaceholderTextProperty(), value); }

    XAML_EVENT(PasswordChanged, RoutedEventHandler)

    QLineEdit* editor() const noexcept { return m_line; }

protected:
    foundation::event<RoutedEventHandler> m_PasswordChanged;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    QWidget* focus_widget() const override;
    void apply_foreground() override;

private:
    QLabel* m_header = nullptr;
    QLineEdit* m_line = nullptr;
    bool m_typing = false;
};

}  // namespace xaml

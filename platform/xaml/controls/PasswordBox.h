#pragma once
// PasswordBox: one line of hidden text under an optional header.

#include "platform/xaml/controls/Control.h"

class QLabel;
class QLineEdit;

namespace xaml {

class PasswordBox final : public Control {
public:
    PasswordBox();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.PasswordBox")

    // Follows the typing keystroke by keystroke.
    XAML_PROPERTY(hstring, Password)
    XAML_PROPERTY(IInspectable, Header)
    XAML_PROPERTY(hstring, PlaceholderText)

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

#pragma once
// TextBox: one line of text, or several with AcceptsReturn; a header above it.

#include "platform/xaml/controls/Control.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace xaml {

struct TextChangedEventArgs : RoutedEventArgs {};
using TextChangedEventHandler = foundation::delegate<IInspectable, TextChangedEventArgs>;

class TextBox final : public Control {
public:
    TextBox();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.TextBox"; }

    static const DependencyProperty& TextProperty();
    static const DependencyProperty& HeaderProperty();
    static const DependencyProperty& PlaceholderTextProperty();
    static const DependencyProperty& IsReadOnlyProperty();
    static const DependencyProperty& AcceptsReturnProperty();
    static const DependencyProperty& TextWrappingProperty();

    hstring Text() const { return get_value<hstring>(*this, TextProperty()); }
    void Text(const hstring& value) { set_value(*this, TextProperty(), value); }
    IInspectable Header() const { return GetValue(HeaderProperty()); }
    void Header(const IInspectable& value) { SetValue(HeaderProperty(), value); }
    hstring PlaceholderText() const { return get_value<hstring>(*this, PlaceholderTextProperty()); }
    void PlaceholderText(const hstring& value) { set_value(*this, PlaceholderTextProperty(), value); }
    bool IsReadOnly() const { return get_value<bool>(*this, IsReadOnlyProperty()); }
    void IsReadOnly(bool value) { set_value(*this, IsReadOnlyProperty(), value); }
    bool AcceptsReturn() const { return get_value<bool>(*this, AcceptsReturnProperty()); }
    void AcceptsReturn(bool value) { set_value(*this, AcceptsReturnProperty(), value); }

    XAML_EVENT(TextChanged, TextChangedEventHandler)

    // The Qt editor of the current mode, for tests and the layer.
    QWidget* editor() const;

protected:
    foundation::event<TextChangedEventHandler> m_TextChanged;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    QWidget* focus_widget() const override { return editor(); }
    void apply_foreground() override;

private:
    void user_edited(const hstring& text);
    void push_text();

    QLabel* m_header = nullptr;
    QPlainTextEdit* multi_line();
    void apply_wrapping();

    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_multi = nullptr;
    bool m_pushing = false;
};

}  // namespace xaml

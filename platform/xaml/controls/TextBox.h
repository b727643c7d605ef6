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
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.TextBox")

    static inline constinit property_slot TextWrappingProperty{u"TextWrapping"};

    XAML_PROPERTY(hstring, Text)
    XAML_PROPERTY(IInspectable, Header)
    XAML_PROPERTY(hstring, PlaceholderText)
    XAML_PROPERTY(bool, IsReadOnly)
    XAML_PROPERTY(bool, AcceptsReturn)

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

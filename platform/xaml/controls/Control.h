#pragma once
// Control, ContentControl, UserControl and Page.

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/brush.h"

namespace xaml {

class Control : public FrameworkElement {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Control")

    XAML_PROPERTY(bool, IsEnabled)
    XAML_PROPERTY(std::shared_ptr<Brush>, Foreground)
    XAML_PROPERTY(std::shared_ptr<Brush>, Background)
    XAML_PROPERTY(double, FontSize)
    XAML_PROPERTY(Thickness, Padding)

protected:
    Control() = default;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    // The widgets whose text colour follows Foreground.
    virtual void apply_foreground();
    virtual void apply_background();

public:
    struct focus_return;  // where the focus was when this control was disabled

private:
    void apply_enabled();
    std::shared_ptr<focus_return> m_focusReturn;
};

// Applies a text colour to a widget and everything inside it; null restores the palette's own.
void apply_text_brush(QWidget* widget, const std::shared_ptr<Brush>& brush);

class ContentControl : public Control {
public:
    ContentControl();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ContentControl")

    XAML_PROPERTY(IInspectable, Content)

protected:
    // Used by subclasses that bring their own widget.
    struct own_widget_t {};
    explicit ContentControl(own_widget_t) {}
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    // Shows the content: an element becomes the child; anything else is shown as text.
    virtual void present_content(const IInspectable& before, const IInspectable& now);

private:
    std::shared_ptr<UIElement> m_presenter;
};

// The text a content value shows: a string as it is, a boxed number in decimal, else empty.
hstring content_text(const IInspectable& content);

class UserControl : public Control {
public:
    UserControl();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.UserControl")

    XAML_PROPERTY(std::shared_ptr<UIElement>, Content)

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

class Page : public UserControl {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Page")
};

}  // namespace xaml

#pragma once
// Control, ContentControl, UserControl and Page.

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/brush.h"

namespace xaml {

class Control : public FrameworkElement {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.Control"; }

    static const DependencyProperty& IsEnabledProperty();
    static const DependencyProperty& ForegroundProperty();
    static const DependencyProperty& BackgroundProperty();
    static const DependencyProperty& FontSizeProperty();
    static const DependencyProperty& PaddingProperty();

    bool IsEnabled() const { return get_value<bool>(*this, IsEnabledProperty()); }
    void IsEnabled(bool value) { set_value(*this, IsEnabledProperty(), value); }
    std::shared_ptr<Brush> Foreground() const { return std::dynamic_pointer_cast<Brush>(GetValue(ForegroundProperty())); }
    void Foreground(const std::shared_ptr<Brush>& value) { SetValue(ForegroundProperty(), value); }
    std::shared_ptr<Brush> Background() const { return std::dynamic_pointer_cast<Brush>(GetValue(BackgroundProperty())); }
    void Background(const std::shared_ptr<Brush>& value) { SetValue(BackgroundProperty(), value); }
    double FontSize() const { return get_value<double>(*this, FontSizeProperty()); }
    void FontSize(double value) { set_value(*this, FontSizeProperty(), value); }
    Thickness Padding() const { return get_value<Thickness>(*this, PaddingProperty()); }
    void Padding(const Thickness& value) { set_value(*this, PaddingProperty(), value); }

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
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.ContentControl"; }

    static const DependencyProperty& ContentProperty();
    IInspectable Content() const { return GetValue(ContentProperty()); }
    void Content(const IInspectable& value) { SetValue(ContentProperty(), value); }

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
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.UserControl"; }

    static const DependencyProperty& ContentProperty();
    std::shared_ptr<UIElement> Content() const
    {
        return std::dynamic_pointer_cast<UIElement>(GetValue(ContentProperty()));
    }
    void Content(const std::shared_ptr<UIElement>& value) { SetValue(ContentProperty(), value); }

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
};

class Page : public UserControl {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.Page"; }
};

}  // namespace xaml

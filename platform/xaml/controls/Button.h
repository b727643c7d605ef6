#pragma once
// ButtonBase and Button.

#include "platform/xaml/controls/Control.h"

class QAbstractButton;

namespace xaml {

class ButtonBase : public ContentControl {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Primitives.ButtonBase")

    XAML_EVENT(Click, RoutedEventHandler)

    QAbstractButton* button() const;
    // What a click does: raise Click. Toggle buttons change their state first.
    virtual void on_click();

protected:
    foundation::event<RoutedEventHandler> m_Click;

    // Takes ownership of the button widget.
    explicit ButtonBase(QAbstractButton* button);
    void present_content(const IInspectable& before, const IInspectable& now) override;
};

class Button : public ButtonBase {
public:
    Button();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.Button")
};

}  // namespace xaml

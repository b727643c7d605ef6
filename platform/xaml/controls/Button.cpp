#include "platform/xaml/controls/Button.h"

#include "platform/xaml/controls/key_filter.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLayout>
#include <QPushButton>

namespace xaml {

namespace {

// A push button that is as large as the elements inside it need.
class content_button final : public QPushButton {
public:
    QSize sizeHint() const override
    {
        QSize own = QPushButton::sizeHint();
        if (layout() && text().isEmpty()) own = own.expandedTo(layout()->sizeHint() + QSize(16, 8));
        return own;
    }
};

}  // namespace

ButtonBase::ButtonBase(QAbstractButton* button) : ContentControl(own_widget_t{})
{
    set_widget(button);
    button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(button, &QAbstractButton::clicked, button, [this, button] {
        guard([this, button] {
            // A click that came without the pointer (assistive technology's Press) still takes the
            // focus as the pointer does: the box being edited hands its text over first.
            if (!button->hasFocus() && (button->focusPolicy() & Qt::ClickFocus)) Focus(FocusState::Programmatic);
            on_click();
        });
    });
    // Enter presses a focused push button as Space does; check boxes and radio buttons keep
    // Space alone.
    if (qobject_cast<QPushButton*>(button)) {
        button->installEventFilter(new key_filter(
            [button](QObject*, int key) {
                if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
                if (button->isEnabled()) button->click();
                return true;
            },
            button));
    }
    // Buttons size to their content unless told otherwise.
    SetTypeDefault(HorizontalAlignmentProperty(), foundation::box_value(HorizontalAlignment::Left));
    SetTypeDefault(VerticalAlignmentProperty(), foundation::box_value(VerticalAlignment::Center));
}

QAbstractButton* ButtonBase::button() const { return static_cast<QAbstractButton*>(widget()); }

void ButtonBase::on_click()
{
    RoutedEventArgs args;
    args.set_original_source(strong_self());
    m_Click(strong_self(), args);
}

void ButtonBase::present_content(const IInspectable& before, const IInspectable& now)
{
    if (auto old = std::dynamic_pointer_cast<UIElement>(before)) detach_child(old);
    if (auto element = std::dynamic_pointer_cast<UIElement>(now)) {
        button()->setText({});
        attach_child(element);
    } else {
        button()->setText(to_qstring(content_text(now)));
    }
    invalidate_layout();
}

Button::Button() : ButtonBase(new content_button) {}

void register_button()
{
    metadata::type_builder(ButtonBase::class_name, ContentControl::class_name);
    metadata::type_builder(Button::class_name, ButtonBase::class_name)
        .activatable<Button>();
}

}  // namespace xaml

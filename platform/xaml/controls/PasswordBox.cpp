#include "platform/xaml/controls/PasswordBox.h"

#include "platform/xaml/core/flag_scope.h"
#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/controls/line_accessible.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace xaml {

using foundation::box_value;

PasswordBox::PasswordBox()
{
    const auto column = make_header_column();
    m_header = column.header;
    m_line = new accessible_line(column.box);
    m_line->setEchoMode(QLineEdit::Password);
    column.layout->addWidget(m_line);
    column.box->setFocusProxy(m_line);
    set_widget(column.box);
    track_input_of(m_line);

    // Text set by assistive technology is the user's too, though it never counts as an edit.
    QObject::connect(m_line, &QLineEdit::textChanged, m_line, [this](const QString& text) {
        const hstring value = from_qstring(text);
        if (value == Password()) return;  // our own push
        const flag_scope typing(m_typing);
        guard([&] { Password(value); });
    });
}

QWidget* PasswordBox::focus_widget() const { return m_line; }

void PasswordBox::apply_foreground() { apply_text_brush(m_line, Foreground()); }

void PasswordBox::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == PasswordProperty()) {
        if (!m_typing) m_line->setText(to_qstring(Password()));
        RoutedEventArgs routed;
        routed.set_original_source(strong_self());
        m_PasswordChanged(strong_self(), routed);
    } else if (show_header_or_placeholder(*this, p, m_header, m_line)) {
        invalidate_layout();
    }
}

void register_password_box()
{
    metadata::type_builder(PasswordBox::class_name, Control::class_name)
        .activatable<PasswordBox>()
        .property(PasswordBox::PasswordProperty, {u"String"}, box_value(hstring{}))
        .property(PasswordBox::HeaderProperty, {u"Object"}, nullptr)
        .property(PasswordBox::PlaceholderTextProperty, {u"String"}, box_value(hstring{}));
}

}  // namespace xaml

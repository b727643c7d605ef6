#include "platform/xaml/controls/PasswordBox.h"

#include "platform/xaml/core/flag_scope.h"
#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace xaml {

using foundation::box_value;

namespace {
const TypeName password_type{u"Microsoft.UI.Xaml.Controls.PasswordBox", TypeKind::Metadata};
}

const DependencyProperty& PasswordBox::PasswordProperty()
{
    static const auto p =
        DependencyProperty::Register(u"Password", {u"String"}, password_type, PropertyMetadata(box_value(hstring{})));
    return p;
}

const DependencyProperty& PasswordBox::HeaderProperty()
{
    static const auto p = DependencyProperty::Register(u"Header", {u"Object"}, password_type, PropertyMetadata(nullptr));
    return p;
}

const DependencyProperty& PasswordBox::PlaceholderTextProperty()
{
    static const auto p = DependencyProperty::Register(u"PlaceholderText", {u"String"}, password_type,
                                                       PropertyMetadata(box_value(hstring{})));
    return p;
}

PasswordBox::PasswordBox()
{
    const auto column = make_header_column();
    m_header = column.header;
    m_line = new QLineEdit(column.box);
    m_line->setEchoMode(QLineEdit::Password);
    column.layout->addWidget(m_line);
    column.box->setFocusProxy(m_line);
    set_widget(column.box);
    track_input_of(m_line);

    QObject::connect(m_line, &QLineEdit::textEdited, m_line, [this](const QString& text) {
        const flag_scope typing(m_typing);
        guard([&] { Password(from_qstring(text)); });
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
    } else if (p == HeaderProperty()) {
        show_header(m_header, Header(), m_line);
        invalidate_layout();
    } else if (p == PlaceholderTextProperty()) {
        m_line->setPlaceholderText(to_qstring(PlaceholderText()));
    }
}

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.PasswordBox", u"Microsoft.UI.Xaml.Controls.Control")
        .activatable<PasswordBox>()
        .property(PasswordBox::PasswordProperty())
        .property(PasswordBox::HeaderProperty())
        .property(PasswordBox::PlaceholderTextProperty());
    return true;
}();

}  // namespace

}  // namespace xaml

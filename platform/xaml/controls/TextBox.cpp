#include "platform/xaml/controls/TextBox.h"

#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/controls/line_accessible.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <utility>

namespace xaml {

using foundation::box_value;

TextBox::TextBox()
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_header = new QLabel(box);
    m_header->setVisible(false);
    m_line = new accessible_line(box);
    layout->addWidget(m_header);
    layout->addWidget(m_line);
    box->setFocusProxy(m_line);
    set_widget(box);
    track_input_of(m_line);

    // Every change that is not our own push is the user's: typed, pasted, or set by assistive
    // technology (which never counts as an edit to the widget).
    QObject::connect(m_line, &QLineEdit::textChanged, box, [this](const QString& text) {
        if (!m_pushing) guard([&] { user_edited(from_qstring(text)); });
    });
}

QPlainTextEdit* TextBox::multi_line()
{
    // Made only for a box that takes several lines: a hidden editor would still be offered to
    // assistive technology.
    if (m_multi) return m_multi;
    m_multi = new QPlainTextEdit(widget());
    m_multi->setVisible(false);
    m_multi->setTabChangesFocus(true);
    m_multi->setMinimumHeight(64);
    m_multi->setPlaceholderText(m_line->placeholderText());
    m_multi->setReadOnly(m_line->isReadOnly());
    m_multi->setAccessibleName(m_line->accessibleName());
    widget()->layout()->addWidget(m_multi);
    track_input_of(m_multi);
    track_input_of(m_multi->viewport());
    QObject::connect(m_multi, &QPlainTextEdit::textChanged, widget(), [this] {
        if (!m_pushing) guard([this] { user_edited(from_qstring(m_multi->toPlainText())); });
    });
    apply_foreground();
    apply_wrapping();
    return m_multi;
}

void TextBox::apply_wrapping()
{
    if (m_multi)
        m_multi->setLineWrapMode(get_value<TextWrapping>(*this, TextWrappingProperty()) == TextWrapping::NoWrap
                                     ? QPlainTextEdit::NoWrap
                                     : QPlainTextEdit::WidgetWidth);
}

QWidget* TextBox::editor() const
{
    return AcceptsReturn() && m_multi ? static_cast<QWidget*>(m_multi) : static_cast<QWidget*>(m_line);
}

void TextBox::user_edited(const hstring& text)
{
    m_pushing = true;
    Text(text);
    m_pushing = false;
}

void TextBox::push_text()
{
    const QString text = to_qstring(Text());
    const bool was = std::exchange(m_pushing, true);
    if (m_line->text() != text) m_line->setText(text);
    if (m_multi && m_multi->toPlainText() != text) m_multi->setPlainText(text);
    m_pushing = was;
}

void TextBox::apply_foreground()
{
    apply_text_brush(m_line, Foreground());
    if (m_multi) apply_text_brush(m_multi, Foreground());
}

void TextBox::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == TextProperty()) {
        if (!m_pushing) push_text();
        m_TextChanged(strong_self(), TextChangedEventArgs{});
    } else if (p == HeaderProperty()) {
        show_header(m_header, Header(), editor());
        invalidate_layout();
    } else if (p == PlaceholderTextProperty()) {
        m_line->setPlaceholderText(to_qstring(PlaceholderText()));
        if (m_multi) m_multi->setPlaceholderText(to_qstring(PlaceholderText()));
    } else if (p == IsReadOnlyProperty()) {
        m_line->setReadOnly(IsReadOnly());
        if (m_multi) m_multi->setReadOnly(IsReadOnly());
    } else if (p == AcceptsReturnProperty()) {
        if (AcceptsReturn()) multi_line();
        m_line->setVisible(!AcceptsReturn());
        if (m_multi) m_multi->setVisible(AcceptsReturn());
        widget()->setFocusProxy(editor());
        m_header->setBuddy(editor());
        push_text();
        invalidate_layout();
    } else if (p == TextWrappingProperty()) {
        apply_wrapping();
    }
}

void register_text_box()
{
    metadata::type_builder(TextBox::class_name, Control::class_name)
        .activatable<TextBox>()
        .property(TextBox::TextProperty, {u"String"}, box_value(hstring{}))
        .property(TextBox::HeaderProperty, {u"Object"}, nullptr)
        .property(TextBox::PlaceholderTextProperty, {u"String"}, box_value(hstring{}))
        .property(TextBox::IsReadOnlyProperty, {u"Boolean"}, box_value(false))
        .property(TextBox::AcceptsReturnProperty, {u"Boolean"}, box_value(false))
        .property(TextBox::TextWrappingProperty, {u"Microsoft.UI.Xaml.TextWrapping"}, box_value(TextWrapping::NoWrap));
}

}  // namespace xaml

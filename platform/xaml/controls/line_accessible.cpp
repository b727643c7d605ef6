#include "platform/xaml/controls/line_accessible.h"

#include <QFontMetrics>

namespace xaml {

namespace {

QAccessibleInterface* line_accessible_for(const QString&, QObject* object)
{
    auto* line = dynamic_cast<accessible_line*>(object);
    return line ? line->make_accessible() : nullptr;
}

}  // namespace

accessible_line::accessible_line(QWidget* parent) : QLineEdit(parent)
{
    // Installed once the application exists, so it comes before Qt's own widget factory.
    static const bool installed = (QAccessible::installFactory(line_accessible_for), true);
    (void)installed;
}

QAccessibleInterface* accessible_line::make_accessible() { return new line_accessible(this); }

line_accessible::line_accessible(accessible_line* line, QAccessible::Role role) : QAccessibleWidget(line, role) {}

void* line_accessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface && !line()->isReadOnly())
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State line_accessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = line()->isReadOnly();
    s.editable = !s.readOnly;
    s.passwordEdit = line()->echoMode() != QLineEdit::Normal;
    s.selectableText = true;
    return s;
}

QString line_accessible::text(QAccessible::Text t) const
{
    // A password reads as one star a character.
    if (t == QAccessible::Value && !line()->text().isEmpty() && line()->echoMode() != QLineEdit::NoEcho)
        return line()->echoMode() == QLineEdit::Normal ? line()->text() : QString(line()->text().size(), u'*');
    QString said = QAccessibleWidget::text(t);
    if (said.isEmpty() && t == QAccessible::Description) said = line()->placeholderText();
    return said;
}

void line_accessible::setText(QAccessible::Text t, const QString& text)
{
    if (t == QAccessible::Value) write(text);
    else QAccessibleWidget::setText(t, text);
}

void line_accessible::write(const QString& text)
{
    // Reached also by a tool that asked for the edit interface before the box became read-only.
    if (line()->isReadOnly()) return;
    // Written text counts as typed: the box takes the focus first, as a click into it does, and
    // hands its text over when the focus moves on.
    if (!line()->hasFocus() && (line()->focusPolicy() & Qt::ClickFocus)) line()->setFocus(Qt::OtherFocusReason);
    line()->setText(text);
}

QString line_accessible::text(int start, int end) const
{
    if (line()->echoMode() != QLineEdit::Normal) return {};
    return line()->text().mid(start, end - start);
}

int line_accessible::characterCount() const { return static_cast<int>(line()->text().size()); }

int line_accessible::cursorPosition() const { return line()->cursorPosition(); }

void line_accessible::setCursorPosition(int position) { line()->setCursorPosition(position); }

void line_accessible::selection(int index, int* start, int* end) const
{
    *start = *end = 0;
    if (index != 0 || !line()->hasSelectedText()) return;
    *start = line()->selectionStart();
    *end = *start + line()->selectionLength();
}

int line_accessible::selectionCount() const { return line()->hasSelectedText() ? 1 : 0; }

void line_accessible::addSelection(int start, int end) { setSelection(0, start, end); }

void line_accessible::removeSelection(int index)
{
    if (index == 0) line()->deselect();
}

void line_accessible::setSelection(int index, int start, int end)
{
    if (index == 0) line()->setSelection(start, end - start);
}

QRect line_accessible::characterRect(int offset) const
{
    const QString shown = line()->displayText();
    if (offset < 0 || offset >= shown.size()) return {};
    // The caret tells where the text starts, as far as it has scrolled.
    const QFontMetrics metrics(line()->font());
    const QRect caret = line()->caret_rect();
    const int origin = caret.center().x() - metrics.horizontalAdvance(shown.left(line()->cursorPosition()));
    const QRect character(origin + metrics.horizontalAdvance(shown.left(offset)), caret.top(),
                          metrics.horizontalAdvance(shown.at(offset)), caret.height());
    return {line()->mapToGlobal(character.topLeft()), character.size()};
}

int line_accessible::offsetAtPoint(const QPoint& point) const { return line()->cursorPositionAt(line()->mapFromGlobal(point)); }

void line_accessible::scrollToSubstring(int start, int) { line()->setCursorPosition(start); }

QString line_accessible::attributes(int offset, int* start, int* end) const
{
    *start = *end = offset;
    return {};
}

void line_accessible::deleteText(int start, int end) { write(line()->text().remove(start, end - start)); }

void line_accessible::insertText(int offset, const QString& text) { write(line()->text().insert(offset, text)); }

void line_accessible::replaceText(int start, int end, const QString& text)
{
    write(line()->text().replace(start, end - start, text));
}

}  // namespace xaml

#pragma once
// The one-line editor of a text, password or number box as assistive technology reads it: its
// text (a password's hidden), caret and selection, and edits only while the box is not read-only
// (Qt's own interface offers edits to a read-only editor too, and carries them out).

#include <QAccessibleWidget>
#include <QLineEdit>

namespace xaml {

class accessible_line : public QLineEdit {
public:
    explicit accessible_line(QWidget* parent);
    // Made once per editor by Qt's accessibility, which owns it.
    virtual QAccessibleInterface* make_accessible();
    QRect caret_rect() const { return cursorRect(); }
};

class line_accessible : public QAccessibleWidget, public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
    explicit line_accessible(accessible_line* line, QAccessible::Role role = QAccessible::EditableText);
    accessible_line* line() const { return static_cast<accessible_line*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;

    QString text(int start, int end) const override;
    int characterCount() const override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    void selection(int index, int* start, int* end) const override;
    int selectionCount() const override;
    void addSelection(int start, int end) override;
    void removeSelection(int index) override;
    void setSelection(int index, int start, int end) override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int start, int end) override;
    QString attributes(int offset, int* start, int* end) const override;

    void deleteText(int start, int end) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int start, int end, const QString& text) override;

private:
    void write(const QString& text);
};

}  // namespace xaml

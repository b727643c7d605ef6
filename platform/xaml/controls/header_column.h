#pragma once
// The column of input controls: an optional header label above the control's own widgets.

#include "platform/xaml/core/dependency.h"
#include "platform/xaml/core/qt_bridge.h"

class QLabel;
class QVBoxLayout;
class QWidget;

namespace xaml {

struct header_column {
    QWidget* box = nullptr;  // the element's widget
    QLabel* header = nullptr;
    QVBoxLayout* layout = nullptr;
};

// A new column with a hidden header; add the control's widgets to its layout.
header_column make_header_column();

// Shows a header value as text, or hides the label when there is none. The label names the
// widget it labels for the accessibility tools.
void show_header(QLabel* label, const IInspectable& header, QWidget* labelled);

// Shows a change of a control's Header above its field or of its PlaceholderText inside it.
// True when the header changed, after which the control lays itself out again.
template <class Control, class Field>
bool show_header_or_placeholder(const Control& control, const DependencyProperty& changed, QLabel* header, Field* field)
{
    if (changed == Control::PlaceholderTextProperty()) field->setPlaceholderText(to_qstring(control.PlaceholderText()));
    if (changed != Control::HeaderProperty()) return false;
    show_header(header, control.Header(), field);
    return true;
}

}  // namespace xaml

#pragma once
// The column of input controls: an optional header label above the control's own widgets.

#include "platform/xaml/core/types.h"

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

}  // namespace xaml

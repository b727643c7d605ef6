#include "platform/xaml/controls/header_column.h"

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>
#include <QVBoxLayout>

namespace xaml {

header_column make_header_column()
{
    header_column column;
    column.box = new QWidget;
    column.layout = new QVBoxLayout(column.box);
    column.layout->setContentsMargins(0, 0, 0, 0);
    column.layout->setSpacing(4);
    column.header = new QLabel(column.box);
    column.header->setVisible(false);
    column.layout->addWidget(column.header);
    return column;
}

void show_header(QLabel* label, const IInspectable& header, QWidget* labelled)
{
    const hstring text = content_text(header);
    label->setText(to_qstring(text));
    label->setVisible(!text.empty());
    label->setBuddy(labelled);
}

}  // namespace xaml

#include "platform/xaml/controls/ScrollViewer.h"

#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

#include <QScrollArea>
#include <QScrollBar>

namespace xaml {

namespace {

// Asks for the content's size, not the few lines a Qt scroll area asks for by default, so the
// viewer scrolls only when its parent gives it less.
class content_scroll_area final : public QScrollArea {
public:
    QSize sizeHint() const override
    {
        const QWidget* content = widget();
        const QSize hint = content ? content->sizeHint().expandedTo(QSize(0, 0)) : QSize(0, 0);
        const int frame = 2 * frameWidth();
        return hint + QSize(frame, frame);
    }
};

}  // namespace

ScrollViewer::ScrollViewer() : ContentControl(own_widget_t{})
{
    auto* area = new content_scroll_area;
    area->setFrameShape(QFrame::NoFrame);
    // The content's controls are the Tab stops, not the area around them.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_host = new QWidget;
    // The content is as wide as the viewport and never shorter than it asks to be: the scroll
    // area then scrolls whatever does not fit.
    m_host->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    m_host->setAutoFillBackground(false);
    area->setWidget(m_host);
    area->viewport()->setAutoFillBackground(false);
    set_widget(area);
}

QScrollArea* ScrollViewer::scroll_area() const { return static_cast<QScrollArea*>(widget()); }

void ScrollViewer::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    ContentControl::OnPropertyChanged(args);
    if (args.Property() != HorizontalScrollBarVisibilityProperty()) return;
    const auto visibility = HorizontalScrollBarVisibility();
    auto* area = scroll_area();
    area->setHorizontalScrollBarPolicy(visibility == ScrollBarVisibility::Auto      ? Qt::ScrollBarAsNeeded
                                       : visibility == ScrollBarVisibility::Visible ? Qt::ScrollBarAlwaysOn
                                                                                    : Qt::ScrollBarAlwaysOff);
    // Disabled keeps the content at the viewer's width; every other value lets it be wider.
    m_host->setSizePolicy(visibility == ScrollBarVisibility::Disabled ? QSizePolicy::Ignored : QSizePolicy::Minimum,
                          QSizePolicy::Minimum);
    invalidate_layout();
}

void register_scroll_viewer()
{
    metadata::type_builder(ScrollViewer::class_name, ContentControl::class_name)
        .activatable<ScrollViewer>()
        .property(ScrollViewer::HorizontalScrollBarVisibilityProperty, {u"ScrollBarVisibility"}, foundation::box_value(ScrollBarVisibility::Disabled));
    metadata::register_enum<ScrollBarVisibility>(u"ScrollBarVisibility", {{u"Disabled", ScrollBarVisibility::Disabled},
                                                                          {u"Auto", ScrollBarVisibility::Auto},
                                                                          {u"Hidden", ScrollBarVisibility::Hidden},
                                                                          {u"Visible", ScrollBarVisibility::Visible}});
}

}  // namespace xaml

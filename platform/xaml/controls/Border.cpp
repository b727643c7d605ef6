#include "platform/xaml/controls/Border.h"

#include "platform/xaml/core/layout.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>

namespace xaml {

namespace {

std::optional<QColor> brush_color(const std::shared_ptr<Brush>& brush)
{
    auto solid = std::dynamic_pointer_cast<SolidColorBrush>(brush);
    if (!solid) return std::nullopt;
    QColor color = to_qcolor(solid->Color());
    color.setAlphaF(color.alphaF() * static_cast<float>(std::clamp(solid->Opacity(), 0.0, 1.0)));
    return color;
}

// A rounded rectangle with a radius per corner.
QPainterPath rounded(const QRectF& r, double tl, double tr, double br, double bl)
{
    auto fit = [&](double radius) { return std::clamp(radius, 0.0, std::min(r.width(), r.height()) / 2); };
    tl = fit(tl), tr = fit(tr), br = fit(br), bl = fit(bl);
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    path.arcTo(QRectF(r.right() - 2 * tr, r.top(), 2 * tr, 2 * tr), 90, -90);
    path.lineTo(r.right(), r.bottom() - br);
    path.arcTo(QRectF(r.right() - 2 * br, r.bottom() - 2 * br, 2 * br, 2 * br), 0, -90);
    path.lineTo(r.left() + bl, r.bottom());
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * bl, 2 * bl, 2 * bl), 270, -90);
    path.lineTo(r.left(), r.top() + tl);
    path.arcTo(QRectF(r.left(), r.top(), 2 * tl, 2 * tl), 180, -90);
    path.closeSubpath();
    return path;
}

// Paints what its border says: the background inside the outline, the outline around it.
class border_widget final : public QWidget {
public:
    explicit border_widget(const Border* owner) : m_owner(owner) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        const auto fill = brush_color(m_owner->Background());
        const auto stroke = brush_color(m_owner->BorderBrush());
        if (!fill && !stroke) return;
        const Thickness t = m_owner->BorderThickness();
        const xaml::CornerRadius c = m_owner->CornerRadius();
        const QRectF outer(rect());
        const QRectF inner = outer.adjusted(t.Left, t.Top, -t.Right, -t.Bottom);
        const QPainterPath outside = rounded(outer, c.TopLeft, c.TopRight, c.BottomRight, c.BottomLeft);
        // The inner edge follows the outer one, less the border's width.
        const QPainterPath inside = rounded(inner, c.TopLeft - std::max(t.Left, t.Top) / 2, c.TopRight - std::max(t.Right, t.Top) / 2,
                                            c.BottomRight - std::max(t.Right, t.Bottom) / 2,
                                            c.BottomLeft - std::max(t.Left, t.Bottom) / 2);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, c != xaml::CornerRadius{});
        painter.setPen(Qt::NoPen);
        if (fill && inner.isValid()) painter.fillPath(inside, *fill);
        if (stroke) painter.fillPath(inner.isValid() ? outside.subtracted(inside) : outside, *stroke);
    }

private:
    const Border* m_owner;
};

}  // namespace

Border::Border()
{
    auto* widget = new border_widget(this);
    set_widget(widget);
    // Border and padding count also without a child.
    new element_layout(
        widget,
        [this] {
            const auto s = measure_override();
            return QSize(static_cast<int>(std::ceil(s.Width)), static_cast<int>(std::ceil(s.Height)));
        },
        [this](const QRect& r) { arrange_override(r.x(), r.y(), r.width(), r.height()); });
}

Thickness Border::inset() const
{
    const Thickness b = BorderThickness();
    const Thickness p = Padding();
    return {b.Left + p.Left, b.Top + p.Top, b.Right + p.Right, b.Bottom + p.Bottom};
}

foundation::Size Border::measure_override() const
{
    const auto child = UIElement::measure_override();
    const Thickness in = inset();
    return {static_cast<float>(child.Width + in.Left + in.Right), static_cast<float>(child.Height + in.Top + in.Bottom)};
}

void Border::arrange_override(double x, double y, double width, double height)
{
    const Thickness in = inset();
    UIElement::arrange_override(x + in.Left, y + in.Top, std::max(0.0, width - in.Left - in.Right),
                                std::max(0.0, height - in.Top - in.Bottom));
}

void Border::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == ChildProperty()) {
        if (auto old = std::dynamic_pointer_cast<UIElement>(args.OldValue())) detach_child(old);
        if (args.NewValue()) attach_child(foundation::as<UIElement>(args.NewValue()));
    } else if (p == BorderThicknessProperty() || p == PaddingProperty()) {
        invalidate_layout();
    }
    if (widget()) widget()->update();
}

void register_border()
{
    metadata::type_builder(Border::class_name, FrameworkElement::class_name)
        .activatable<Border>()
        .property(Border::ChildProperty, {u"Microsoft.UI.Xaml.UIElement"}, nullptr)
        .property(Border::BackgroundProperty, {u"Microsoft.UI.Xaml.Media.Brush"}, nullptr)
        .property(Border::BorderBrushProperty, {u"Microsoft.UI.Xaml.Media.Brush"}, nullptr)
        .property(Border::BorderThicknessProperty, {u"Microsoft.UI.Xaml.Thickness"}, foundation::box_value(Thickness{}))
        .property(Border::CornerRadiusProperty, {u"Microsoft.UI.Xaml.CornerRadius"}, foundation::box_value(xaml::CornerRadius{}))
        .property(Border::PaddingProperty, {u"Microsoft.UI.Xaml.Thickness"}, foundation::box_value(Thickness{}))
        .content(u"Child");
}

}  // namespace xaml

#include "platform/xaml/window/readable_style.h"

#include "platform/xaml/core/contrast.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

#include <algorithm>
#include <initializer_list>

namespace xaml {

namespace {

// A little over the 3:1 at which a shape is seen: pages a shade off the window's colour and
// faces drawn with a gradient keep it seen.
constexpr double seen = 3.3;
constexpr double focus_width = 2;
// Around a check box's or radio button's indicator and label: the focus mark and a gap.
constexpr int focus_room = 3;

QRect inside_focus_room(const QRect& rect) { return rect.adjusted(focus_room, focus_room, -focus_room, -focus_room); }

QPalette::ColorGroup group_of(const QStyleOption* option)
{
    if (!(option->state & QStyle::State_Enabled)) return QPalette::Disabled;
    return option->state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
}

// `from` moved toward `to` no further than it takes to stand apart from each of `around`;
// `to` itself where nothing on the way does.
QColor apart(const QColor& from, const QColor& to, std::initializer_list<QColor> around)
{
    for (int step = 0; step <= 20; ++step) {
        const QColor colour = mix(to, from, step / 20.0);
        if (std::all_of(around.begin(), around.end(), [&](const QColor& c) { return contrast_ratio(colour, c) >= seen; }))
            return colour;
    }
    return to;
}

// The edge of a field: the page's colour toned toward its text until the edge is seen on it.
QColor field_edge(const QPalette& palette, QPalette::ColorGroup group)
{
    const QColor page = palette.color(group, QPalette::Window);
    return apart(page, palette.color(group, QPalette::WindowText), {page});
}

// The accent, lightened on a dark page and darkened on a light one until it stands apart from
// the page, the faces of fields and buttons, and a field's edge, which it replaces.
QColor focus_colour(const QPalette& palette, QPalette::ColorGroup group)
{
    const QColor page = palette.color(group, QPalette::Window);
    const QColor away = contrast_ratio(page, Qt::white) > contrast_ratio(page, Qt::black) ? Qt::white : Qt::black;
    return apart(palette.color(group, QPalette::Highlight), away,
                 {page, palette.color(group, QPalette::Base), palette.color(group, QPalette::Button), field_edge(palette, group)});
}

// The band `width` wide inside the edge of `rect`, its corners rounded.
QPainterPath band(const QRectF& rect, double width, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    path.addRoundedRect(rect.adjusted(width, width, -width, -width), std::max(0.0, radius - width), std::max(0.0, radius - width));
    return path;
}

bool keyboard_focus(const QStyleOption* option)
{
    return (option->state & QStyle::State_HasFocus) && (option->state & QStyle::State_KeyboardFocusChange);
}

// A text field: its base, and an edge that the page does not swallow, the focus mark when it
// has the focus (also from the mouse: the caret goes where the focus is).
void draw_field(const QStyleOption* option, QPainter* painter)
{
    const auto group = group_of(option);
    const bool focused = option->state & QStyle::State_HasFocus;
    const QRectF r(option->rect);
    const double width = focused ? focus_width : 1;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(option->palette.brush(group, QPalette::Base));
    painter->drawRoundedRect(r.adjusted(width, width, -width, -width), 3 - width, 3 - width);
    painter->fillPath(band(r, width, 3), focused ? focus_colour(option->palette, group) : field_edge(option->palette, group));
    painter->restore();
}

// The focus mark: a band of the focus colour along the edge of `rect`, and inside it a line of
// the page's colour that keeps it apart from a face of a like colour (a chosen toggle's accent).
void draw_focus_mark(const QStyleOption* option, QPainter* painter)
{
    const auto group = group_of(option);
    const QRectF r(option->rect);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(band(r.adjusted(focus_width, focus_width, -focus_width, -focus_width), 1, 2),
                      option->palette.color(group, QPalette::Window));
    painter->fillPath(band(r, focus_width, 4), focus_colour(option->palette, group));
    painter->restore();
}

// Radio buttons drawn with a ring that stands out from any background: styles derive the ring
// from the window colour, which leaves it all but invisible in dark palettes.
void draw_radio_indicator(const QStyleOption* option, QPainter* painter)
{
    const QPalette& palette = option->palette;
    const bool enabled = option->state & QStyle::State_Enabled;
    const bool on = option->state & QStyle::State_On;
    const auto group = enabled ? QPalette::Active : QPalette::Disabled;
    // The ring's 1 px stroke lies on the pixels of the indicator's edge, not half beside them.
    const double side = std::min(option->rect.width(), option->rect.height()) - 1.0;
    const QPointF centre = QRectF(option->rect).center();
    const QRectF ring(centre.x() - side / 2, centre.y() - side / 2, side, side);
    const QColor base = palette.color(group, QPalette::Base);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (on && enabled) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette.color(group, QPalette::Highlight));
        painter->drawEllipse(ring);
        painter->setBrush(palette.color(group, QPalette::HighlightedText));
        painter->drawEllipse(ring.center(), side * 0.22, side * 0.22);
    } else {
        QColor stroke = mix(palette.color(group, QPalette::Text), base, 0.6);
        if (option->state & QStyle::State_Sunken) stroke = palette.color(group, QPalette::Highlight);
        painter->setPen(QPen(stroke, 1.0));
        painter->setBrush(base);
        painter->drawEllipse(ring);
        if (on) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(stroke);
            painter->drawEllipse(ring.center(), side * 0.22, side * 0.22);
        }
    }
    painter->restore();
}

// The option less its focus, so that the style underneath draws none of its own.
template <class Option>
Option without_focus(const QStyleOption* option)
{
    Option plain = *qstyleoption_cast<const Option*>(option);
    plain.state &= ~QStyle::State_HasFocus;
    return plain;
}

}  // namespace

void readable_style::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const
{
    switch (element) {
    case PE_IndicatorRadioButton:
        draw_radio_indicator(option, painter);
        return;
    case PE_PanelLineEdit:
        // A field inside another control (a spin box, an editable drop-down) has that control's frame.
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option); frame && frame->lineWidth > 0) {
            draw_field(option, painter);
            return;
        }
        break;
    case PE_FrameFocusRect:
        // Shown once the keyboard has moved the focus, as styles do.
        if (option->state & State_KeyboardFocusChange) draw_focus_mark(option, painter);
        return;
    default: break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void readable_style::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    const bool indicator = element == CE_RadioButton || element == CE_CheckBox;
    if ((!indicator && element != CE_PushButton) || !qstyleoption_cast<const QStyleOptionButton*>(option))
        return QProxyStyle::drawControl(element, option, painter, widget);
    // The mark goes around the whole button: on a check box or radio button around its label too,
    // which keep clear of it.
    auto plain = without_focus<QStyleOptionButton>(option);
    if (indicator) plain.rect = inside_focus_room(option->rect);
    QProxyStyle::drawControl(element, &plain, painter, widget);
    if (keyboard_focus(option)) draw_focus_mark(option, painter);
}

void readable_style::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                        const QWidget* widget) const
{
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (control != CC_ComboBox || !combo) return QProxyStyle::drawComplexControl(control, option, painter, widget);
    const auto plain = without_focus<QStyleOptionComboBox>(option);
    QProxyStyle::drawComplexControl(control, &plain, painter, widget);
    // A drop-down is a field too: its edge must be seen on the page.
    if (combo->frame) {
        const auto group = group_of(option);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(band(QRectF(option->rect), 1, 3), field_edge(option->palette, group));
        painter->restore();
    }
    if (keyboard_focus(option)) draw_focus_mark(option, painter);
}

QRect readable_style::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const
{
    switch (element) {
    case SE_CheckBoxIndicator:
    case SE_CheckBoxContents:
    case SE_RadioButtonIndicator:
    case SE_RadioButtonContents:
        // Indicator and label keep clear of the focus mark around them.
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton inner = *button;
            inner.rect = inside_focus_room(option->rect);
            return QProxyStyle::subElementRect(element, &inner, widget);
        }
        break;
    case SE_CheckBoxFocusRect:
    case SE_RadioButtonFocusRect:
    case SE_CheckBoxClickRect:
    case SE_RadioButtonClickRect:
        return option->rect;
    default: break;
    }
    return QProxyStyle::subElementRect(element, option, widget);
}

QSize readable_style::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const
{
    const QSize own = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_CheckBox || type == CT_RadioButton) return own + QSize(2 * focus_room, 2 * focus_room);
    return own;
}

}  // namespace xaml

#pragma once
// The application's style: the desktop's own, with what it leaves faint in some palettes drawn
// to stand 3:1 apart from what surrounds it, in light and dark palettes alike: the edges of
// text fields and drop-downs, radio-button circles, and the mark of the keyboard focus.

#include <QProxyStyle>

namespace xaml {

class readable_style final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const override;
};

}  // namespace xaml

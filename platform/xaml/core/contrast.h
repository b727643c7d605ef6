#pragma once
// Colours that must be told apart: how far apart two colours are for the eye, and one colour
// laid over another.

#include <QColor>

namespace xaml {

// The WCAG contrast ratio of two colours, 1 to 21: 3 is the least at which a shape is seen.
double contrast_ratio(const QColor& a, const QColor& b);
// `top` over `bottom`, `top` weighted by `share` (0 to 1), opaque.
QColor mix(const QColor& top, const QColor& bottom, double share);

}  // namespace xaml

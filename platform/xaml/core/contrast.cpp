#include "platform/xaml/core/contrast.h"

#include <algorithm>
#include <cmath>

namespace xaml {

namespace {

double relative_luminance(const QColor& colour)
{
    auto channel = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

}  // namespace

double contrast_ratio(const QColor& a, const QColor& b)
{
    const double la = relative_luminance(a);
    const double lb = relative_luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor mix(const QColor& top, const QColor& bottom, double share)
{
    const QColor t = top.toRgb(), b = bottom.toRgb();
    auto channel = [&](double tc, double bc) { return static_cast<float>(tc * share + bc * (1 - share)); };
    return QColor::fromRgbF(channel(t.redF(), b.redF()), channel(t.greenF(), b.greenF()), channel(t.blueF(), b.blueF()));
}

}  // namespace xaml

#pragma once
// Brushes: a solid colour is all the program paints with.

#include "platform/foundation/object.h"
#include "platform/xaml/core/types.h"

namespace xaml {

class Brush : public foundation::Object {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Media.Brush")
    double Opacity() const noexcept { return m_opacity; }
    void Opacity(double value) noexcept { m_opacity = value; }

private:
    double m_opacity = 1.0;
};

class SolidColorBrush final : public Brush {
public:
    SolidColorBrush() = default;
    explicit SolidColorBrush(xaml::Color color) : m_color(color) {}
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Media.SolidColorBrush")
    xaml::Color Color() const noexcept { return m_color; }
    void Color(xaml::Color value) noexcept { m_color = value; }

private:
    xaml::Color m_color;
};

}  // namespace xaml

#pragma once
// Conversions between the layer's types and Qt's, for the widget code of the layer.

#include "platform/foundation/hstring.h"
#include "platform/xaml/core/brush.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>

namespace xaml {

inline QString to_qstring(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline foundation::hstring from_qstring(const QString& text)
{
    return foundation::hstring(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

inline QColor to_qcolor(const Color& c) { return QColor(c.R, c.G, c.B, c.A); }

}  // namespace xaml

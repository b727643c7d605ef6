#pragma once
// Text between the layer's strings and Qt's, both UTF-16: the one bridge every Qt-backed part uses.

#include "platform/foundation/hstring.h"

#include <QString>

namespace foundation {

inline QString to_qstring(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline hstring from_qstring(const QString& text)
{
    return hstring(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

}  // namespace foundation

#pragma once
// Conversions between the layer's types and Qt's, for the widget code of the layer.

#include "platform/foundation/qstring.h"
#include "platform/xaml/core/brush.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>

namespace xaml {

using foundation::from_qstring;
using foundation::to_qstring;

inline QColor to_qcolor(const Color& c) { return QColor(c.R, c.G, c.B, c.A); }

}  // namespace xaml

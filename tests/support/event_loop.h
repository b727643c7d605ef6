#pragma once
// Runs the Qt event loop until a condition holds or a bounded wait ends.

#include "platform/foundation/hstring.h"

#include <chrono>
#include <functional>
#include <ostream>

namespace test {

bool run_until(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace test

namespace foundation {
inline void PrintTo(const hstring& text, std::ostream* out) { *out << '"' << to_narrow(text) << '"'; }
}  // namespace foundation

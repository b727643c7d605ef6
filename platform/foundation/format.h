#pragma once
// GCC 12 has no <format>: std::format and std::vformat come from {fmt}, whose grammar is the same.

#include <fmt/format.h>

namespace std {
using ::fmt::format;
using ::fmt::make_format_args;
using ::fmt::vformat;
using format_error = ::fmt::format_error;
}  // namespace std

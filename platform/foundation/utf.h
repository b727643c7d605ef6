#pragma once
// UTF-8 and UTF-16 codecs that replace ill-formed input with U+FFFD instead of failing.

#include <string>
#include <string_view>

namespace foundation::utf {

struct result_flags {
    bool replaced = false;  // some ill-formed input was replaced with U+FFFD
};

// Each maximal ill-formed subsequence of the input becomes one U+FFFD.
std::u16string utf8_to_utf16(std::string_view input, result_flags* flags = nullptr);
// A lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view input, result_flags* flags = nullptr);

}  // namespace foundation::utf

#include "platform/foundation/utf.h"

#include "platform/foundation/hstring.h"

#include <cstdint>

namespace foundation::utf {
namespace {

constexpr char32_t replacement = 0xFFFD;

void append_utf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void append_utf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::u16string utf8_to_utf16(std::string_view input, result_flags* flags)
{
    std::u16string out;
    out.reserve(input.size());
    std::size_t i = 0;
    const std::size_t n = input.size();
    while (i < n) {
        const auto b0 = static_cast<std::uint8_t>(input[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        // Lead byte: number of continuation bytes and the valid range of the first one
        // (this rejects overlong forms, surrogates and values above U+10FFFF).
        int extra = 0;
        std::uint8_t lo = 0x80, hi = 0xBF;
        char32_t cp = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2;
            cp = b0 & 0x0F;
            if (b0 == 0xE0) lo = 0xA0;
            if (b0 == 0xED) hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3;
            cp = b0 & 0x07;
            if (b0 == 0xF0) lo = 0x90;
            if (b0 == 0xF4) hi = 0x8F;
        } else {
            append_utf16(out, replacement);
            if (flags) flags->replaced = true;
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= n) { ok = false; break; }
            const auto b = static_cast<std::uint8_t>(input[j]);
            const std::uint8_t min = k == 0 ? lo : 0x80;
            const std::uint8_t max = k == 0 ? hi : 0xBF;
            if (b < min || b > max) { ok = false; break; }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (ok) {
            append_utf16(out, cp);
        } else {
            // The maximal subpart consumed so far becomes one replacement character.
            append_utf16(out, replacement);
            if (flags) flags->replaced = true;
        }
        i = j;
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view input, result_flags* flags)
{
    std::string out;
    out.reserve(input.size() * 3 / 2);
    const std::size_t n = input.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t u = input[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && input[i + 1] >= 0xDC00 && input[i + 1] <= 0xDFFF) {
            append_utf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(input[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            append_utf8(out, replacement);
            if (flags) flags->replaced = true;
        } else {
            append_utf8(out, u);
        }
    }
    return out;
}

}  // namespace foundation::utf

namespace foundation {
std::string to_narrow(std::u16string_view text) { return utf::utf16_to_utf8(text); }
}  // namespace foundation

#include "certificates/NameText.h"

namespace Zintrel {

bool is_blank(char32_t c) noexcept
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

std::pair<char32_t, std::size_t> first_code_point(std::string_view text) noexcept
{
    constexpr std::pair<char32_t, std::size_t> invalid{0xFFFD, 1};
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF0 && lead < 0xF5   ? 4
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                                                             : 0;
    if (length == 0 || length > text.size()) return invalid;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return invalid;
        c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are no characters.
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return invalid;
    return {c, length};
}

std::string_view without_blanks(std::string_view text) noexcept
{
    while (!text.empty()) {
        const auto [c, length] = first_code_point(text);
        if (!is_blank(c)) break;
        text.remove_prefix(length);
    }
    // From the end: step back over continuation bytes to the start of the last character.
    while (!text.empty()) {
        std::size_t start = text.size() - 1;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80 && text.size() - start < 4) --start;
        const auto [c, length] = first_code_point(text.substr(start));
        if (length != text.size() - start || !is_blank(c)) break;
        text.remove_suffix(length);
    }
    return text;
}

std::optional<char32_t> first_control_character(std::string_view text, bool blanks_allowed) noexcept
{
    while (!text.empty()) {
        const auto [c, length] = first_code_point(text);
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x061C ||
                             c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        if (control && !(blanks_allowed && is_blank(c))) return c;
        text.remove_prefix(length);
    }
    return std::nullopt;
}

std::size_t character_count(std::string_view text) noexcept
{
    std::size_t count = 0;
    for (const char byte : text)
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) ++count;
    return count;
}

}  // namespace Zintrel

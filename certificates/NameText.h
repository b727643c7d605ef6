#pragma once
// What the form's UTF-8 texts hold before they become names: blanks around them, characters no
// name may carry, and the length as the library counts it.

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace Zintrel {

// Spaces, tabs, line and paragraph breaks and the byte order mark: what separates and surrounds
// names without being part of them.
bool is_blank(char32_t c) noexcept;

// The text without the blanks at either end.
std::string_view without_blanks(std::string_view text) noexcept;

// The first character that would reach a reader as something else than text: C0 and C1 control
// characters (NUL, TAB, LF, ESC, BEL, NEL ...), DEL, the line and paragraph separators, and the
// marks, embeddings, overrides and isolates that reorder bidirectional text. With
// blanks_allowed, blanks (tab, line feed ...) are not counted: they separate alternative names.
std::optional<char32_t> first_control_character(std::string_view text, bool blanks_allowed) noexcept;

// Characters (code points) of UTF-8 text.
std::size_t character_count(std::string_view text) noexcept;

// The first code point of non-empty text and its length in bytes; a byte that begins no valid
// sequence counts as U+FFFD of one byte.
std::pair<char32_t, std::size_t> first_code_point(std::string_view text) noexcept;

}  // namespace Zintrel

#pragma once
// Immutable UTF-16 text, the string type of every runtime interface.

#include <charconv>
#include <compare>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

namespace foundation {

class hstring {
public:
    hstring() = default;
    hstring(std::nullptr_t) = delete;  // a null pointer is not a string; use hstring{} for empty
    hstring(const char16_t* text) : m_text(text) {}
    hstring(std::u16string_view text) : m_text(text) {}
    hstring(std::u16string&& text) noexcept : m_text(std::move(text)) {}
    hstring(const std::u16string& text) : m_text(text) {}

    const char16_t* c_str() const noexcept { return m_text.c_str(); }
    const char16_t* data() const noexcept { return m_text.data(); }
    std::size_t size() const noexcept { return m_text.size(); }
    bool empty() const noexcept { return m_text.empty(); }
    auto begin() const noexcept { return m_text.begin(); }
    auto end() const noexcept { return m_text.end(); }
    char16_t operator[](std::size_t i) const noexcept { return m_text[i]; }

    operator std::u16string_view() const noexcept { return m_text; }
    const std::u16string& str() const noexcept { return m_text; }

    friend bool operator==(const hstring&, const hstring&) = default;
    friend auto operator<=>(const hstring& a, const hstring& b) noexcept { return a.m_text <=> b.m_text; }
    friend bool operator==(const hstring& a, std::u16string_view b) noexcept { return std::u16string_view(a) == b; }
    friend bool operator==(const hstring& a, const char16_t* b) noexcept { return std::u16string_view(a) == b; }

    friend hstring operator+(const hstring& a, std::u16string_view b) {
        std::u16string text(a.m_text);
        text += b;
        return hstring(std::move(text));
    }

private:
    std::u16string m_text;
};

// UTF-8 rendering for logs, exception texts and test output.
std::string to_narrow(std::u16string_view text);

// The decimal text of a number, the shortest that reads back the same: "42", "-7", "0.5".
template <class T>
    requires std::integral<T> || std::floating_point<T>
hstring to_hstring(T value)
{
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return hstring(std::u16string(digits, end));
}

}  // namespace foundation

#include "platform/globalization/DecimalFormatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace globalization {

namespace {

hstring from_ascii(const std::string& text) { return hstring(std::u16string(text.begin(), text.end())); }

std::string grouped(const std::string& digits)
{
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

bool is_blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u00A0'; }
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

void DecimalFormatter::IntegerDigits(std::int32_t value)
{
    if (value < 0) throw foundation::hresult_invalid_argument(u"A digit count cannot be negative");
    m_integerDigits = value;
}

void DecimalFormatter::FractionDigits(std::int32_t value)
{
    if (value < 0) throw foundation::hresult_invalid_argument(u"A digit count cannot be negative");
    m_fractionDigits = value;
}

hstring DecimalFormatter::FormatDouble(double value) const
{
    if (std::isnan(value)) return u"NaN";
    if (m_rounder) value = m_rounder->RoundDouble(value);
    if (std::isinf(value)) return value < 0 ? u"-\u221E" : u"\u221E";

    // The shortest digits that read back as the same value, never in exponent form.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::abs(value), std::chars_format::fixed);
    const std::string digits(buffer, result.ptr);
    const auto point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : digits.substr(point + 1);

    if (fraction.size() < static_cast<std::size_t>(m_fractionDigits)) fraction.append(m_fractionDigits - fraction.size(), '0');
    if (whole == "0" && m_integerDigits == 0 && !fraction.empty()) whole.clear();
    if (whole.size() < static_cast<std::size_t>(m_integerDigits)) whole.insert(0, m_integerDigits - whole.size(), '0');
    if (m_grouped) whole = grouped(whole);

    const bool zero = std::none_of(digits.begin(), digits.end(), [](char c) { return c >= '1' && c <= '9'; });
    std::string text = value < 0 && !zero ? "-" : "";
    text += whole;
    if (!fraction.empty()) text += "." + fraction;
    return from_ascii(text);
}

foundation::IReference<double> DecimalFormatter::ParseDouble(std::u16string_view text) const
{
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);

    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-') plain.push_back('-');
        ++i;
    }
    std::size_t digitCount = 0;
    for (; i < text.size(); ++i) {
        if (is_digit(text[i])) {
            plain.push_back(static_cast<char>(text[i]));
            ++digitCount;
        } else if (text[i] == u',' && m_grouped && digitCount > 0 && i + 1 < text.size() && is_digit(text[i + 1])) {
            continue;
        } else {
            break;
        }
    }
    if (i < text.size() && text[i] == u'.') {
        plain.push_back('.');
        for (++i; i < text.size() && is_digit(text[i]); ++i) {
            plain.push_back(static_cast<char>(text[i]));
            ++digitCount;
        }
    }
    if (i != text.size() || digitCount == 0) return std::nullopt;

    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) return std::nullopt;
    return value;
}

}  // namespace globalization

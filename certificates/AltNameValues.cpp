#include "certificates/AltNameValues.h"

#include "certificates/CertificateError.h"
#include "platform/shell/net.h"

#include <idn2.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace Zintrel {

namespace {

bool is_ascii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// What an IA5String may carry in a name: printable ASCII, no blank or control character.
bool is_printable_ascii(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7f; });
}

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_hex(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool all_digits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), is_digit); }

std::string lower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string in_quotes(std::string_view text) { return "\u201C" + std::string(text) + "\u201D"; }

bool is_address(int family, const std::string& text)
{
    unsigned char address[16];
    return shell::inet_pton(family, text.c_str(), address) == 1;
}

// The A-label of a label, or empty when IDNA refuses it. An ASCII label comes back lower-case.
std::string a_label(std::string_view label)
{
    char* converted = nullptr;
    // Non-transitional processing maps case and width first, as browsers do; an "xn--" label is
    // decoded and encoded again, and refused when that does not give it back.
    const std::string input(label);
    if (idn2_to_ascii_8z(input.c_str(), &converted, IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL) != IDN2_OK) return {};
    const std::unique_ptr<char, decltype(&idn2_free)> owned(converted, &idn2_free);
    return owned.get();
}

bool is_label_character(char c) { return is_alpha(c) || is_digit(c) || c == '-' || c == '_'; }

// A label of a dotted number as the C library's inet_aton reads them: decimal, octal or "0x" hex.
bool is_number_label(std::string_view label)
{
    if (label.size() > 2 && label[0] == '0' && (label[1] == 'x' || label[1] == 'X'))
        return std::all_of(label.begin() + 2, label.end(), is_hex);
    return all_digits(label);
}

// Why the labels are no host name, or empty when they are one.
std::string label_problem(const std::vector<std::string>& labels, bool wildcard_allowed)
{
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::string& label = labels[i];
        if (label == "*") {
            if (i == 0 && wildcard_allowed && labels.size() >= 3) continue;
            return "is not a valid host name: a wildcard stands for the first label alone, in front of a domain "
                   "of at least two labels, such as \u201C*.example.com\u201D";
        }
        if (label.empty()) return "is not a valid host name: it has an empty label";
        if (label.size() > 63)
            return "is not a valid host name: its label " + in_quotes(label) + " is longer than 63 characters";
        if (!std::all_of(label.begin(), label.end(), is_label_character))
            return "is not a valid host name: its label " + in_quotes(label) +
                   " holds characters other than letters, digits, hyphens and underscores";
        if (label.front() == '-' || label.back() == '-')
            return "is not a valid host name: its label " + in_quotes(label) + " begins or ends with a hyphen";
        if (lower(label).starts_with("xn--") && lower(a_label(label)) != lower(label))
            return "is not a valid host name: its label " + in_quotes(label) +
                   " is no valid internationalised label (A-label)";
    }
    if (std::all_of(labels.begin(), labels.end(), is_number_label)) {
        std::string dotted;
        for (const auto& label : labels) dotted += (dotted.empty() ? "" : ".") + label;
        if (is_address(shell::AF_INET, dotted)) return "is an IP address, not a host name";
        return "is not an IP address: an IPv4 address is four numbers from 0 to 255 without leading zeros, "
               "such as 192.0.2.10";
    }
    if (all_digits(labels.back())) return "is not a valid host name: its last label is all digits, as no domain's is";
    return {};
}

// Every byte of a non-ASCII character as %XX, as an internationalised address maps to a URI.
std::string percent_encoded(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += digits[byte >> 4];
            encoded += digits[byte & 0xF];
        }
    }
    return encoded;
}

std::string shown_character(char c)
{
    if (c > 0x20 && c < 0x7f) return in_quotes(std::string_view(&c, 1));
    char code[8];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    return code;
}

// Why a part of an address breaks RFC 3986, or empty: each character unreserved, a
// sub-delimiter, one of the part's own extra characters, or a "%" with two hexadecimal digits.
std::string syntax_problem(std::string_view part, std::string_view extra)
{
    constexpr std::string_view unreserved_marks = "-._~", sub_delimiters = "!$&'()*+,;=";
    for (std::size_t i = 0; i < part.size(); ++i) {
        const char c = part[i];
        if (c == '%') {
            if (i + 2 < part.size() && is_hex(part[i + 1]) && is_hex(part[i + 2])) {
                i += 2;
                continue;
            }
            return "holds a \u201C%\u201D that is not followed by two hexadecimal digits";
        }
        if (is_alpha(c) || is_digit(c) || unreserved_marks.find(c) != std::string_view::npos ||
            sub_delimiters.find(c) != std::string_view::npos || extra.find(c) != std::string_view::npos)
            continue;
        return "holds " + shown_character(c) + ", which an address cannot carry there unencoded";
    }
    return {};
}

struct ascii_result {
    std::string ascii;
    std::string problem;
};

// The host of an address: an IPv6 address in brackets, an IPv4 address, or a host name.
ascii_result ascii_uri_host(std::string_view host)
{
    if (host.empty()) return {{}, "has no host after \u201C//\u201D"};
    if (host.front() == '[') {
        if (host.back() == ']' && is_address(shell::AF_INET6, std::string(host.substr(1, host.size() - 2))))
            return {std::string(host), {}};
        return {{}, "has the host " + in_quotes(host) + ", which is no IPv6 address in brackets"};
    }
    if (is_address(shell::AF_INET, std::string(host))) return {std::string(host), {}};
    auto checked = check_host_name(host, false);
    if (!checked.problem.empty()) return {{}, "has the host " + in_quotes(host) + ", which " + checked.problem};
    return {std::move(checked.ascii), {}};
}

// scheme ":" ["//" [userinfo "@"] host [":" port]] path ["?" query] ["#" fragment], from RFC 3986.
ascii_result ascii_uri(std::string_view uri)
{
    const std::size_t scheme_end = scheme_length(uri);
    std::string_view rest = uri.substr(scheme_end + 1);
    std::optional<std::string> query, fragment;
    if (const auto hash = rest.find('#'); hash != std::string_view::npos) {
        fragment = percent_encoded(rest.substr(hash + 1));
        rest = rest.substr(0, hash);
    }
    if (const auto question = rest.find('?'); question != std::string_view::npos) {
        query = percent_encoded(rest.substr(question + 1));
        rest = rest.substr(0, question);
    }
    if (rest.empty() && !query && !fragment) return {{}, "has nothing after its scheme"};
    // "host.example:8443" reads as the scheme "host.example" with the path "8443".
    if (all_digits(rest) && !query && !fragment)
        return {{}, "is a host with a port; a certificate names the host alone"};

    std::string authority;
    if (rest.starts_with("//")) {
        const std::size_t authority_end = std::min(rest.find('/', 2), rest.size());
        std::string_view host = rest.substr(2, authority_end - 2);
        rest = rest.substr(authority_end);
        authority = "//";
        if (const auto at = host.rfind('@'); at != std::string_view::npos) {
            const std::string userinfo = percent_encoded(host.substr(0, at));
            if (auto problem = syntax_problem(userinfo, ":"); !problem.empty()) return {{}, std::move(problem)};
            authority += userinfo + "@";
            host = host.substr(at + 1);
        }
        // A port follows the last colon, unless that colon is inside a bracketed IPv6 address.
        std::string port;
        if (const auto colon = host.rfind(':');
            colon != std::string_view::npos && host.find(']', colon) == std::string_view::npos) {
            port = host.substr(colon);
            host = host.substr(0, colon);
            if (port.size() > 1 && !all_digits(port.substr(1)))
                return {{}, "has the port " + in_quotes(port.substr(1)) + ", which is no number"};
        }
        auto ascii_host = ascii_uri_host(host);
        if (!ascii_host.problem.empty()) return ascii_host;
        authority += ascii_host.ascii + port;
    }
    std::string ascii = std::string(uri.substr(0, scheme_end + 1)) + authority + percent_encoded(rest);
    if (auto problem = syntax_problem(ascii.substr(scheme_end + 1 + authority.size()), ":@/"); !problem.empty())
        return {{}, std::move(problem)};
    for (const auto& [part, delimiter] : {std::pair{&query, '?'}, std::pair{&fragment, '#'}}) {
        if (!*part) continue;
        if (auto problem = syntax_problem(**part, ":@/?"); !problem.empty()) return {{}, std::move(problem)};
        ascii += delimiter + **part;
    }
    return {std::move(ascii), {}};
}

[[noreturn]] void refuse_alt_name(const std::string& token, const std::string& what)
{
    throw certificate_error(certificate_errc::invalid_alt_name,
                            in_quotes(token) + " in the alternative names " + what + ".");
}

// Why the part before the @ is no dot-atom (RFC 5321: runs of letters, digits and the marks
// below, joined by single dots), or empty when it is one. A quoted part could hold anything,
// another @ included, and is not written.
std::string local_part_problem(std::string_view local)
{
    constexpr std::string_view marks = "!#$%&'*+-/=?^_`{|}~";
    const std::string allowed = "letters, digits, single dots and these marks: ! # $ % & ' * + - / = ? ^ _ ` { | } ~";
    if (local.empty()) return "is empty";
    if (local.front() == '"') return "is in quotes, which a certificate here does not hold: write it unquoted, made of " + allowed;
    if (!is_ascii(local)) return "must be ASCII";
    for (const char c : local)
        if (!is_alpha(c) && !is_digit(c) && c != '.' && marks.find(c) == std::string_view::npos)
            return "holds " + shown_character(c) + "; it may hold " + allowed;
    if (local.front() == '.') return "begins with a dot";
    if (local.back() == '.') return "ends with a dot";
    if (local.find("..") != std::string_view::npos) return "has two dots in a row";
    return {};
}

std::string email_alt_name(const std::string& token)
{
    // The first @ ends a part that holds none.
    const auto at = token.find('@');
    const std::string local = token.substr(0, at);
    const std::string_view domain = std::string_view(token).substr(at + 1);
    const std::string what = "is not an email address a certificate can hold";
    if (auto problem = local_part_problem(local); !problem.empty())
        refuse_alt_name(token, what + ": the part before the @ " + problem);
    if (domain.find('@') != std::string_view::npos) refuse_alt_name(token, what + ": it has more than one @");
    // An address literal ("[192.0.2.1]") is no host name but ASCII as it stands.
    if (domain.starts_with('[') && domain.ends_with(']') && is_printable_ascii(domain)) return "email:" + token;
    auto host = check_host_name(domain, false);
    if (!host.problem.empty()) refuse_alt_name(token, what + ": its domain " + in_quotes(domain) + " " + host.problem);
    return "email:" + local + "@" + host.ascii;
}

}  // namespace

host_name_check check_host_name(std::string_view host, bool wildcard_allowed)
{
    if (host.empty()) return {{}, "is not a valid host name: it is empty"};
    std::vector<std::string> labels;
    std::string ascii;
    for (std::size_t start = 0;;) {
        const std::size_t dot = host.find('.', start);
        const std::string_view label = host.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (is_ascii(label)) {
            labels.emplace_back(label);
        } else {
            labels.push_back(a_label(label));
            if (labels.back().empty())
                return {{}, "is not a valid host name: its label " + in_quotes(label) + " is no internationalised label"};
        }
        if (start != 0) ascii += '.';
        ascii += labels.back();
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (auto problem = label_problem(labels, wildcard_allowed); !problem.empty()) return {{}, std::move(problem)};
    if (ascii.size() > 253) return {{}, "is not a valid host name: it is longer than 253 characters"};
    return {std::move(ascii), {}};
}

std::size_t scheme_length(std::string_view token) noexcept
{
    if (token.empty() || !is_alpha(token.front())) return 0;
    const auto end = std::find_if_not(token.begin(), token.end(),
                                      [](char c) { return is_alpha(c) || is_digit(c) || c == '+' || c == '-' || c == '.'; });
    return end != token.end() && *end == ':' ? static_cast<std::size_t>(end - token.begin()) : 0;
}

std::string ascii_alt_name(const std::string& prefixed)
{
    const auto colon = prefixed.find(':');
    const std::string prefix = prefixed.substr(0, colon + 1);
    const std::string token = prefixed.substr(colon + 1);
    if (prefix == "DNS:") {
        auto host = check_host_name(token, true);
        if (host.problem.empty()) return prefix + host.ascii;
        refuse_alt_name(token, host.problem);
    }
    if (prefix == "email:") return email_alt_name(token);
    if (prefix == "URI:") {
        auto uri = ascii_uri(token);
        if (uri.problem.empty()) return prefix + uri.ascii;
        refuse_alt_name(token, "is not an address (URI) a certificate can hold: it " + uri.problem);
    }
    return prefixed;
}

std::optional<std::string> common_name_alt_name(std::string_view common_name)
{
    const std::string name(common_name);
    if (is_address(shell::AF_INET, name) || is_address(shell::AF_INET6, name)) return "IP:" + name;
    const bool host_like = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return is_label_character(c) || c == '.' || c == '*' || static_cast<unsigned char>(c) >= 0x80;
    });
    if (!host_like) return std::nullopt;
    auto host = check_host_name(name, true);
    if (host.problem.empty()) return "DNS:" + host.ascii;
    throw certificate_error(certificate_errc::invalid_alt_name,
                            "The common name " + in_quotes(name) + " " + host.problem + ".");
}

std::string alt_name_identity(const std::string& ascii_prefixed)
{
    const auto colon = ascii_prefixed.find(':');
    const std::string prefix = ascii_prefixed.substr(0, colon + 1);
    const std::string value = ascii_prefixed.substr(colon + 1);
    if (prefix == "DNS:") return prefix + lower(value);
    if (prefix == "email:") {
        const auto at = value.rfind('@');
        return prefix + value.substr(0, at + 1) + lower(value.substr(at + 1));
    }
    if (prefix == "IP:") {
        unsigned char address[16]{};
        const int family = value.find(':') != std::string::npos ? shell::AF_INET6 : shell::AF_INET;
        if (shell::inet_pton(family, value.c_str(), address) == 1)
            return prefix + std::string(reinterpret_cast<const char*>(address), family == shell::AF_INET ? 4 : 16);
    }
    return ascii_prefixed;
}

}  // namespace Zintrel

#include "certificates/SubjectNames.h"

#include "certificates/CertificateError.h"
#include "certificates/SslHandles.h"
#include "platform/shell/net.h"

#include <idn2.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

namespace Zintrel {

namespace {

constexpr std::string_view white_space = " \t\n\r\v\f";

void add_entry(X509_NAME* name, const char* field, std::string_view value)
{
    // A length of -1 would make the library read up to a terminator the view does not have.
    if (value.size() > static_cast<std::size_t>(INT_MAX)) throw_ssl_error(ERR_LIB_X509, ERR_R_PASSED_INVALID_ARGUMENT);
    ssl_check(X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                         reinterpret_cast<const unsigned char*>(value.data()),
                                         static_cast<int>(value.size()), -1, 0));
}

bool is_address(int family, const std::string& token)
{
    unsigned char address[16];
    return shell::inet_pton(family, token.c_str(), address) == 1;
}

bool is_ascii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// What an IA5String may carry in a name: printable ASCII, no blank or control character.
bool is_printable_ascii(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7f; });
}

bool is_host_label(std::string_view label)
{
    return !label.empty() && label.size() <= 63 && std::all_of(label.begin(), label.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

// The A-label of one label, or empty when IDNA refuses it.
std::string a_label(std::string_view label)
{
    char* converted = nullptr;
    // Non-transitional processing maps case and width first, as browsers do.
    const std::string input(label);
    if (idn2_to_ascii_8z(input.c_str(), &converted, IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL) != IDN2_OK) return {};
    const std::unique_ptr<char, decltype(&idn2_free)> owned(converted, &idn2_free);
    return owned.get();
}

[[noreturn]] void refuse_alt_name(const std::string& token, std::string_view what)
{
    throw certificate_error(certificate_errc::invalid_alt_name,
                            "\u201C" + token + "\u201D in the alternative names is not " + std::string(what) + ".");
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

// The address with its host as A-labels and the rest percent-encoded; empty when it holds a blank
// or control character, or its host is no host name.
std::optional<std::string> ascii_uri(std::string_view uri)
{
    const std::size_t host_start = uri.find("://") + 3;
    const std::size_t authority_end = std::min(uri.find_first_of("/?#", host_start), uri.size());
    const std::string_view authority = uri.substr(host_start, authority_end - host_start);
    // A port follows the last colon, unless that colon is inside a bracketed IPv6 address.
    const std::size_t colon = authority.rfind(':');
    const std::size_t host_end = colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos
                                     ? colon
                                     : authority.size();
    std::string host(authority.substr(0, host_end));
    if (!is_ascii(host)) {
        auto converted = ascii_host_name(host);
        if (!converted) return std::nullopt;
        host = std::move(*converted);
    }
    std::string ascii = percent_encoded(uri.substr(0, host_start)) + host +
                        percent_encoded(uri.substr(host_start + host_end));
    if (!is_printable_ascii(ascii)) return std::nullopt;
    return ascii;
}

}  // namespace

std::optional<std::string> ascii_host_name(std::string_view host)
{
    std::string ascii;
    std::size_t start = 0;
    for (bool first = true;; first = false) {
        const std::size_t dot = host.find('.', start);
        const std::string_view label = host.substr(start, dot == std::string_view::npos ? dot : dot - start);
        std::string converted = is_ascii(label) ? std::string(label) : a_label(label);
        if (!(is_host_label(converted) || (first && converted == "*"))) return std::nullopt;
        if (!first) ascii += '.';
        ascii += converted;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (ascii.size() > 253) return std::nullopt;
    return ascii;
}

std::string ascii_alt_name(const std::string& prefixed)
{
    const auto colon = prefixed.find(':');
    const std::string prefix = prefixed.substr(0, colon + 1);
    const std::string token = prefixed.substr(colon + 1);
    if (prefix == "DNS:") {
        if (auto host = ascii_host_name(token)) return prefix + *host;
        refuse_alt_name(token, "a valid host name");
    }
    if (prefix == "email:") {
        const auto at = token.rfind('@');
        const std::string local = token.substr(0, at);
        const std::string_view domain = std::string_view(token).substr(at + 1);
        // An address literal ("[192.0.2.1]") is no host name but ASCII as it stands.
        if (is_printable_ascii(local) && domain.starts_with('[') && domain.ends_with(']') && is_printable_ascii(domain))
            return prefixed;
        if (is_printable_ascii(local))
            if (auto host = ascii_host_name(domain)) return prefix + local + "@" + *host;
        refuse_alt_name(token, "an email address a certificate can hold (ASCII before the @, a host name after it)");
    }
    if (prefix == "URI:") {
        if (auto uri = ascii_uri(token)) return prefix + *uri;
        refuse_alt_name(token, "an address (URI) a certificate can hold");
    }
    return prefixed;
}

X509_NAME* add_subject_entries(std::string_view common_name, std::string_view organization,
                               std::string_view organizational_unit, std::string_view location,
                               std::string_view state, std::string_view country_code, X509_NAME* name)
{
    add_entry(name, "CN", common_name);
    const std::pair<const char*, std::string_view> optional_entries[] = {
        {"O", organization}, {"OU", organizational_unit}, {"L", location}, {"ST", state}, {"C", country_code},
    };
    for (const auto& [field, value] : optional_entries)
        if (!value.empty()) add_entry(name, field, value);
    return name;
}

std::string prefixed_alt_name(std::string token)
{
    const char* prefix = "DNS:";
    if (is_address(shell::AF_INET, token) || is_address(shell::AF_INET6, token))
        prefix = "IP:";
    else if (token.find('@') != std::string::npos)
        prefix = "email:";
    else if (token.find("://") != std::string::npos)
        prefix = "URI:";
    return prefix + std::move(token);
}

generator<std::string> subject_alt_names(std::string_view alt_names)
{
    std::size_t start = alt_names.find_first_not_of(white_space);
    while (start != std::string_view::npos) {
        const std::size_t end = alt_names.find_first_of(white_space, start);
        co_yield prefixed_alt_name(std::string(alt_names.substr(start, end - start)));
        start = alt_names.find_first_not_of(white_space, end);
    }
}

}  // namespace Zintrel

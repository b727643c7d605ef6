#include "certificates/SubjectNames.h"

#include "certificates/AltNameValues.h"
#include "certificates/CertificateError.h"
#include "certificates/NameText.h"
#include "certificates/SslHandles.h"
#include "platform/shell/net.h"

#include <openssl/asn1err.h>

#include <climits>

namespace Zintrel {

namespace {

// The library's limits of the entry, for a message that says what it refused.
std::string field_refusal(const char* entry, const char* field, std::string_view value, int reason)
{
    const ASN1_STRING_TABLE* limits = ASN1_STRING_TABLE_get(OBJ_txt2nid(entry));
    const std::string the_field = std::string("The ") + field;
    if (reason == ASN1_R_ILLEGAL_CHARACTERS) {
        if (limits && (limits->mask & B_ASN1_UTF8STRING) == 0 && (limits->mask & B_ASN1_PRINTABLESTRING) != 0)
            return the_field + " may hold only the letters A to Z, digits, blanks and these marks: ' ( ) + , - . / : = ?";
        return the_field + " holds characters a certificate cannot carry there.";
    }
    const std::size_t count = character_count(value);
    if (count == 0) return the_field + " is empty.";
    const bool too_long = reason == ASN1_R_STRING_TOO_LONG;
    const long limit = !limits ? -1 : too_long ? limits->maxsize : limits->minsize;
    if (limit < 0) return the_field + (too_long ? " is too long." : " is too short.");
    const char* bound = limits->minsize == limits->maxsize ? "exactly " : too_long ? "at most " : "at least ";
    return the_field + " must be " + bound + std::to_string(limit) + " characters long; it has " +
           std::to_string(count) + ".";
}

void add_entry(X509_NAME* name, const char* entry, const char* field, std::string_view value)
{
    // A length of -1 would make the library read up to a terminator the view does not have.
    if (value.size() > static_cast<std::size_t>(INT_MAX)) throw_ssl_error(ERR_LIB_X509, ERR_R_PASSED_INVALID_ARGUMENT);
    if (X509_NAME_add_entry_by_txt(name, entry, MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(value.data()),
                                   static_cast<int>(value.size()), -1, 0) >= 1)
        return;
    const unsigned long error = ERR_peek_last_error();
    const int reason = ERR_GET_REASON(error);
    if (ERR_GET_LIB(error) == ERR_LIB_ASN1 &&
        (reason == ASN1_R_STRING_TOO_LONG || reason == ASN1_R_STRING_TOO_SHORT || reason == ASN1_R_ILLEGAL_CHARACTERS)) {
        ERR_clear_error();
        throw certificate_error(certificate_errc::invalid_subject_field, field_refusal(entry, field, value, reason));
    }
    throw_last_ssl_error();
}

bool is_address(int family, const std::string& token)
{
    unsigned char address[16];
    return shell::inet_pton(family, token.c_str(), address) == 1;
}

// The offset of the first character at or after start that is (or is not) blank; the size when none is.
std::size_t find_blank(std::string_view text, std::size_t start, bool blank)
{
    while (start < text.size()) {
        const auto [c, length] = first_code_point(text.substr(start));
        if (is_blank(c) == blank) return start;
        start += length;
    }
    return text.size();
}

}  // namespace

X509_NAME* add_subject_entries(const subject_fields& fields, X509_NAME* name)
{
    add_entry(name, "CN", "common name", fields.common_name);
    const struct {
        const char* entry;
        const char* field;
        std::string_view value;
    } optional_entries[] = {
        {"O", "organization", fields.organization}, {"OU", "organizational unit", fields.organizational_unit},
        {"L", "location", fields.location},         {"ST", "state", fields.state},
        {"C", "country code", fields.country_code},
    };
    for (const auto& [entry, field, value] : optional_entries)
        if (!value.empty()) add_entry(name, entry, field, value);
    return name;
}

std::string prefixed_alt_name(std::string token)
{
    const char* prefix = "DNS:";
    if (is_address(shell::AF_INET, token) || is_address(shell::AF_INET6, token))
        prefix = "IP:";
    else if (scheme_length(token) != 0)
        prefix = "URI:";
    else if (token.find('@') != std::string::npos)
        prefix = "email:";
    return prefix + std::move(token);
}

foundation::generator<std::string> subject_alt_names(std::string_view alt_names)
{
    std::size_t start = find_blank(alt_names, 0, false);
    while (start < alt_names.size()) {
        const std::size_t end = find_blank(alt_names, start, true);
        co_yield prefixed_alt_name(std::string(alt_names.substr(start, end - start)));
        start = find_blank(alt_names, end, false);
    }
}

}  // namespace Zintrel

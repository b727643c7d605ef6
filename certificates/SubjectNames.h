#pragma once
// The subject of a certificate or request and its alternative names, from the form's UTF-8 text.

#include "platform/foundation/generator.h"

#include <openssl/x509.h>

#include <string>
#include <string_view>

namespace Zintrel {

// The subject's fields and the alternative names as the form holds them, in UTF-8.
struct subject_fields {
    std::string common_name{};
    std::string organization{};
    std::string organizational_unit{};
    std::string location{};
    std::string state{};
    std::string country_code{};
    std::string alt_names{};
};

// Appends CN (always), then O, OU, L, ST and C where not empty, each as UTF-8 input in a set of
// its own, and returns name. An entry the library refuses for its length or its characters
// throws a certificate error code naming the field and its limit; any other refusal throws the
// library's error.
X509_NAME* add_subject_entries(const subject_fields& fields, X509_NAME* name);

// The token, unchanged, behind the first prefix that fits: "IP:" for an IPv4 or IPv6 address,
// "URI:" when it begins with a scheme, "email:" when it holds an at sign, otherwise "DNS:".
std::string prefixed_alt_name(std::string token);

// prefixed_alt_name of each run of non-blank characters of the text, in order, made one at a
// time as the consumer asks. The text must outlive the sequence.
foundation::generator<std::string> subject_alt_names(std::string_view alt_names);

}  // namespace Zintrel

#pragma once
// The subject of a certificate or request and its alternative names, from the form's UTF-8 text.

#include "certificates/Generator.h"

#include <openssl/x509.h>

#include <optional>
#include <string>
#include <string_view>

namespace Zintrel {

// Appends CN (always, also when empty), then O, OU, L, ST and C where not empty, each as
// UTF-8 input in a set of its own, and returns name. The library's checks are the only ones:
// an entry it refuses throws its error.
X509_NAME* add_subject_entries(std::string_view common_name, std::string_view organization,
                               std::string_view organizational_unit, std::string_view location,
                               std::string_view state, std::string_view country_code, X509_NAME* name);

// The token, unchanged, behind the first prefix that fits: "IP:" for an IPv4 or IPv6 address,
// "email:" when it holds an at sign, "URI:" when it holds "://", otherwise "DNS:".
std::string prefixed_alt_name(std::string token);

// prefixed_alt_name of each run of non-blank characters of the text, in order, made one at a
// time as the consumer asks. The text must outlive the sequence.
generator<std::string> subject_alt_names(std::string_view alt_names);

// The host name as a certificate holds it (ASCII): each internationalised label as its IDNA
// A-label ("xn--..."), ASCII labels as typed. Empty when the result is no host name: labels of
// letters, digits, hyphens and underscores, none empty or longer than 63, the first may be "*".
std::optional<std::string> ascii_host_name(std::string_view host);

// A prefixed alternative name with its value as the ASCII the library writes for it: a DNS name
// and the domain of an email address through ascii_host_name; a URI's host the same way, with the
// other non-ASCII characters percent-encoded; an IP address as typed. Any other value throws a
// certificate error code naming the token.
std::string ascii_alt_name(const std::string& prefixed);

}  // namespace Zintrel

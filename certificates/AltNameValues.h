#pragma once
// Alternative names as a certificate holds them: ASCII, with hosts that are host names and
// addresses that are addresses. What cannot be written so is refused, naming the token, rather
// than written as a name that means something else.

#include <optional>
#include <string>
#include <string_view>

namespace Zintrel {

// A host name as a certificate holds it, or why it is none.
struct host_name_check {
    std::string ascii;    // each internationalised label as its IDNA A-label, ASCII labels as typed
    std::string problem;  // empty for a host name, else "is not …", to follow the name in a sentence
};

// Labels of letters, digits, hyphens and underscores, none empty, longer than 63 or beginning
// or ending with a hyphen, an "xn--" label only when it is a valid A-label, and a last label
// that is not all digits (what looks like an IPv4 address and is none). With wildcard_allowed
// the first label may be "*" in front of at least two more.
host_name_check check_host_name(std::string_view host, bool wildcard_allowed);

// The length of the scheme that begins the token (letters, digits, "+", "-", "." after a first
// letter, then ":"), or 0 when it has none.
std::size_t scheme_length(std::string_view token) noexcept;

// A prefixed alternative name with its value as the ASCII the library writes for it: a DNS name
// and the domain of an email address through check_host_name, the part before the address's one
// @ as an unquoted dot-atom of RFC 5321; a URI checked against RFC 3986,
// with its host as A-labels and the other non-ASCII characters percent-encoded; an IP address as
// typed. Any other value throws a certificate error code naming the token.
std::string ascii_alt_name(const std::string& prefixed);

// The name that the common name adds to the alternative names: an IP address as one, a host
// name as a DNS name, nothing for a common name that is no host (blanks or other characters that
// no host name has). A common name that looks like a host and is none is refused, named.
std::optional<std::string> common_name_alt_name(std::string_view common_name);

// Two names with the same identity are the same name: DNS names and mail domains compare
// without case, IP addresses by their bytes.
std::string alt_name_identity(const std::string& ascii_prefixed);

}  // namespace Zintrel

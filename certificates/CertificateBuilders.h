#pragma once
// A new key with a self-signed X.509 certificate, or with a PKCS#10 certificate signing request.
//
// Purpose 1 (digital signing) gives keyUsage digitalSignature; 2 and 3 give extendedKeyUsage
// clientAuth and serverAuth; any other value none. Except for purpose 1 the common name is also
// the first alternative name (an IP address or a DNS name), before those of alt_names; a name
// that comes twice is written once.
//
// Blanks around a field are not part of it. Alternative names go in as the ASCII a certificate
// holds them in (AltNameValues.h): a common name that is no host is left out of them, one that
// looks like a host and is none fails the build, as does an alternative name that cannot be
// written. A field holding a control character (NUL, tab, escape, a bidirectional override ...)
// fails it too, and so does a subject entry the library refuses for its length or characters:
// each refusal names the field or the name.
//
// Every library failure throws its vh::ssl_error_category code, every other refusal a
// certificate error code (CertificateError.h); whatever was made so far is freed, key included.
// Each call uses only its own objects, so several may run at once.

#include "certificates/KeyTypes.h"
#include "certificates/SubjectNames.h"

#include <cstdint>
#include <ctime>
#include <utility>

namespace Zintrel {

struct certificate_params {
    std::int32_t purpose = 0;
    key_spec key{};
    std::int32_t valid_days = 1;
    subject_fields subject{};
};

struct request_params {
    std::int32_t purpose = 0;
    key_spec key{};
    subject_fields subject{};
};

// The most whole days of validity from the time now that end before the year 9999.
std::int32_t max_valid_days(std::time_t now);

// Throws what the builder would refuse in the fields, the names or the validity, without making
// a key: quick enough to ask before the output is chosen.
void check_params(const certificate_params& params);
void check_params(const request_params& params);

// Valid from now for valid_days whole days (at most max_valid_days), with a random positive serial number, signed with
// the key's default digest.
std::pair<evp_pkey_ptr, x509_ptr> make_self_signed_certificate(const certificate_params& params);

// The requested extensions are the alternative names and the usage of the purpose.
std::pair<evp_pkey_ptr, x509_req_ptr> make_certificate_request(const request_params& params);

}  // namespace Zintrel

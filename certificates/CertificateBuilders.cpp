#include "certificates/CertificateBuilders.h"

#include "certificates/CertificateError.h"
#include "certificates/SubjectNames.h"

#include <openssl/asn1.h>

#include <algorithm>
#include <ctime>
#include <string>

namespace Zintrel {

namespace {

template <class Params>
void refuse_nul_characters(const Params& params)
{
    const std::pair<const char*, std::string_view> fields[] = {
        {"common name", params.common_name}, {"organization", params.organization},
        {"organizational unit", params.organizational_unit}, {"location", params.location},
        {"state", params.state}, {"country code", params.country_code}, {"alternative names", params.alt_names},
    };
    for (const auto& [field, value] : fields)
        if (value.find('\0') != std::string_view::npos)
            throw certificate_error(certificate_errc::nul_character,
                                    std::string("The ") + field + " holds a NUL character, which a certificate cannot carry.");
}

template <class Params>
void add_subject(const Params& params, X509_NAME* name)
{
    add_subject_entries(params.common_name, params.organization, params.organizational_unit, params.location,
                        params.state, params.country_code, name);
}

void add_alt_name(STACK_OF(CONF_VALUE) * values, const std::string& prefixed)
{
    // Handed over name by name rather than as one comma-separated text, so that a comma inside
    // a name (legal in a URI) cannot split it.
    const auto colon = prefixed.find(':');
    const std::string type = prefixed.substr(0, colon);
    const std::string value = prefixed.substr(colon + 1);
    ssl_check(X509V3_add_value(type.c_str(), value.c_str(), &values));
}

// One subjectAltName extension with every name, or null when there is none.
x509_extension_ptr make_alt_name_extension(std::int32_t purpose, std::string_view common_name,
                                           std::string_view alt_names)
{
    conf_values_ptr values{ssl_check(sk_CONF_VALUE_new_null())};
    if (purpose != 1)
        if (const auto host = ascii_host_name(common_name)) add_alt_name(values.get(), "DNS:" + *host);
    for (const std::string& name : subject_alt_names(alt_names)) add_alt_name(values.get(), ascii_alt_name(name));
    if (sk_CONF_VALUE_num(values.get()) == 0) return nullptr;

    const general_names_ptr names{
        ssl_check(v2i_GENERAL_NAMES(X509V3_EXT_get_nid(NID_subject_alt_name), nullptr, values.get()))};
    return x509_extension_ptr{ssl_check(X509V3_EXT_i2d(NID_subject_alt_name, 0, names.get()))};
}

// The usage extension of the purpose, or null for a purpose without one.
x509_extension_ptr make_usage_extension(std::int32_t purpose, X509V3_CTX* context)
{
    switch (purpose) {
    case 1: return x509_extension_ptr{ssl_check(X509V3_EXT_conf_nid(nullptr, context, NID_key_usage, "digitalSignature"))};
    case 2: return x509_extension_ptr{ssl_check(X509V3_EXT_conf_nid(nullptr, context, NID_ext_key_usage, "clientAuth"))};
    case 3: return x509_extension_ptr{ssl_check(X509V3_EXT_conf_nid(nullptr, context, NID_ext_key_usage, "serverAuth"))};
    default: return nullptr;
    }
}

// Issuer and serial number must name a certificate uniquely: browsers refuse a second
// certificate with the same pair, which every certificate for the same host would otherwise be.
void set_random_serial(X509* certificate)
{
    const bignum_ptr serial{ssl_check(BN_new())};
    // 159 bits keep the number positive within 20 octets; odd, so it is never zero.
    ssl_check(BN_rand(serial.get(), 159, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ODD));
    ssl_check(BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)));
}

void refuse_long_validity(std::int32_t valid_days, std::time_t now)
{
    if (valid_days > max_valid_days(now))
        throw certificate_error(certificate_errc::validity_too_long,
                                "A certificate can be valid for at most " + std::to_string(max_valid_days(now)) +
                                    " days from now, until the end of the year 9998.");
}

void set_validity(X509* certificate, std::int32_t valid_days)
{
    // One reading of the clock, so the end lies exactly valid_days days after the start.
    std::time_t now = std::time(nullptr);
    refuse_long_validity(valid_days, now);
    ssl_check(X509_time_adj_ex(X509_getm_notBefore(certificate), 0, 0, &now));
    ssl_check(X509_time_adj_ex(X509_getm_notAfter(certificate), valid_days, 0, &now));
}

}  // namespace

std::int32_t max_valid_days(std::time_t now)
{
    constexpr std::int64_t year_9999 = 253370764800;  // 9999-01-01T00:00:00Z
    const std::int64_t days = (year_9999 - 1 - std::int64_t{now}) / 86400;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(days, 0, INT32_MAX));
}

std::pair<evp_pkey_ptr, x509_ptr> make_self_signed_certificate(const certificate_params& params)
{
    // What the form cannot give is refused before the key, which may take seconds, is made.
    refuse_nul_characters(params);
    refuse_long_validity(params.valid_days, std::time(nullptr));
    x509_extension_ptr alt_names = make_alt_name_extension(params.purpose, params.common_name, params.alt_names);

    evp_pkey_ptr key = generate_key(params.key);
    x509_ptr certificate{ssl_check(X509_new())};
    X509* x = certificate.get();

    // Extensions need version 3; the library leaves a new certificate at version 1.
    ssl_check(X509_set_version(x, X509_VERSION_3));
    set_random_serial(x);
    set_validity(x, params.valid_days);
    X509_NAME* subject = X509_get_subject_name(x);
    add_subject(params, subject);
    ssl_check(X509_set_issuer_name(x, subject));
    ssl_check(X509_set_pubkey(x, key.get()));

    X509V3_CTX context{};
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, x, x, nullptr, nullptr, 0);

    const x509_extension_ptr extensions[] = {
        std::move(alt_names),
        make_usage_extension(params.purpose, &context),
        x509_extension_ptr{ssl_check(X509V3_EXT_conf_nid(nullptr, &context, NID_subject_key_identifier, "hash"))},
    };
    for (const auto& extension : extensions)
        if (extension) ssl_check(X509_add_ext(x, extension.get(), -1));

    ssl_check(X509_sign(x, key.get(), nullptr));
    return {std::move(key), std::move(certificate)};
}

std::pair<evp_pkey_ptr, x509_req_ptr> make_certificate_request(const request_params& params)
{
    refuse_nul_characters(params);
    x509_extension_ptr alt_names = make_alt_name_extension(params.purpose, params.common_name, params.alt_names);

    evp_pkey_ptr key = generate_key(params.key);
    x509_req_ptr request{ssl_check(X509_REQ_new())};
    X509_REQ* req = request.get();

    add_subject(params, X509_REQ_get_subject_name(req));
    {
        const extension_list_ptr list{ssl_check(sk_X509_EXTENSION_new_null())};
        x509_extension_ptr extensions[] = {
            std::move(alt_names),
            make_usage_extension(params.purpose, nullptr),
        };
        for (auto& extension : extensions) {
            if (!extension) continue;
            ssl_check(sk_X509_EXTENSION_push(list.get(), extension.get()));
            extension.release();  // the list owns it now
        }
        ssl_check(X509_REQ_add_extensions(req, list.get()));
    }
    ssl_check(X509_REQ_set_pubkey(req, key.get()));
    ssl_check(X509_REQ_sign(req, key.get(), nullptr));
    return {std::move(key), std::move(request)};
}

}  // namespace Zintrel

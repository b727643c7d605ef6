#include "certificates/CertificateBuilders.h"

#include "certificates/AltNameValues.h"
#include "certificates/CertificateError.h"
#include "certificates/NameText.h"
#include "certificates/SubjectNames.h"

#include <openssl/asn1.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <string>

namespace Zintrel {

namespace {

subject_fields without_surrounding_blanks(subject_fields fields)
{
    for (const auto field : {&subject_fields::common_name, &subject_fields::organization,
                             &subject_fields::organizational_unit, &subject_fields::location, &subject_fields::state,
                             &subject_fields::country_code})
        fields.*field = without_blanks(fields.*field);
    return fields;
}

// Characters that would reach a reader of the certificate as something else than text: the
// subject would keep them, and tools print them to terminals as they stand.
void refuse_control_characters(const subject_fields& subject)
{
    const struct {
        const char* field;
        std::string_view value;
        bool separated_by_blanks;  // tabs and line breaks separate the names
    } fields[] = {
        {"common name", subject.common_name, false}, {"organization", subject.organization, false},
        {"organizational unit", subject.organizational_unit, false}, {"location", subject.location, false},
        {"state", subject.state, false}, {"country code", subject.country_code, false},
        {"alternative names", subject.alt_names, true},
    };
    for (const auto& [field, value, names] : fields) {
        const auto control = first_control_character(value, names);
        if (!control) continue;
        const std::string the_field = std::string("The ") + field + (names ? " hold " : " holds ");
        if (*control == 0)
            throw certificate_error(certificate_errc::nul_character,
                                    the_field + "a NUL character, which a certificate cannot carry.");
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*control));
        throw certificate_error(certificate_errc::control_character,
                                the_field + "the control character " + code + ", which a certificate cannot carry.");
    }
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
    std::set<std::string> identities;
    const auto add_once = [&](const std::string& name) {
        if (identities.insert(alt_name_identity(name)).second) add_alt_name(values.get(), name);
    };
    if (purpose != 1)
        if (const auto name = common_name_alt_name(common_name)) add_once(*name);
    for (const std::string& name : subject_alt_names(alt_names)) add_once(ascii_alt_name(name));
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

// The subject and the alternative names, made before the key so that what the form cannot give
// is refused before the key, which may take seconds, is made.
struct prepared_names {
    x509_name_ptr subject;
    x509_extension_ptr alt_names;
};

prepared_names prepare_names(std::int32_t purpose, const subject_fields& form)
{
    // Blanks around a field are not part of it.
    const subject_fields fields = without_surrounding_blanks(form);
    refuse_control_characters(fields);
    x509_name_ptr subject{ssl_check(X509_NAME_new())};
    add_subject_entries(fields, subject.get());
    return {std::move(subject), make_alt_name_extension(purpose, fields.common_name, fields.alt_names)};
}

}  // namespace

std::int32_t max_valid_days(std::time_t now)
{
    constexpr std::int64_t year_9999 = 253370764800;  // 9999-01-01T00:00:00Z
    const std::int64_t days = (year_9999 - 1 - std::int64_t{now}) / 86400;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(days, 0, INT32_MAX));
}

void check_params(const certificate_params& params)
{
    prepare_names(params.purpose, params.subject);
    refuse_long_validity(params.valid_days, std::time(nullptr));
}

void check_params(const request_params& params) { prepare_names(params.purpose, params.subject); }

std::pair<evp_pkey_ptr, x509_ptr> make_self_signed_certificate(const certificate_params& params)
{
    prepared_names names = prepare_names(params.purpose, params.subject);
    refuse_long_validity(params.valid_days, std::time(nullptr));

    evp_pkey_ptr key = generate_key(params.key);
    x509_ptr certificate{ssl_check(X509_new())};
    X509* x = certificate.get();

    // Extensions need version 3; the library leaves a new certificate at version 1.
    ssl_check(X509_set_version(x, X509_VERSION_3));
    set_random_serial(x);
    set_validity(x, params.valid_days);
    ssl_check(X509_set_subject_name(x, names.subject.get()));
    ssl_check(X509_set_issuer_name(x, names.subject.get()));
    ssl_check(X509_set_pubkey(x, key.get()));

    X509V3_CTX context{};
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, x, x, nullptr, nullptr, 0);

    const x509_extension_ptr extensions[] = {
        std::move(names.alt_names),
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
    prepared_names names = prepare_names(params.purpose, params.subject);

    evp_pkey_ptr key = generate_key(params.key);
    x509_req_ptr request{ssl_check(X509_REQ_new())};
    X509_REQ* req = request.get();

    ssl_check(X509_REQ_set_subject_name(req, names.subject.get()));
    {
        const extension_list_ptr list{ssl_check(sk_X509_EXTENSION_new_null())};
        x509_extension_ptr extensions[] = {
            std::move(names.alt_names),
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

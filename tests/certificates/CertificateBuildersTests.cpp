#include "certificates/CertificateBuilders.h"

#include "oracle.h"
#include "refusal.h"

#include <openssl/err.h>

#include <QDateTime>
#include <QString>

#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

using namespace Zintrel;
using test::accepted;
using test::indented_block;
using test::line_with;
using test::run_tool;

namespace {

// The parts of a certificate or request the tools report.
struct inspected {
    std::string openssl;   // openssl x509 -text / req -text
    std::string certtool;  // certtool -i / --crq-info
    std::string file;
};

std::string public_key(const std::string& option, const std::string& file)
{
    const auto output = accepted("certtool", {"--pubkey-info", option, file});
    return output.substr(output.find("-----BEGIN PUBLIC KEY-----"));
}

// GnuTLS refuses a certificate as its own signer when its key usage leaves out certificate
// signing (purpose 1); openssl checks the self-signature of every purpose.
enum class signer_check { both_tools, openssl_only };

inspected inspect(const test::scratch_folder& folder, const std::pair<evp_pkey_ptr, x509_ptr>& made,
                  signer_check check = signer_check::both_tools)
{
    const auto file = folder.write("c.crt", made.second.get());
    EXPECT_EQ(public_key("--load-certificate", file), public_key("--load-privkey", folder.write("c.key", made.first.get())))
        << "the certificate must carry the key's public half";
    accepted("openssl", {"verify", "-check_ss_sig", "-CAfile", file, file});
    if (check == signer_check::both_tools)
        accepted("certtool", {"--verify", "--load-ca-certificate", file, "--infile", file});
    return {accepted("openssl", {"x509", "-in", file, "-noout", "-text", "-nameopt", "utf8,sep_comma_plus"}),
            accepted("certtool", {"-i", "--infile", file}), file};
}

inspected inspect(const test::scratch_folder& folder, const std::pair<evp_pkey_ptr, x509_req_ptr>& made)
{
    const auto file = folder.write("r.csr", made.second.get());
    EXPECT_EQ(public_key("--load-request", file), public_key("--load-privkey", folder.write("r.key", made.first.get())));
    inspected result{accepted("openssl", {"req", "-in", file, "-noout", "-text", "-verify", "-nameopt",
                                                "utf8,sep_comma_plus"}),
                     accepted("certtool", {"--crq-info", "--infile", file}), file};
    EXPECT_NE(result.openssl.find("verify OK"), std::string::npos) << result.openssl;
    EXPECT_EQ(line_with(result.certtool, "Self signature:"), "Self signature: verified");
    return result;
}

// Extension names in order, as openssl prints them ("Subject Alternative Name", ...).
std::vector<std::string> extensions(const std::string& openssl_text)
{
    const std::string prefix = "X509v3 ";
    std::vector<std::string> names;
    std::istringstream lines(openssl_text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto start = line.find_first_not_of(' '), end = line.find_last_not_of(' ');
        if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0 || line[end] != ':') continue;
        auto name = line.substr(start + prefix.size(), end - start - prefix.size());
        if (name != "extensions") names.push_back(std::move(name));
    }
    return names;
}

certificate_params certificate(std::int32_t purpose, std::string_view common_name, std::string_view alt_names = {})
{
    return {.purpose = purpose, .key = rsa_bits{2048}, .valid_days = 365,
            .subject = {.common_name = std::string(common_name), .alt_names = std::string(alt_names)}};
}

request_params request(std::int32_t purpose, std::string_view common_name, std::string_view alt_names = {})
{
    return {.purpose = purpose, .key = rsa_bits{2048},
            .subject = {.common_name = std::string(common_name), .alt_names = std::string(alt_names)}};
}

std::int64_t seconds_since_epoch(const std::string& iso)
{
    // "2026-12-06 18:19:40Z"
    auto text = QString::fromStdString(iso).replace(' ', 'T');
    const auto time = QDateTime::fromString(text, Qt::ISODate);
    EXPECT_TRUE(time.isValid()) << iso;
    return time.toSecsSinceEpoch();
}

// Seconds from the start of validity to its end, as openssl reads them.
std::int64_t validity_seconds(const test::scratch_folder& folder, X509* made)
{
    const auto output = accepted(
        "openssl", {"x509", "-in", folder.write("v.crt", made), "-noout", "-dates", "-dateopt", "iso_8601"});
    const auto start = line_with(output, "notBefore="), end = line_with(output, "notAfter=");
    return seconds_since_epoch(end.substr(end.find('=') + 1)) - seconds_since_epoch(start.substr(start.find('=') + 1));
}

}  // namespace

TEST(SelfSignedCertificate, SubjectEntriesInOrderAsUtf8)
{
    const test::scratch_folder folder;
    auto params = certificate(1, "Z\xC3\xBCrich B\xC3\xBCro");
    params.subject.organization = "Org";
    params.subject.organizational_unit = "Unit";
    params.subject.location = "Loc";
    params.subject.state = "St";
    params.subject.country_code = "CH";
    const auto made = inspect(folder, make_self_signed_certificate(params), signer_check::openssl_only);

    EXPECT_EQ(line_with(made.openssl, "Subject:"), "Subject: CN=Z\xC3\xBCrich B\xC3\xBCro,O=Org,OU=Unit,L=Loc,ST=St,C=CH");
    EXPECT_EQ(line_with(made.openssl, "Issuer:"), "Issuer: CN=Z\xC3\xBCrich B\xC3\xBCro,O=Org,OU=Unit,L=Loc,ST=St,C=CH");
    const auto parsed = accepted("openssl", {"asn1parse", "-in", made.file});
    EXPECT_NE(line_with(parsed, ":Z\xC3\xBCrich B\xC3\xBCro").find("UTF8STRING"), std::string::npos)
        << "the common name must be stored as UTF-8:\n" << parsed;

    params.subject.organization = params.subject.organizational_unit = params.subject.state = {};
    const auto sparse = inspect(folder, make_self_signed_certificate(params), signer_check::openssl_only);
    EXPECT_EQ(line_with(sparse.openssl, "Subject:"), "Subject: CN=Z\xC3\xBCrich B\xC3\xBCro,L=Loc,C=CH")
        << "empty entries are left out";
}

TEST(SelfSignedCertificate, ExtensionsFollowThePurpose)
{
    const test::scratch_folder folder;

    const auto signing =
        inspect(folder, make_self_signed_certificate(certificate(1, "signer")), signer_check::openssl_only);
    EXPECT_EQ(extensions(signing.openssl), (std::vector<std::string>{"Key Usage", "Subject Key Identifier"}))
        << "purpose 1 adds no name of the common name";
    EXPECT_EQ(indented_block(signing.certtool, "Key Usage"), (std::vector<std::string>{"Digital signature."}));

    const auto none = inspect(folder, make_self_signed_certificate(
                                          certificate(0, "www.example.com", " 192.0.2.7\tadmin@example.com\r\n")));
    EXPECT_EQ(extensions(none.openssl), (std::vector<std::string>{"Subject Alternative Name", "Subject Key Identifier"}));
    EXPECT_EQ(indented_block(none.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"DNSname: www.example.com", "IPAddress: 192.0.2.7", "RFC822Name: admin@example.com"}));

    const auto client = inspect(folder, make_self_signed_certificate(
                                            certificate(2, "client.example", "https://example.com/a,b ::1")));
    EXPECT_EQ(extensions(client.openssl), (std::vector<std::string>{"Subject Alternative Name", "Extended Key Usage",
                                                                     "Subject Key Identifier"}));
    EXPECT_EQ(indented_block(client.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"DNSname: client.example", "URI: https://example.com/a,b", "IPAddress: ::1"}))
        << "a comma inside a name must not split it";
    EXPECT_EQ(indented_block(client.certtool, "Key Purpose"), (std::vector<std::string>{"TLS WWW Client."}));

    const auto server = inspect(folder, make_self_signed_certificate(certificate(3, "server.example")));
    EXPECT_EQ(indented_block(server.certtool, "Key Purpose"), (std::vector<std::string>{"TLS WWW Server."}));
}

TEST(SelfSignedCertificate, SerialNumbersAreRandomPositiveAndAtMostTwentyOctets)
{
    const test::scratch_folder folder;
    std::vector<std::string> serials;
    for (int i = 0; i < 2; ++i) {
        const auto made = inspect(folder, make_self_signed_certificate(certificate(3, "same.example")));
        // certtool prints the DER content octets, so a leading 00 would show a padded number.
        auto serial = line_with(made.certtool, "Serial Number (hex):");
        serial = serial.substr(serial.find(':') + 2);
        EXPECT_LE(serial.size(), 40u) << serial;
        EXPECT_LT(std::stoi(serial.substr(0, 2), nullptr, 16), 0x80) << "negative serial " << serial;
        EXPECT_NE(serial.find_first_not_of('0'), std::string::npos) << "zero serial";
        serials.push_back(serial);
    }
    EXPECT_NE(serials[0], serials[1]) << "two certificates for the same host share issuer and serial";
}

TEST(SelfSignedCertificate, ValidityLastsWholeDaysEndingBeforeYear9999)
{
    const auto year_9999 = QDateTime(QDate(9999, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    EXPECT_EQ(max_valid_days(year_9999 - 86400), 0) << "one day from then ends at the start of 9999";
    EXPECT_EQ(max_valid_days(year_9999 - 86401), 1);
    EXPECT_EQ(max_valid_days(year_9999 - 10 * 86400 - 1), 10);

    const test::scratch_folder folder;
    auto params = certificate(0, "days.example");
    params.valid_days = 1;
    EXPECT_EQ(validity_seconds(folder, make_self_signed_certificate(params).second.get()), 86400);

    params.valid_days = max_valid_days(std::time(nullptr));
    const auto longest = make_self_signed_certificate(params);
    EXPECT_EQ(validity_seconds(folder, longest.second.get()), std::int64_t{params.valid_days} * 86400);
    const auto dates = accepted("openssl", {"x509", "-in", folder.write("l.crt", longest.second.get()), "-noout",
                                                  "-enddate", "-dateopt", "iso_8601"});
    EXPECT_EQ(line_with(dates, "notAfter=").substr(9, 4), "9998") << dates;

    const auto limit = std::to_string(params.valid_days);
    for (const std::int32_t days : {params.valid_days + 1, INT_MAX}) {
        params.valid_days = days;
        test::expect_refusal([&] { make_self_signed_certificate(params); }, certificate_errc::validity_too_long, limit);
    }
}

TEST(SelfSignedCertificate, SubjectFieldsTheLibraryRefusesAreNamedWithTheirLimit)
{
    const std::string long_64(64, 'x'), long_128(128, 'x');
    const struct {
        std::string subject_fields::*field;
        std::string value;
        std::vector<std::string> said;  // field name and limit
    } cases[] = {
        {&subject_fields::common_name, long_64 + "x", {"common name", "at most 64", "has 65"}},
        {&subject_fields::common_name, std::string(64, 'x') + "\xC3\xBC", {"common name", "at most 64"}},
        {&subject_fields::organization, long_64 + "x", {"organization", "at most 64"}},
        {&subject_fields::organizational_unit, long_64 + "x", {"organizational unit", "at most 64"}},
        {&subject_fields::location, long_128 + "x", {"location", "at most 128"}},
        {&subject_fields::state, long_128 + "x", {"state", "at most 128"}},
        {&subject_fields::country_code, "DEU", {"country code", "exactly 2", "has 3"}},
        {&subject_fields::country_code, "D", {"country code", "exactly 2", "has 1"}},
        {&subject_fields::country_code, "\xC3\x96S", {"country code", "A to Z"}},
    };
    for (const auto& [field, value, said] : cases) {
        auto params = certificate(0, "limits.example");
        params.subject.*field = value;
        for (const auto& part : said) {
            test::expect_refusal([&] { check_params(params); }, certificate_errc::invalid_subject_field, part);
            test::expect_refusal([&] { make_self_signed_certificate(params); }, certificate_errc::invalid_subject_field, part);
        }
        EXPECT_EQ(ERR_peek_error(), 0u) << "a refusal explained leaves nothing in the library's queue";
    }
    // At the limits, counted in characters as the library counts them.
    const std::string longest_common_name = std::string(62, 'x') + " \xC3\xBC";
    auto params = certificate(0, longest_common_name);
    params.subject.organization = long_64;
    params.subject.location = params.subject.state = long_128;
    params.subject.country_code = "DE";
    try {
        check_params(params);
    } catch (const std::error_code& refused) {
        ADD_FAILURE() << "refused at the limits: " << refused.message();
    }
    auto request_params = request(0, "limits.example");
    request_params.subject.country_code = "DEU";
    test::expect_refusal([&] { make_certificate_request(request_params); }, certificate_errc::invalid_subject_field,
                         "country code");
}

// certtool decodes each A-label back and shows the host name it stands for in brackets.
TEST(SelfSignedCertificate, InternationalNamesGoInAsALabels)
{
    const test::scratch_folder folder;
    auto params = certificate(3, "Zürich Büro",
                              "bücher.example anna@Bücher.example *.bücher.example plain_host.example "
                              "ops@[192.0.2.1] https://bücher.example:8443/straße?q=ü#Ä");
    const auto made = inspect(folder, make_self_signed_certificate(params));
    EXPECT_EQ(made.certtool.find("illegal"), std::string::npos) << made.certtool;
    EXPECT_EQ(indented_block(made.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"DNSname: xn--bcher-kva.example (bücher.example)",
                                        "RFC822Name: anna@xn--bcher-kva.example (anna@bücher.example)",
                                        "DNSname: *.xn--bcher-kva.example (*.bücher.example)",
                                        "DNSname: plain_host.example", "RFC822Name: ops@[192.0.2.1]",
                                        "URI: https://xn--bcher-kva.example:8443/stra%C3%9Fe?q=%C3%BC#%C3%84"}))
        << "a common name that is no host name is left out of the alternative names";
    EXPECT_EQ(line_with(made.openssl, "Subject:"), "Subject: CN=Zürich Büro");

    const auto host = inspect(folder, make_certificate_request(request(0, "bücher.example")));
    EXPECT_EQ(host.certtool.find("illegal"), std::string::npos) << host.certtool;
    EXPECT_EQ(indented_block(host.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"DNSname: xn--bcher-kva.example (bücher.example)"}));
    EXPECT_EQ(line_with(host.openssl, "Subject:"), "Subject: CN=bücher.example");
}

TEST(SelfSignedCertificate, AddressesWithEveryMarkALocalPartMayHoldGoInWhole)
{
    const test::scratch_folder folder;
    const auto made = inspect(folder, make_self_signed_certificate(certificate(
                                          0, "mail.example", "o'brien+tag@example.com !#$%&'*+-/=?^_`{|}~@bücher.example")));
    EXPECT_EQ(made.certtool.find("illegal"), std::string::npos) << made.certtool;
    EXPECT_EQ(indented_block(made.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"DNSname: mail.example", "RFC822Name: o'brien+tag@example.com",
                                        "RFC822Name: !#$%&'*+-/=?^_`{|}~@xn--bcher-kva.example "
                                        "(!#$%&'*+-/=?^_`{|}~@bücher.example)"}));
    EXPECT_NE(made.openssl.find("email:o'brien+tag@example.com, email:!#$%&'*+-/=?^_`{|}~@xn--bcher-kva.example"),
              std::string::npos)
        << made.openssl;
}

TEST(SelfSignedCertificate, AltNamesACertificateCannotHoldFailNamingTheToken)
{
    for (const std::string token : {"bücher..example", "jürgen@example.com", "https://bücher.example/<",
                                    "https://bücher..example/", "bad!name.example", "-​.example"}) {
        const std::string alt_names = "fine.example " + token;
        const auto params = certificate(0, "ok.example", alt_names);
        test::expect_refusal([&] { make_self_signed_certificate(params); }, certificate_errc::invalid_alt_name,
                             token);
    }
}

TEST(SelfSignedCertificate, FieldsWithControlCharactersAreRefusedNamingTheField)
{
    using namespace std::string_view_literals;
    const std::pair<std::string subject_fields::*, const char*> fields[] = {
        {&subject_fields::common_name, "common name"}, {&subject_fields::organization, "organization"},
        {&subject_fields::organizational_unit, "organizational unit"}, {&subject_fields::location, "location"},
        {&subject_fields::state, "state"}, {&subject_fields::country_code, "country code"},
        {&subject_fields::alt_names, "alternative names"},
    };
    // NUL, ESC, BEL, DEL, NEL, right-to-left override, first strong isolate, right-to-left mark.
    const std::pair<std::string_view, certificate_errc> controls[] = {
        {"a\0b"sv, certificate_errc::nul_character},     {"a\x1b[2Jb", certificate_errc::control_character},
        {"a\x07", certificate_errc::control_character},   {"a\x7f", certificate_errc::control_character},
        {"a\xC2\x85", certificate_errc::control_character}, {"a\xE2\x80\xAE" "b", certificate_errc::control_character},
        {"\xE2\x81\xA8" "a", certificate_errc::control_character}, {"a\xE2\x80\x8F", certificate_errc::control_character},
    };
    for (const auto& [field, name] : fields) {
        for (const auto& [text, errc] : controls) {
            auto params = certificate(0, "control.example");
            params.subject.*field = text;
            test::expect_refusal([&] { check_params(params); }, errc, name);
        }
        // Inside a field a tab or a line break is no separator.
        if (field == &subject_fields::alt_names) continue;
        for (const std::string_view text : {"a\tb", "a\nb"}) {
            auto params = certificate(0, "control.example");
            params.subject.*field = text;
            test::expect_refusal([&] { make_self_signed_certificate(params); }, certificate_errc::control_character, name);
        }
    }
    auto params = request(1, "control.example");
    params.subject.alt_names = "a\0b"sv;
    test::expect_refusal([&] { make_certificate_request(params); }, certificate_errc::nul_character, "alternative names");
}

TEST(SelfSignedCertificate, BlanksAroundFieldsAreNotPartOfThem)
{
    const test::scratch_folder folder;
    auto params = certificate(3, " \twww.example.com\xC2\xA0 ", "\xE2\x80\xA8" "mail.example\r\n");
    params.subject.organization = "  Varnholt\xC2\xA0Labs ";
    params.subject.country_code = " AT\n";
    const auto made = inspect(folder, make_self_signed_certificate(params));
    EXPECT_EQ(line_with(made.openssl, "Subject:"), "Subject: CN=www.example.com,O=Varnholt\xC2\xA0Labs,C=AT");
    EXPECT_EQ(indented_block(made.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"DNSname: www.example.com", "DNSname: mail.example"}));

    test::expect_refusal([] { check_params(certificate(0, " \xE3\x80\x80 ")); }, certificate_errc::invalid_subject_field,
                         "common name is empty");
}

TEST(SelfSignedCertificate, NamesAreWrittenOnceAsTheyAreMeant)
{
    const test::scratch_folder folder;
    const auto address = inspect(folder, make_self_signed_certificate(certificate(
                                             3, "192.0.2.10", "192.0.2.10 host.example HOST.example 2001:db8::1 "
                                                              "2001:DB8:0::1 https://user@host.example/ "
                                                              "mailto:someone@example.org urn:isbn:0451450523")));
    EXPECT_EQ(indented_block(address.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"IPAddress: 192.0.2.10", "DNSname: host.example", "IPAddress: 2001:db8::1",
                                        "URI: https://user@host.example/", "URI: mailto:someone@example.org",
                                        "URI: urn:isbn:0451450523"}));

    const auto v6 = inspect(folder, make_certificate_request(request(2, "2001:db8::10", "www.example.com")));
    EXPECT_EQ(indented_block(v6.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"IPAddress: 2001:db8::10", "DNSname: www.example.com"}));

    const auto host = inspect(folder, make_certificate_request(request(0, "www.example.com", "www.example.com")));
    EXPECT_EQ(indented_block(host.certtool, "Subject Alternative Name"), (std::vector<std::string>{"DNSname: www.example.com"}));

    for (const char* fake : {"256.1.1.1", "192.168.1", "*.com"})
        test::expect_refusal([&] { make_certificate_request(request(3, fake)); }, certificate_errc::invalid_alt_name,
                             "common name \u201C" + std::string(fake));
}

TEST(CertificateRequest, RequestedExtensionsFollowThePurpose)
{
    const test::scratch_folder folder;

    const auto server = inspect(folder, make_certificate_request(request(3, "server.example", "192.0.2.7")));
    EXPECT_EQ(extensions(server.openssl), (std::vector<std::string>{"Subject Alternative Name", "Extended Key Usage"}))
        << "a request carries no subject key identifier";
    EXPECT_EQ(indented_block(server.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"DNSname: server.example", "IPAddress: 192.0.2.7"}));
    EXPECT_EQ(indented_block(server.certtool, "Key Purpose"), (std::vector<std::string>{"TLS WWW Server."}));
    EXPECT_EQ(line_with(server.openssl, "Subject:"), "Subject: CN=server.example");

    auto params = request(1, "signer", "signer@example.com");
    params.subject.country_code = "DE";
    const auto signing = inspect(folder, make_certificate_request(params));
    EXPECT_EQ(extensions(signing.openssl), (std::vector<std::string>{"Subject Alternative Name", "Key Usage"}));
    EXPECT_EQ(indented_block(signing.certtool, "Subject Alternative Name"),
              (std::vector<std::string>{"RFC822Name: signer@example.com"}));
    EXPECT_EQ(indented_block(signing.certtool, "Key Usage"), (std::vector<std::string>{"Digital signature."}));
    EXPECT_EQ(line_with(signing.openssl, "Subject:"), "Subject: CN=signer,C=DE");
}

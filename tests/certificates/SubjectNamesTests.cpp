#include "certificates/SubjectNames.h"

#include "certificates/AltNameValues.h"
#include "certificates/NameText.h"
#include "refusal.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Zintrel;

namespace {

std::vector<std::string> all_names(std::string_view text)
{
    std::vector<std::string> names;
    for (const std::string& name : subject_alt_names(text)) names.push_back(name);
    return names;
}

}  // namespace

TEST(PrefixedAltName, TheFirstPrefixThatFitsWins)
{
    const std::pair<const char*, const char*> cases[] = {
        {"192.0.2.7", "IP:192.0.2.7"},
        {"::1", "IP:::1"},
        {"2001:DB8::ff00:42:8329", "IP:2001:DB8::ff00:42:8329"},
        {"::ffff:192.0.2.7", "IP:::ffff:192.0.2.7"},
        {"admin@example.com", "email:admin@example.com"},
        {"https://example.com/a,b", "URI:https://example.com/a,b"},
        {"someone@example.org", "email:someone@example.org"},
        {"1st:x@example.org", "email:1st:x@example.org"},
        {"Host.Example.COM", "DNS:Host.Example.COM"},
        {"x", "DNS:x"},
        {"1.2.3", "DNS:1.2.3"},
        {"192.0.2.256", "DNS:192.0.2.256"},
        {"fe80::1%eth0", "URI:fe80::1%eth0"},
    };
    for (const auto& [token, expected] : cases) EXPECT_EQ(prefixed_alt_name(token), expected) << token;
}

TEST(SubjectAltNames, TokensAreTheRunsBetweenWhiteSpace)
{
    EXPECT_EQ(all_names("  one.example two@example.com\r\nhttps://three.example "),
              (std::vector<std::string>{"DNS:one.example", "email:two@example.com", "URI:https://three.example"}));
    EXPECT_EQ(all_names("a\tb\vc\fd\ne"),
              (std::vector<std::string>{"DNS:a", "DNS:b", "DNS:c", "DNS:d", "DNS:e"}));
    // Pasted text brings no-break, ideographic and zero-width no-break spaces and line separators.
    EXPECT_EQ(all_names("\xEF\xBB\xBF" "a\xC2\xA0" "b\xE3\x80\x80" "c\xE2\x80\xA8" "d\xC2\xA0"),
              (std::vector<std::string>{"DNS:a", "DNS:b", "DNS:c", "DNS:d"}));
    EXPECT_TRUE(all_names("").empty());
    EXPECT_TRUE(all_names(" \t\r\n\v\f ").empty());
}

TEST(SubjectAltNames, StoppingEarlyIsClean)
{
    std::string text = "first second third";
    auto names = subject_alt_names(text);
    auto it = names.begin();
    ASSERT_NE(it, names.end());
    EXPECT_EQ(*it, "DNS:first");
    // The sequence reads the text as it goes.
    text[6] = 'S';
    ++it;
    EXPECT_EQ(*it, "DNS:Second");
}

TEST(AltNameValues, TokensAreWrittenAsTheyAreMeant)
{
    const std::pair<const char*, const char*> cases[] = {
        {"https://user@host.example/", "URI:https://user@host.example/"},
        {"mailto:someone@example.org", "URI:mailto:someone@example.org"},
        {"urn:isbn:0451450523", "URI:urn:isbn:0451450523"},
        {"http://[2001:db8::1]:8080/a;b?c=/d#e", "URI:http://[2001:db8::1]:8080/a;b?c=/d#e"},
        {"http://192.0.2.1/", "URI:http://192.0.2.1/"},
        {"https://b\xC3\xBC" "cher.example/\xC3\xBC", "URI:https://xn--bcher-kva.example/%C3%BC"},
        {"*.example.com", "DNS:*.example.com"},
        {"XN--BCHER-KVA.example", "DNS:XN--BCHER-KVA.example"},
        {"a--b.example", "DNS:a--b.example"},
        {"host.example1", "DNS:host.example1"},
        {"someone@b\xC3\xBC" "cher.example", "email:someone@xn--bcher-kva.example"},
        {"2001:db8::10", "IP:2001:db8::10"},
    };
    for (const auto& [token, expected] : cases) {
        try {
            EXPECT_EQ(ascii_alt_name(prefixed_alt_name(token)), expected);
        } catch (const std::error_code& refused) {
            ADD_FAILURE() << token << " refused: " << refused.message();
        }
    }
}

TEST(AltNameValues, NamesThatMeanSomethingElseAreRefusedNamingTheTokenAndWhy)
{
    const std::pair<const char*, const char*> cases[] = {
        {"256.1.1.1", "not an IP address"},
        {"192.168.1", "not an IP address"},
        {"010.001.002.003", "not an IP address"},
        {"0xC0.0.2.1", "not an IP address"},
        {"host.123", "last label is all digits"},
        {"*", "wildcard"},
        {"*.com", "wildcard"},
        {"www.*.example.com", "wildcard"},
        {"-a.example", "hyphen"},
        {"a.b-.example", "hyphen"},
        {"xn--abc.example", "A-label"},
        {"xn--ls8h.example", "A-label"},
        {"a..example", "empty label"},
        {"someone@-x.example", "hyphen"},
        {"someone@*.example.com", "wildcard"},
        {"someone@10.0.0.1", "an IP address, not a host name"},
        {"https:///path-only", "no host"},
        {"file:///etc/passwd", "no host"},
        {"https:", "nothing after"},
        {"https://-x.example/", "hyphen"},
        {"https://256.1.1.1/", "not an IP address"},
        {"https://[::g]/", "IPv6"},
        {"https://host.example:80a/", "port"},
        {"https://host.example/<x>", "\u201C<\u201D"},
        {"https://host.example/%zz", "hexadecimal"},
        {"https://host.example/#a#b", "\u201C#\u201D"},
        {"https://a@b@host.example/", "\u201C@\u201D"},
        {"host.example:8443", "port"},
    };
    for (const auto& [token, why] : cases) {
        const auto write = [token = std::string(token)] { ascii_alt_name(prefixed_alt_name(token)); };
        test::expect_refusal(write, certificate_errc::invalid_alt_name, "\u201C" + std::string(token) + "\u201D");
        test::expect_refusal(write, certificate_errc::invalid_alt_name, why);
    }
}

TEST(AltNameValues, TheLocalPartOfAnAddressIsAnUnquotedDotAtom)
{
    for (const std::string address : {"a@example.com", "first.last@example.com", "o'brien+tag@example.com",
                                      "!#$%&'*+-/=?^_`{|}~@example.com", "a.b.c.1@example.com", "x@[192.0.2.1]"}) {
        try {
            EXPECT_EQ(ascii_alt_name(prefixed_alt_name(address)), "email:" + address);
        } catch (const std::error_code& refused) {
            ADD_FAILURE() << address << " refused: " << refused.message();
        }
    }
    const std::string before = "the part before the @ ";
    const std::pair<const char*, std::string> refused[] = {
        {"@", before + "is empty"},
        {"@b.com", before + "is empty"},
        {"a@@b.com", "it has more than one @"},
        {"a@b@c.com", "it has more than one @"},
        {"a,b@example.com", before + "holds \u201C,\u201D"},
        {"a\\@example.com", before + "holds \u201C\\\u201D"},
        {"a(b)@example.com", before + "holds \u201C(\u201D"},
        {"a;b@example.com", before + "holds \u201C;\u201D"},
        {"a<b>@example.com", before + "holds \u201C<\u201D"},
        {"a\x7f@example.com", before + "holds U+007F"},
        {"\"a\"@example.com", before + "is in quotes"},
        {"\"a@b\"@example.com", before + "is in quotes"},
        {".a@example.com", before + "begins with a dot"},
        {"a.@example.com", before + "ends with a dot"},
        {"a..b@example.com", before + "has two dots in a row"},
        {"j\xC3\xBCrgen@example.com", before + "must be ASCII"},
    };
    for (const auto& [token, why] : refused) {
        const auto write = [token = std::string(token)] { ascii_alt_name(prefixed_alt_name(token)); };
        test::expect_refusal(write, certificate_errc::invalid_alt_name,
                             "\u201C" + std::string(token) + "\u201D in the alternative names is not an email address "
                             "a certificate can hold: " + why);
    }
}

TEST(AltNameValues, TheCommonNameAddsAnAddressOrAHostOrNothing)
{
    EXPECT_EQ(common_name_alt_name("192.0.2.10"), "IP:192.0.2.10");
    EXPECT_EQ(common_name_alt_name("2001:db8::10"), "IP:2001:db8::10");
    EXPECT_EQ(common_name_alt_name("B\xC3\xBC" "cher.example"), "DNS:xn--bcher-kva.example");
    for (const char* person : {"Z\xC3\xBCrich B\xC3\xBCro", "O'Brien", "admin@example.com"})
        EXPECT_EQ(common_name_alt_name(person), std::nullopt) << person;
    for (const char* fake : {"256.1.1.1", "*.com", "-host.example"})
        test::expect_refusal([&] { common_name_alt_name(fake); }, certificate_errc::invalid_alt_name,
                             "common name \u201C" + std::string(fake));
}

TEST(NameText, BlanksAroundAreCutAndControlCharactersFound)
{
    EXPECT_EQ(without_blanks(" \t\xC2\xA0www.example.com\xE3\x80\x80\r\n"), "www.example.com");
    EXPECT_EQ(without_blanks("Z\xC3\xBCrich\xC2\xA0" "B\xC3\xBCro "), "Z\xC3\xBCrich\xC2\xA0" "B\xC3\xBCro");
    EXPECT_EQ(without_blanks(" \xE2\x80\xA8 "), "");
    // A trailing byte that begins no character is not a blank.
    EXPECT_EQ(without_blanks("a\xC2"), "a\xC2");
    const std::pair<const char*, char32_t> controls[] = {
        {"a\tb", U'\t'},       {"a\nb", U'\n'},       {"a\x1b[31m", 0x1B},      {"a\x07", 0x07},
        {"a\x7f", 0x7F},        {"a\xC2\x85", 0x85},   {"a\xE2\x80\xAE" "b", 0x202E},
        {"\xE2\x81\xA6" "a", 0x2066}, {"\xE2\x80\x8F", 0x200F}, {"\xD8\x9C", 0x061C}, {"a\xE2\x80\xA8" "b", 0x2028},
    };
    for (const auto& [text, control] : controls) EXPECT_EQ(first_control_character(text, false), control) << text;
    EXPECT_EQ(first_control_character("a\tb\nc\xE2\x80\xA8" "d", true), std::nullopt) << "blanks separate names";
    EXPECT_EQ(first_control_character("a\tb\x1b", true), U'\x1b');
    EXPECT_EQ(first_control_character("Z\xC3\xBCrich\xC2\xA0\xE2\x80\x8B" "B", false), std::nullopt);
}

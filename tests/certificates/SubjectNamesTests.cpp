#include "certificates/SubjectNames.h"

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
        {"mailto://admin@example.com", "email:mailto://admin@example.com"},
        {"Host.Example.COM", "DNS:Host.Example.COM"},
        {"x", "DNS:x"},
        {"1.2.3", "DNS:1.2.3"},
        {"192.0.2.256", "DNS:192.0.2.256"},
        {"fe80::1%eth0", "DNS:fe80::1%eth0"},
    };
    for (const auto& [token, expected] : cases) EXPECT_EQ(prefixed_alt_name(token), expected) << token;
}

TEST(SubjectAltNames, TokensAreTheRunsBetweenWhiteSpace)
{
    EXPECT_EQ(all_names("  one.example two@example.com\r\nhttps://three.example "),
              (std::vector<std::string>{"DNS:one.example", "email:two@example.com", "URI:https://three.example"}));
    EXPECT_EQ(all_names("a\tb\vc\fd\ne"),
              (std::vector<std::string>{"DNS:a", "DNS:b", "DNS:c", "DNS:d", "DNS:e"}));
    // A UTF-8 no-break space is not white space for the tokeniser.
    EXPECT_EQ(all_names("a\xC2\xA0" "b"), (std::vector<std::string>{"DNS:a\xC2\xA0" "b"}));
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

#include "platform/shell/locale.h"

#include "tests/support/environment.h"

#include <gtest/gtest.h>

#include <string>

using namespace shell;

namespace {

class LocaleEnvironment : public ::testing::Test {
protected:
    void set(const std::string& name, const char* value) { m_environment.set(name, value); }
    void only_lang(const char* value)
    {
        set("LC_ALL", nullptr);
        set("LC_CTYPE", nullptr);
        set("LANG", value);
    }

    static std::u16string query(LPCWSTR locale, LCTYPE type)
    {
        char16_t buffer[9] = {};
        const int n = GetLocaleInfoEx(locale, type, buffer, 9);
        return n == 0 ? u"<failed>" : std::u16string(buffer);
    }

    test::scoped_environment m_environment;
};

}  // namespace

TEST_F(LocaleEnvironment, DefaultLocalesFollowTheEnvironmentInTheCLibrarysOrder)
{
    only_lang("de_DE.UTF-8");
    EXPECT_EQ(query(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME), u"de");
    EXPECT_EQ(query(LOCALE_NAME_USER_DEFAULT, LOCALE_SISO3166CTRYNAME), u"DE");
    set("LC_CTYPE", "fr_CA.UTF-8");
    EXPECT_EQ(query(LOCALE_NAME_USER_DEFAULT, LOCALE_SISO3166CTRYNAME), u"CA");
    set("LC_ALL", "pt_BR@custom");
    EXPECT_EQ(query(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_SNAME), u"pt-BR");

    char ansi[9] = {};
    EXPECT_EQ(GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME, ansi, 9), 3);
    EXPECT_STREQ(ansi, "pt");
}

TEST_F(LocaleEnvironment, TheCLocaleNamesNoLanguage)
{
    only_lang("C");
    char16_t buffer[9] = {u'x'};
    EXPECT_EQ(GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME, buffer, 9), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_DATA);
    EXPECT_EQ(buffer[0], u'x') << "a failed query writes nothing";
    only_lang(nullptr);
    EXPECT_EQ(query(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME), u"<failed>");
    only_lang("de");
    EXPECT_EQ(query(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME), u"de");
    EXPECT_EQ(query(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_SISO3166CTRYNAME), u"<failed>");
}

TEST_F(LocaleEnvironment, SizesAndExplicitNames)
{
    EXPECT_EQ(GetLocaleInfoEx(u"en-US", LOCALE_SISO3166CTRYNAME, nullptr, 0), 3);
    char16_t small[2];
    EXPECT_EQ(GetLocaleInfoEx(u"en-US", LOCALE_SISO3166CTRYNAME, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(query(u"sv-SE", LOCALE_SISO639LANGNAME), u"sv");
    char ansi[9];
    EXPECT_EQ(GetLocaleInfoA(0x0409, LOCALE_SISO639LANGNAME, ansi, 9), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(StrStrIW, FindsCaseInsensitively)
{
    const char16_t* text = u"Non-Crypto Checksums";
    EXPECT_EQ(StrStrIW(text, u"SUM"), text + 16);
    EXPECT_EQ(StrStrIW(text, u"crypto"), text + 4);
    EXPECT_EQ(StrStrIW(text, u"certificate"), nullptr);
    const char16_t* accented = u"\u00C9CLAIR";
    EXPECT_EQ(StrStrIW(accented, u"\u00E9clair"), accented);
    EXPECT_EQ(StrStrIW(text, u""), nullptr) << "an empty search string finds nothing";
    EXPECT_EQ(StrStrIW(nullptr, u"a"), nullptr);
    EXPECT_EQ(StrStrIW(u"ab", u"abc"), nullptr);
}

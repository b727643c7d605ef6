#include "app/Helpers.h"

#include "platform/foundation/activation.h"
#include "platform/foundation/format.h"
#include "platform/foundation/utf.h"

#include "tests/app/test_locales.h"

#include <gtest/gtest.h>

using namespace Zintrel;
using foundation::box_value;
using xaml::Visibility;

TEST(Helpers, FormatStringAppliesTheFormatToTheOneValue)
{
    EXPECT_EQ(Helpers::FormatString(u"", u"unchanged", u"not a locale!"), u"unchanged")
        << "an empty format returns the value without looking at the locale";
    EXPECT_EQ(Helpers::FormatString(u"{0}:", u"Size (Bytes)", u""), u"Size (Bytes):");
    EXPECT_EQ(Helpers::FormatString(u"Copy {}", u"XXH64", u"C"), u"Copy XXH64");
    EXPECT_EQ(Helpers::FormatString(u"{0}:", u"", u""), u":");
    EXPECT_EQ(Helpers::FormatString(u"{{{0:>6}}}", u"ab", u""), u"{    ab}");
    EXPECT_EQ(Helpers::FormatString(u"Calculate {0} checksum", u"XXH3 64-bit \u00fcber", u""),
              u"Calculate XXH3 64-bit \u00fcber checksum");
    // Whatever the format, the text or the refusal is std::format's.
    for (const std::string format : {"{0}{0}", "}}{{0}}{{", "{}", "{} {}", "{0} {}", "{0}}", "{", "a}b", "{0:4}", "{:}"}) {
        const std::string value = "\xC3\xBC";
        std::string expected;
        try {
            expected = std::vformat(format, std::make_format_args(value));
        } catch (const std::format_error&) {
            EXPECT_THROW(Helpers::FormatString(foundation::utf::utf8_to_utf16(format), u"\u00fc", u""), std::format_error)
                << format;
            continue;
        }
        EXPECT_EQ(Helpers::FormatString(foundation::utf::utf8_to_utf16(format), u"\u00fc", u""),
                  foundation::hstring(foundation::utf::utf8_to_utf16(expected)))
            << format;
    }
}

TEST(Helpers, FormatStringFailures)
{
    EXPECT_THROW(Helpers::FormatString(u"{0", u"x", u""), std::format_error) << "an unmatched brace";
    EXPECT_THROW(Helpers::FormatString(u"{1}", u"x", u""), std::format_error) << "only argument 0 exists";
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            Helpers::FormatString(u"{0}:", u"x", u"not a locale!");
            ADD_FAILURE() << "a name that is no locale must be rejected, on every attempt";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "bad locale name");
        }
    }
    // A language-country name works whether or not this machine has that locale.
    EXPECT_EQ(Helpers::FormatString(u"{0}:", u"Size", u"zz-ZZ"), u"Size:");
}

TEST(Helpers, BooleanConvertersTreatNullAsTrue)
{
    EXPECT_EQ(Helpers::BooleanToVisibility(IInspectable{}), Visibility::Visible);
    EXPECT_EQ(Helpers::BooleanToVisibility(box_value(false)), Visibility::Collapsed);
    EXPECT_EQ(Helpers::InverseBooleanToVisibility(IInspectable{}), Visibility::Collapsed);
    EXPECT_EQ(Helpers::InverseBooleanToVisibility(box_value(false)), Visibility::Visible);
    EXPECT_THROW(Helpers::BooleanToVisibility(box_value(u"true")), foundation::hresult_error)
        << "a boxed value that is not a Boolean fails the read";
    EXPECT_EQ(Helpers::StringToVisibility(u""), Visibility::Collapsed);
    EXPECT_TRUE(Helpers::StringToEnabled(u"x"));
    EXPECT_FALSE(Helpers::StringToEnabled(u""));
}

TEST(Helpers, TriStateChoosesByTheReference)
{
    EXPECT_EQ(Helpers::TriStateText(nullptr, u"", u"Issuer", u"Common Name"), u"") << "null gives whenNull even when empty";
    EXPECT_EQ(Helpers::TriStateText(box_value(true), u"", u"Issuer", u"Common Name"), u"Issuer");
    EXPECT_EQ(Helpers::TriStateText(box_value(false), u"", u"Issuer", u"Common Name"), u"Common Name");
    const auto a = box_value(u"a");
    const auto b = box_value(u"b");
    EXPECT_EQ(Helpers::TriStateChoice(nullptr, nullptr, a, b), nullptr);
    EXPECT_EQ(Helpers::TriStateChoice(box_value(false), nullptr, a, b), b);
}

TEST(Helpers, IsAStaticClassWithoutInstances)
{
    EXPECT_THROW(foundation::activation::activate(u"Zintrel.Helpers"), foundation::hresult_not_implemented);
}

// The helpers read the locale once, before main: this runs in the process the next test starts
// under a German locale.
TEST(HelpersUnderALocale, NameTheCountryAndLocaleOfTheEnvironment)
{
    if (!std::getenv("ZINTREL_LOCALE_CHILD")) GTEST_SKIP() << "runs in the process HelpersFollowARealLocale starts";
    EXPECT_EQ(Helpers::SystemCountryCode(), u"DE");
    EXPECT_EQ(Helpers::SystemLocaleName(), u"de-DE");
    EXPECT_EQ(Helpers::UserLocaleName(), u"de-DE");
    EXPECT_EQ(Helpers::FormatString(u"{0} Bytes", u"42", Helpers::UserLocaleName()), u"42 Bytes");
}

TEST(Helpers, HelpersFollowARealLocale)
{
    const auto folder = compile_locales({"de-DE", "de_DE.UTF-8"});
    ASSERT_TRUE(folder) << "localedef (Debian package locales) is needed to build test locales";
    const std::string command = "env -u LC_ALL -u LC_CTYPE LANG=de_DE.UTF-8 LOCPATH='" + folder->string() +
                                "' ZINTREL_LOCALE_CHILD=1 '" + std::filesystem::read_symlink("/proc/self/exe").string() + "' --gtest_filter='HelpersUnderALocale.*' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "the helpers under de_DE.UTF-8; run that test alone to see why";
    std::filesystem::remove_all(*folder);
}

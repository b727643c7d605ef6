#include "app/TextHelpers.h"

#include "tests/app/test_locales.h"
#include "tests/support/environment.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

using namespace Zintrel;

namespace {

class named_category : public std::error_category {
public:
    explicit named_category(const char* name, std::string message = "reason") : m_name(name), m_message(std::move(message)) {}
    const char* name() const noexcept override { return m_name; }
    std::string message(int) const override { return m_message; }

private:
    const char* m_name;
    std::string m_message;
};

}  // namespace

TEST(ErrorText, ValuesInDecimalOrAsTheirBitPattern)
{
    const named_category ssl("ssl");
    EXPECT_EQ(error_code_text(std::error_code(0, ssl)), u"ssl:0");
    EXPECT_EQ(error_code_text(std::error_code(42, ssl)), u"ssl:42");
    EXPECT_EQ(error_code_text(std::error_code(-1, ssl)), u"ssl:0xffffffff");
    EXPECT_EQ(error_code_text(std::error_code(INT_MIN, ssl)), u"ssl:0x80000000");
    EXPECT_EQ(error_code_text(std::error_code(-0x2A, ssl)), u"ssl:0xffffffd6");
}

TEST(ErrorText, MessageTextKeepsTheBlankBeforeAnEmptyMessage)
{
    const named_category empty("ssl", "");
    EXPECT_EQ(error_message_text(std::error_code(7, empty)), u"[ssl:7] ");
    const named_category reason("ssl", "bad country code");
    EXPECT_EQ(error_message_text(std::error_code(-1, reason)), u"[ssl:0xffffffff] bad country code");
    EXPECT_EQ(error_message_text(std::error_code(ENOENT, std::generic_category())),
              u"[generic:2] No such file or directory");
}

namespace {

class SystemLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG", "LOCPATH"}) m_environment.set(name, nullptr);
    }
    test::scoped_environment m_environment;
};

}  // namespace

TEST_F(SystemLocale, FallsBackToTheClassicLocaleWithoutThrowing)
{
    m_environment.set("LANG", "C");
    EXPECT_EQ(make_system_locale(), std::locale::classic());
    m_environment.set("LANG", "xx_YY.UTF-8");
    EXPECT_EQ(make_system_locale(), std::locale::classic()) << "a locale the runtime does not know";
    m_environment.set("LANG", "!!garbage");
    EXPECT_EQ(make_system_locale(), std::locale::classic());
}

TEST_F(SystemLocale, KeepsTheLanguageCountryNameWhereTheRuntimeAcceptsIt)
{
    const auto folder = compile_locales({"de-DE", "de_DE.UTF-8"});
    ASSERT_TRUE(folder) << "localedef (Debian package locales) is needed to build test locales";
    m_environment.set("LOCPATH", folder->c_str());
    m_environment.set("LANG", "de_DE.UTF-8");
    EXPECT_EQ(make_system_locale().name(), "de-DE");

    std::filesystem::remove_all(*folder / "de-DE");
    EXPECT_EQ(make_system_locale().name(), "de_DE.UTF-8") << "then the POSIX spelling of the same locale";
    std::filesystem::remove_all(*folder);
}

TEST(SystemLocaleGlobal, IsBuiltBeforeMainFromTheEnvironment)
{
    // The environment of this process decided the global at start-up; building it again agrees.
    EXPECT_EQ(system_locale.name(), make_system_locale().name());
}

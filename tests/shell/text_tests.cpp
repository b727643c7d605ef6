#include "platform/shell/text.h"

#include <gtest/gtest.h>

#include <string>

using namespace shell;

TEST(MultiByteToWideChar, SizeQueryThenConversion)
{
    const std::string input = "a\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, euro sign, an emoji
    const int needed = MultiByteToWideChar(CP_UTF8, 0, input.data(), static_cast<int>(input.size()), nullptr, 0);
    ASSERT_EQ(needed, 4);
    std::u16string out(4, u'\0');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, input.data(), static_cast<int>(input.size()), out.data(), 4), 4);
    EXPECT_EQ(out, u"a\u20AC\U0001F600");
}

TEST(MultiByteToWideChar, TerminatedInputCountsItsTerminator)
{
    char16_t out[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, out, 8), 4);
    EXPECT_EQ(std::u16string(out), u"abc");
}

TEST(MultiByteToWideChar, FailuresSetTheLastError)
{
    char16_t out[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", 4, out, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, out, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 0, out, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0x1, "a", 1, out, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, out, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(MultiByteToWideChar, IllFormedInputIsReplacedPerMaximalSubpart)
{
    // A truncated three-byte sequence, a stray continuation byte, an overlong slash, a surrogate.
    const std::string input = "x\xE2\x82y\x80z\xC0\xAF\xED\xA0\x80";
    std::u16string out(32, u'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, input.data(), static_cast<int>(input.size()), out.data(), 32);
    out.resize(static_cast<std::size_t>(n));
    EXPECT_EQ(out, u"x\uFFFDy\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(WideCharToMultiByte, ConvertsAndReplacesLoneSurrogates)
{
    const std::u16string input = u"\u00E9\U0001F600";
    std::string out(16, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, input.data(), static_cast<int>(input.size()), out.data(), 16, nullptr,
                                      nullptr);
    out.resize(static_cast<std::size_t>(n));
    EXPECT_EQ(out, "\xC3\xA9\xF0\x9F\x98\x80");

    const char16_t lone[] = {u'a', 0xD800, u'b'};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, 3, nullptr, 0, nullptr, nullptr), 5);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 3, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    BOOL used = 0;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, 3, nullptr, 0, nullptr, &used), 0)
        << "UTF-8 has no default character";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

#include "platform/foundation/utf.h"

#include <gtest/gtest.h>

#include <string>

using namespace foundation::utf;

TEST(Utf, RoundTripsEveryPlaneAndTheWholeInputNULsIncluded)
{
    const std::string utf8 = std::string("a\0\xE2\x82\xAC\xF0\x9F\x98\x80", 9);  // a, NUL, euro sign, an emoji
    const std::u16string utf16(u"a\0\u20AC\U0001F600", 5);
    result_flags flags;
    EXPECT_EQ(utf8_to_utf16(utf8, &flags), utf16);
    EXPECT_EQ(utf16_to_utf8(utf16, &flags), utf8);
    EXPECT_FALSE(flags.replaced);
    EXPECT_EQ(utf8_to_utf16(""), u"");
    EXPECT_EQ(utf16_to_utf8(u""), "");
}

TEST(Utf, IllFormedInputIsReplacedPerMaximalSubpart)
{
    // A truncated three-byte sequence, a stray continuation byte, an overlong slash, a surrogate.
    result_flags flags;
    EXPECT_EQ(utf8_to_utf16("x\xE2\x82y\x80z\xC0\xAF\xED\xA0\x80", &flags), u"x\uFFFDy\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_TRUE(flags.replaced);

    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    result_flags wide;
    EXPECT_EQ(utf16_to_utf8(std::u16string_view(lone, 4), &wide), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_TRUE(wide.replaced);
}

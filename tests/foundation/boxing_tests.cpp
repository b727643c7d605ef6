#include "platform/foundation/boxing.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <limits>

using namespace foundation;

TEST(Boxing, RoundTripsEachKindOfValue)
{
    EXPECT_EQ(unbox_value<std::int32_t>(box_value(std::int32_t{-7})), -7);
    EXPECT_EQ(unbox_value<std::uint32_t>(PropertyValue::CreateUInt32(3)), 3u);
    EXPECT_TRUE(unbox_value<bool>(PropertyValue::CreateBoolean(true)));
    EXPECT_EQ(unbox_value<hstring>(box_value(u"text")), u"text");
    EXPECT_EQ(unbox_value<hstring>(box_value(hstring{})), u"") << "an empty string boxes to a value, not null";
    const Rect rect{100, 50, 800, 600};
    EXPECT_EQ(unbox_value<Rect>(PropertyValue::CreateRect(rect)), rect);
    EXPECT_EQ(unbox_value<Point>(PropertyValue::CreatePoint({1, 2})), (Point{1, 2}));
}

TEST(Boxing, WrongTypeOrNullRaisesNoInterface)
{
    EXPECT_THROW(unbox_value<std::int32_t>(box_value(u"12")), hresult_no_interface);
    EXPECT_THROW(unbox_value<hstring>(box_value(true)), hresult_no_interface);
    EXPECT_THROW(unbox_value<bool>(IInspectable{}), hresult_no_interface);
    EXPECT_EQ(unbox_value_or<hstring>(box_value(5), u"fallback"), u"fallback");
    EXPECT_EQ(unbox_value_or<hstring>(nullptr, u"fallback"), u"fallback");
}

TEST(Boxing, NullReferenceStaysNull)
{
    const IReference<bool> none;
    const IInspectable boxed = box_value(none);
    EXPECT_EQ(boxed, nullptr);
    EXPECT_EQ(unbox_value<IReference<bool>>(boxed), std::nullopt);
    EXPECT_EQ(unbox_value<IReference<bool>>(box_value(false)), IReference<bool>(false));
    EXPECT_THROW(unbox_value<IReference<bool>>(box_value(1)), hresult_no_interface);
}

TEST(Boxing, PropertyValueReportsTypeAndConvertsNumbersThatFit)
{
    const auto value = as<IPropertyValue>(PropertyValue::CreateUInt32(42));
    EXPECT_EQ(value->Type(), PropertyType::UInt32);
    EXPECT_EQ(value->GetInt32(), 42);
    EXPECT_DOUBLE_EQ(value->GetDouble(), 42.0);
    try {
        value->GetBoolean();
        FAIL() << "a number is not a Boolean";
    } catch (const hresult_error& e) {
        EXPECT_EQ(e.code(), TYPE_E_TYPEMISMATCH);
    }
    const auto big = as<IPropertyValue>(PropertyValue::CreateUInt32(0xFFFFFFFFu));
    EXPECT_THROW(big->GetInt32(), hresult_error) << "a value that does not fit is not truncated";
    EXPECT_EQ(as<IPropertyValue>(box_value(true))->GetBoolean(), true);
    EXPECT_EQ(box_value(true)->GetRuntimeClassName(), u"Windows.Foundation.IReference`1<Boolean>");
}

TEST(Boxing, NumbersReadAsTheirShortestDecimalText)
{
    EXPECT_EQ(to_hstring(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(to_hstring(std::numeric_limits<std::uint64_t>::max()), u"18446744073709551615");
    EXPECT_EQ(to_hstring(2025), u"2025");
    EXPECT_EQ(to_hstring(3.0), u"3") << "a whole number has no fraction";
    EXPECT_EQ(to_hstring(0.1), u"0.1") << "not 0.100000, not 0.1000000000000000055";
    EXPECT_EQ(to_hstring(-2.5e-7), u"-2.5e-07");
}

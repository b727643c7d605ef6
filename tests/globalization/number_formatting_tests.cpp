#include "platform/globalization/DecimalFormatter.h"
#include "platform/globalization/IncrementNumberRounder.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <random>

using namespace globalization;
using foundation::make;

namespace {

double rounded(double value, RoundingAlgorithm algorithm, double increment = 1.0)
{
    auto rounder = make<IncrementNumberRounder>();
    rounder->RoundingAlgorithm(algorithm);
    rounder->Increment(increment);
    return rounder->RoundDouble(value);
}

}  // namespace

TEST(IncrementNumberRounder, EachAlgorithmRoundsHalvesAndOtherFractionsItsOwnWay)
{
    using enum RoundingAlgorithm;
    struct row {
        RoundingAlgorithm algorithm;
        double below, above, negativeHalf, positiveHalf;  // results for -2.7, 2.2, -2.5, 2.5
    };
    const row rows[] = {
        {RoundDown, -3, 2, -3, 2},         {RoundUp, -2, 3, -2, 3},
        {RoundTowardsZero, -2, 2, -2, 2},  {RoundAwayFromZero, -3, 3, -3, 3},
        {RoundHalfDown, -3, 2, -3, 2},     {RoundHalfUp, -3, 2, -2, 3},
        {RoundHalfTowardsZero, -3, 2, -2, 2}, {RoundHalfAwayFromZero, -3, 2, -3, 3},
        {RoundHalfToEven, -3, 2, -2, 2},   {RoundHalfToOdd, -3, 2, -3, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.algorithm));
        EXPECT_EQ(rounded(-2.7, r.algorithm), r.below);
        EXPECT_EQ(rounded(2.2, r.algorithm), r.above);
        EXPECT_EQ(rounded(-2.5, r.algorithm), r.negativeHalf);
        EXPECT_EQ(rounded(2.5, r.algorithm), r.positiveHalf);
    }
    EXPECT_EQ(rounded(3.5, RoundHalfToEven), 4);
    EXPECT_EQ(rounded(3.5, RoundHalfToOdd), 3);
}

TEST(IncrementNumberRounder, ValuesOnAMultipleStayDespiteInexactIncrements)
{
    using enum RoundingAlgorithm;
    EXPECT_EQ(rounded(0.3, RoundDown, 0.1), 0.3) << "0.3 / 0.1 is not exactly 3 in binary";
    EXPECT_EQ(rounded(0.7, RoundUp, 0.1), 0.7);
    EXPECT_EQ(rounded(0.35, RoundHalfDown, 0.1), 0.3);
    EXPECT_EQ(rounded(1.26, RoundDown, 0.25), 1.25);
    EXPECT_EQ(rounded(1.25, RoundHalfToOdd, 0.5), 1.5);
    EXPECT_EQ(rounded(26, RoundHalfUp, 20), 20);
    EXPECT_EQ(rounded(1e308, RoundDown, 0.01), 1e308) << "no overflow to infinity";
    EXPECT_TRUE(std::signbit(rounded(-0.4, RoundTowardsZero)) == false) << "no negative zero";
}

TEST(IncrementNumberRounder, RejectsIncrementsAndAlgorithmsThatDoNotRound)
{
    auto rounder = make<IncrementNumberRounder>();
    EXPECT_EQ(rounder->RoundingAlgorithm(), RoundingAlgorithm::RoundHalfUp);
    EXPECT_EQ(rounder->Increment(), 1.0);
    EXPECT_THROW(rounder->Increment(0), foundation::hresult_invalid_argument);
    EXPECT_THROW(rounder->Increment(-1), foundation::hresult_invalid_argument);
    EXPECT_THROW(rounder->RoundingAlgorithm(RoundingAlgorithm::None), foundation::hresult_invalid_argument);
    EXPECT_THROW(rounder->RoundingAlgorithm(static_cast<RoundingAlgorithm>(11)), foundation::hresult_invalid_argument);
    EXPECT_EQ(rounder->Increment(), 1.0);
}

TEST(DecimalFormatter, WholeDaysShowWithoutFractionOrGrouping)
{
    auto rounder = make<IncrementNumberRounder>();
    rounder->RoundingAlgorithm(RoundingAlgorithm::RoundDown);
    auto formatter = make<DecimalFormatter>();
    formatter->FractionDigits(0);
    formatter->NumberRounder(rounder);
    EXPECT_EQ(formatter->FormatDouble(10.7), u"10");
    EXPECT_EQ(formatter->FormatDouble(365), u"365");
    EXPECT_EQ(formatter->FormatDouble(1234567.9), u"1234567");
    EXPECT_EQ(formatter->FormatDouble(-0.5), u"-1");
    EXPECT_EQ(formatter->FormatDouble(1e21), u"1000000000000000000000") << "never in exponent form";
}

TEST(DecimalFormatter, PadsDigitsGroupsOnRequestAndKeepsFurtherFractionDigits)
{
    auto formatter = make<DecimalFormatter>();
    EXPECT_EQ(formatter->FormatDouble(1.5), u"1.50") << "two fraction digits unless set";
    formatter->FractionDigits(1);
    EXPECT_EQ(formatter->FormatDouble(1.2345), u"1.2345") << "without a rounder further digits stay";
    formatter->IntegerDigits(3);
    EXPECT_EQ(formatter->FormatDouble(7), u"007.0");
    formatter->IntegerDigits(1);
    formatter->FractionDigits(0);
    formatter->IsGrouped(true);
    EXPECT_EQ(formatter->FormatDouble(-1234567), u"-1,234,567");
    EXPECT_EQ(formatter->FormatDouble(123), u"123");
    EXPECT_EQ(formatter->FormatDouble(-0.0), u"0");
    EXPECT_THROW(formatter->FractionDigits(-1), foundation::hresult_invalid_argument);
}

TEST(DecimalFormatter, ParsesPlainDecimalsAndRejectsEverythingElse)
{
    auto formatter = make<DecimalFormatter>();
    EXPECT_EQ(formatter->ParseDouble(u" 42 "), 42.0);
    EXPECT_EQ(formatter->ParseDouble(u"-3.5"), -3.5);
    EXPECT_EQ(formatter->ParseDouble(u"+7"), 7.0);
    EXPECT_EQ(formatter->ParseDouble(u".5"), 0.5);
    for (const char16_t* bad : {u"", u" ", u"abc", u"1.2.3", u"1e5", u"--1", u"+", u".", u"1,234", u"12a", u"\u0661"})
        EXPECT_EQ(formatter->ParseDouble(bad), std::nullopt) << foundation::to_narrow(bad);
    formatter->IsGrouped(true);
    EXPECT_EQ(formatter->ParseDouble(u"1,234"), 1234.0);
    EXPECT_EQ(formatter->ParseDouble(u",1"), std::nullopt);
}

TEST(DecimalFormatter, WhatItWritesReadsBackAsTheSameNumber)
{
    auto formatter = make<DecimalFormatter>();
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-12, 15);
    for (int i = 0; i < 500; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        const auto text = formatter->FormatDouble(value);
        EXPECT_EQ(formatter->ParseDouble(text), value) << foundation::to_narrow(text);
    }
}

#pragma once
// What number boxes ask of a formatter: turning numbers into text and back, and rounding.

#include "platform/foundation/boxing.h"

#include <string_view>

namespace globalization {

using foundation::hstring;

enum class RoundingAlgorithm {
    None = 0,
    RoundDown = 1,  // towards negative infinity
    RoundUp = 2,    // towards positive infinity
    RoundTowardsZero = 3,
    RoundAwayFromZero = 4,
    RoundHalfDown = 5,  // to the nearest; a half towards negative infinity
    RoundHalfUp = 6,
    RoundHalfTowardsZero = 7,
    RoundHalfAwayFromZero = 8,
    RoundHalfToEven = 9,
    RoundHalfToOdd = 10,
};

class INumberRounder {
public:
    virtual ~INumberRounder() = default;
    virtual double RoundDouble(double value) const = 0;
};

class INumberFormatter2 {
public:
    virtual ~INumberFormatter2() = default;
    virtual hstring FormatDouble(double value) const = 0;
};

class INumberParser {
public:
    virtual ~INumberParser() = default;
    // The number the text shows, or null when it shows none.
    virtual foundation::IReference<double> ParseDouble(std::u16string_view text) const = 0;
};

}  // namespace globalization

#include "platform/globalization/IncrementNumberRounder.h"

#include <cmath>
#include <limits>

namespace globalization {

namespace {

// Division by an increment leaves representation noise (0.3 / 0.1 is 2.9999999999999996), which
// must not push a value that sits on a multiple, or on a half, to the wrong side.
bool near(double a, double b, double scale)
{
    return std::abs(a - b) <= 8 * std::numeric_limits<double>::epsilon() * std::max(1.0, std::abs(scale));
}

double round_units(double units, globalization::RoundingAlgorithm algorithm)
{
    using enum globalization::RoundingAlgorithm;
    const double nearest = std::round(units);
    if (near(units, nearest, units)) return nearest;
    const double down = std::floor(units);
    const double up = std::ceil(units);
    const double towardZero = std::trunc(units);
    const double awayFromZero = units < 0 ? down : up;
    switch (algorithm) {
    case RoundDown: return down;
    case RoundUp: return up;
    case RoundTowardsZero: return towardZero;
    case RoundAwayFromZero: return awayFromZero;
    default: break;
    }
    const double fraction = units - down;
    if (!near(fraction, 0.5, units)) return fraction < 0.5 ? down : up;
    const bool downIsEven = std::fmod(down, 2.0) == 0.0;
    switch (algorithm) {
    case RoundHalfDown: return down;
    case RoundHalfTowardsZero: return towardZero;
    case RoundHalfAwayFromZero: return awayFromZero;
    case RoundHalfToEven: return downIsEven ? down : up;
    case RoundHalfToOdd: return downIsEven ? up : down;
    default: return up;
    }
}

}  // namespace

void IncrementNumberRounder::RoundingAlgorithm(globalization::RoundingAlgorithm value)
{
    const auto n = static_cast<int>(value);
    if (n < static_cast<int>(globalization::RoundingAlgorithm::RoundDown) ||
        n > static_cast<int>(globalization::RoundingAlgorithm::RoundHalfToOdd))
        throw foundation::hresult_invalid_argument(u"The rounding algorithm is not one that rounds");
    m_algorithm = value;
}

void IncrementNumberRounder::Increment(double value)
{
    if (!(value > 0) || !std::isfinite(value))
        throw foundation::hresult_invalid_argument(u"A rounding increment must be a positive number");
    m_increment = value;
}

double IncrementNumberRounder::RoundDouble(double value) const
{
    if (!std::isfinite(value)) return value;
    // Increments such as 0.1 are not exact; dividing by their inverse keeps the result exact.
    const double inverse = 1.0 / m_increment;
    const bool byInverse = inverse >= 1 && inverse == std::round(inverse);
    const double units = byInverse ? value * inverse : value / m_increment;
    if (!std::isfinite(units)) return value;  // too large to have a fraction at this increment
    const double rounded = round_units(units, m_algorithm);
    const double result = byInverse ? rounded / inverse : rounded * m_increment;
    return result == 0 ? 0.0 : result;  // no negative zero
}

}  // namespace globalization

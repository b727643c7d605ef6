#pragma once
// Rounds to a multiple of an increment (1 unless set) by one of the rounding algorithms.

#include "platform/globalization/number_formatting.h"

namespace globalization {

class IncrementNumberRounder final : public foundation::Object, public INumberRounder {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.Globalization.NumberFormatting.IncrementNumberRounder"; }

    globalization::RoundingAlgorithm RoundingAlgorithm() const noexcept { return m_algorithm; }
    // None and values outside the enumeration fail with invalid-argument.
    void RoundingAlgorithm(globalization::RoundingAlgorithm value);
    double Increment() const noexcept { return m_increment; }
    // Only a positive, finite increment makes sense; anything else fails with invalid-argument.
    void Increment(double value);

    double RoundDouble(double value) const override;

private:
    globalization::RoundingAlgorithm m_algorithm = globalization::RoundingAlgorithm::RoundHalfUp;
    double m_increment = 1.0;
};

}  // namespace globalization

#pragma once
// Decimal numbers as text: '.' as the decimal point, ',' between groups of three digits when
// grouping is asked for (it is not by default), an optional rounder applied before formatting.

#include "platform/globalization/number_formatting.h"

#include <cstdint>
#include <memory>

namespace globalization {

class DecimalFormatter final : public foundation::Object, public INumberFormatter2, public INumberParser {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.Globalization.NumberFormatting.DecimalFormatter"; }

    // Least number of digits before the point, padded with zeros.
    std::int32_t IntegerDigits() const noexcept { return m_integerDigits; }
    void IntegerDigits(std::int32_t value);
    // Least number of digits after the point (2 unless set); further digits of the value still
    // show unless a rounder removes them.
    std::int32_t FractionDigits() const noexcept { return m_fractionDigits; }
    void FractionDigits(std::int32_t value);
    bool IsGrouped() const noexcept { return m_grouped; }
    void IsGrouped(bool value) noexcept { m_grouped = value; }
    std::shared_ptr<INumberRounder> NumberRounder() const { return m_rounder; }
    void NumberRounder(std::shared_ptr<INumberRounder> value) { m_rounder = std::move(value); }

    hstring FormatDouble(double value) const override;
    // Accepts an optional sign, digits and an optional fraction, blanks around them, and group
    // separators between digits when grouping is on.
    foundation::IReference<double> ParseDouble(std::u16string_view text) const override;

private:
    std::int32_t m_integerDigits = 1;
    std::int32_t m_fractionDigits = 2;
    bool m_grouped = false;
    std::shared_ptr<INumberRounder> m_rounder;
};

}  // namespace globalization

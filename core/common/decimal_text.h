#pragma once
// Internal to the common helpers: a number as its decimal digits, for formats and
// conversions that must round on the decimal digits rather than on the binary value.
#include <cstdint>
#include <string>

namespace ecf::common::detail {

// value = (negative ? -1 : 1) * 0.d1d2d3... * 10^point, digits without leading or trailing
// zeros ("" for zero).
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.empty(); }
};

// The exact decimal expansion of a finite double (every double is a finite decimal).
DecimalDigits exactDigits(double value);
// The exact digits of a count of ten-thousandths.
DecimalDigits moneyDigits(std::int64_t tenThousandths);

// The digits of a whole number.
DecimalDigits integerDigits(std::int64_t value);

// Rounded half away from zero so that at most `keep` digits stay (keep may be <= 0).
void roundToDigits(DecimalDigits& d, int keep);
// Rounded half away from zero to `decimals` places after the decimal point.
void roundToDecimals(DecimalDigits& d, int decimals);

// Fixed-point text without sign: integer part (at least "0"), the separator and exactly
// `decimals` digits (no separator when decimals is 0); thousands groups when `thousands` is
// not '\0'.
std::string fixedText(const DecimalDigits& d, int decimals, char decimalSep, char thousands);

} // namespace ecf::common::detail

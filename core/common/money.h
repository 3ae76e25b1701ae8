#pragma once
// Money: a fixed-point amount with four decimals, held as a signed 64-bit count of
// ten-thousandths, so that sums of money fields are exact.
#include <cstdint>
#include <compare>
#include <string>

namespace ecf::common {

class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromTenThousandths(std::int64_t units) { return Money(units); }
    static constexpr Money fromWhole(std::int64_t whole) { return Money(whole * 10000); }
    // A floating value read as money rounds to the nearest ten-thousandth, as the host's
    // database engine does (1234567.89, stored just below it, reads 1234567.8900).
    // Throws ConversionError when the value does not fit.
    static Money fromDouble(double value);

    constexpr std::int64_t tenThousandths() const { return units_; }
    double toDouble() const { return static_cast<double>(units_) / 10000.0; }
    long double toLongDouble() const { return static_cast<long double>(units_) / 10000.0L; }

    // The amount in cents (value times 100) cut toward zero: 12.3456 gives 1234.
    constexpr std::int64_t centsTruncated() const { return units_ / 100; }
    // The amount in cents rounded to the nearest whole number, halves to the even
    // neighbour: 12.3456 gives 1235, 0.125 gives 12, 0.135 gives 14.
    std::int64_t centsRoundedEven() const;
    // Trunc(value * factor) computed exactly on the fixed-point value, e.g. factor 1000
    // for a quantity in thousandths.
    std::int64_t scaledTruncated(std::int64_t factor) const;

    constexpr bool isZero() const { return units_ == 0; }
    constexpr Money operator+(Money o) const { return Money(units_ + o.units_); }
    constexpr Money operator-(Money o) const { return Money(units_ - o.units_); }
    constexpr Money operator-() const { return Money(-units_); }
    Money& operator+=(Money o) { units_ += o.units_; return *this; }
    constexpr auto operator<=>(const Money&) const = default;

    // Plain decimal text with four decimals and a period ("12.3456"), for logs and tests.
    std::string toString() const;

private:
    constexpr explicit Money(std::int64_t units) : units_(units) {}
    std::int64_t units_ = 0;
};

} // namespace ecf::common

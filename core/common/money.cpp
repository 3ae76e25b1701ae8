#include "common/money.h"

#include "common/errors.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace ecf::common {

Money Money::fromDouble(double value)
{
    if (!std::isfinite(value))
        throw ConversionError("Invalid floating point value for a money amount");
    // Scale in extended precision and round to nearest; a double just below 1234567.89
    // becomes exactly 12345678900 ten-thousandths.
    const long double scaled = static_cast<long double>(value) * 10000.0L;
    if (scaled >= 9.2e18L || scaled <= -9.2e18L)
    {
        char shown[32];
        std::snprintf(shown, sizeof shown, "%g", value);
        throw ConversionError("Money amount out of range: " + std::string(shown));
    }
    return Money(static_cast<std::int64_t>(std::llroundl(scaled)));
}

std::int64_t Money::centsRoundedEven() const
{
    std::int64_t whole = units_ / 100;
    std::int64_t rest = units_ % 100; // same sign as units_
    if (rest > 50 || (rest == 50 && (whole % 2 != 0)))
        ++whole;
    else if (rest < -50 || (rest == -50 && (whole % 2 != 0)))
        --whole;
    return whole;
}

std::int64_t Money::scaledTruncated(std::int64_t factor) const
{
    // value * factor = units * factor / 10000, cut toward zero.
    const __int128 p = static_cast<__int128>(units_) * factor;
    return static_cast<std::int64_t>(p / 10000);
}

std::string Money::toString() const
{
    const std::int64_t a = units_ < 0 ? -units_ : units_;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s%lld.%04lld", units_ < 0 ? "-" : "", static_cast<long long>(a / 10000),
                  static_cast<long long>(a % 10000));
    return buf;
}

} // namespace ecf::common

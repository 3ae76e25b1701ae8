#include "common/rounding.h"

#include "common/errors.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace ecf::common {

namespace {

std::int64_t placesFactor(int places)
{
    static constexpr std::int64_t factors[] = {10, 100, 1000, 10000, 100000, 1000000};
    return (places >= 1 && places <= 6) ? factors[places - 1] : 1;
}

} // namespace

double decimalRound(int places, double value, std::string_view roundingMode)
{
    if (!std::isfinite(value))
        throw ConversionError("Invalid floating point value for decimal rounding");
    if (value < 0)
        return -decimalRound(places, -value, roundingMode);

    const std::int64_t factor = placesFactor(places);
    // The value scaled so that four more decimals than wanted stand before the point,
    // in extended precision, rounded to the nearest integer (ties to even).
    const long double scaled = static_cast<long double>(value) * static_cast<long double>(factor) * 10000.0L;
    // The bound leaves room for the carry of one more unit.
    if (scaled >= 9223372036854765807.0L)
        throw ConversionError("Value out of range for decimal rounding: " + std::to_string(value));
    std::int64_t a = static_cast<std::int64_t>(std::llrintl(scaled));

    // The four dropped digits. Their shortest decimal text "0,dddd" (without trailing zeros)
    // gives the first two of them as its third and fourth characters, which are the thousands
    // and hundreds digits of the remainder (a missing one counts as 0).
    const std::int64_t rest = a % 10000;
    int d1 = static_cast<int>(rest / 1000);
    const int d2 = static_cast<int>((rest / 100) % 10);
    const bool abnt = roundingMode == abnt5891;
    if (!abnt && d1 == 5)
        d1 = 6;
    if (d1 > 5)
        a += 10000;
    else if (d1 == 5 && d2 > 0)
        a += 10000;
    else if (d1 == 5 && d2 == 0 && ((a / 10000) % 2) != 0)
        a += 10000;

    const std::int64_t kept = a / 10000;
    if (kept == 0)
        return 0.0;
    return static_cast<double>(kept) / static_cast<double>(factor);
}

} // namespace ecf::common

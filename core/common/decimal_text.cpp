#include "common/decimal_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ecf::common::detail {

namespace {

void normalise(DecimalDigits& d)
{
    std::size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0')
        ++lead;
    if (lead > 0) {
        d.digits.erase(0, lead);
        d.point -= static_cast<int>(lead);
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) {
        d.point = 0;
        d.negative = false;
    }
}

} // namespace

namespace {

// The exact digits of |value| = m * 2^e by integer arithmetic, when m * 2^e fits the integer
// types: a whole number below 2^63, or a binary fraction of at most 120 places, whose decimal
// expansion has as many places. False leaves `d` untouched.
bool exactDigitsByIntegers(double magnitude, DecimalDigits& d)
{
    int exp2 = 0;
    const double mantissa = std::frexp(magnitude, &exp2); // magnitude = mantissa * 2^exp2
    const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    const int e = exp2 - 53;
    if (e >= 0) {
        if (e > 10)
            return false;
        d.digits = std::to_string(m << e);
        d.point = static_cast<int>(d.digits.size());
        return true;
    }
#if !defined(__SIZEOF_INT128__)
    return false; // 32-bit builds (the Windows stand-ins) take the general way below
#else
    const int places = -e;
    if (places > 120)
        return false;
    using u128 = unsigned __int128;
    const u128 mask = (u128{1} << places) - 1;
    const std::uint64_t whole = places >= 64 ? 0 : m >> places;
    u128 fraction = u128{m} & mask;
    if (whole != 0)
        d.digits = std::to_string(whole);
    d.point = static_cast<int>(d.digits.size());
    // Each step takes one decimal place; the fraction ends after `places` steps at most.
    while (fraction != 0) {
        fraction *= 10;
        d.digits.push_back(static_cast<char>('0' + static_cast<int>(fraction >> places)));
        fraction &= mask;
    }
    return true;
#endif
}

} // namespace

DecimalDigits exactDigits(double value)
{
    DecimalDigits d;
    if (value == 0)
        return d;
    if (std::isfinite(value) && exactDigitsByIntegers(std::fabs(value), d)) {
        d.negative = value < 0;
        normalise(d);
        return d;
    }
    // A double has at most 767 significant decimal digits; 780 after the point of the
    // exponent form holds every one of them, so the text is exact.
    char buf[800];
    std::snprintf(buf, sizeof buf, "%.780e", value);
    const char* p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    const int exp = (*p == 'e') ? std::atoi(p + 1) : 0;
    d.point = exp + 1;
    normalise(d);
    return d;
}

DecimalDigits moneyDigits(std::int64_t units)
{
    DecimalDigits d;
    d.negative = units < 0;
    // The magnitude as unsigned, so that the most negative count does not overflow.
    std::uint64_t mag = d.negative ? (0 - static_cast<std::uint64_t>(units)) : static_cast<std::uint64_t>(units);
    d.digits = std::to_string(mag);
    d.point = static_cast<int>(d.digits.size()) - 4;
    normalise(d);
    return d;
}

DecimalDigits integerDigits(std::int64_t value)
{
    DecimalDigits d;
    d.negative = value < 0;
    const std::uint64_t mag = d.negative ? (0 - static_cast<std::uint64_t>(value)) : static_cast<std::uint64_t>(value);
    d.digits = std::to_string(mag);
    d.point = static_cast<int>(d.digits.size());
    normalise(d);
    return d;
}

void roundToDigits(DecimalDigits& d, int keep)
{
    if (d.isZero() || keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d = DecimalDigits{};
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        }
    }
    normalise(d);
}

void roundToDecimals(DecimalDigits& d, int decimals)
{
    if (d.isZero())
        return;
    roundToDigits(d, d.point + decimals);
}

std::string fixedText(const DecimalDigits& d, int decimals, char decimalSep, char thousands)
{
    std::string intPart;
    if (d.point <= 0) {
        intPart = "0";
    } else {
        for (int i = 0; i < d.point; ++i)
            intPart.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0');
    }
    std::string out;
    if (thousands != '\0' && intPart.size() > 3) {
        for (std::size_t i = 0; i < intPart.size(); ++i) {
            if (i > 0 && (intPart.size() - i) % 3 == 0)
                out.push_back(thousands);
            out.push_back(intPart[i]);
        }
    } else {
        out = intPart;
    }
    if (decimals > 0) {
        out.push_back(decimalSep);
        for (int i = 0; i < decimals; ++i) {
            const int at = d.point + i; // index in digits of the i-th decimal
            out.push_back(at >= 0 && at < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(at)] : '0');
        }
    }
    return out;
}

} // namespace ecf::common::detail

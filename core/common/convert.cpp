#include "common/convert.h"

#include "common/clock.h"
#include "common/decimal_text.h"
#include "common/errors.h"
#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <system_error>

namespace ecf::common {

namespace {

// The text as given, readable in a message (bytes above 0x7F read as Latin-1).
std::string shown(std::string_view text)
{
    return latin1ToUtf8(text);
}

[[noreturn]] void notInteger(std::string_view text)
{
    throw ConversionError("'" + shown(text) + "' is not a valid integer value");
}

[[noreturn]] void notFloat(std::string_view text)
{
    throw ConversionError("'" + shown(text) + "' is not a valid floating point value");
}

[[noreturn]] void notDate(std::string_view text)
{
    throw ConversionError("'" + shown(text) + "' is not a valid date");
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Integer text: leading blanks, an optional sign, then decimal digits or "$"/"0x"/"x" and
// hex digits, and nothing after them. `maxMagnitude` bounds a decimal value; a hex value may
// use the full unsigned width of the type (it then wraps into the negative range).
bool parseInteger(std::string_view t, std::uint64_t maxPositive, std::uint64_t hexMax, std::int64_t& out)
{
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ')
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < t.size() && t[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        hex = true;
        i += 2;
    } else if (i < t.size() && (t[i] == 'x' || t[i] == 'X')) {
        hex = true;
        ++i;
    }
    if (i >= t.size())
        return false;
    std::uint64_t mag = 0;
    if (hex) {
        for (; i < t.size(); ++i) {
            const int h = hexValue(t[i]);
            if (h < 0)
                return false;
            if (mag > (hexMax >> 4))
                return false;
            mag = (mag << 4) | static_cast<std::uint64_t>(h);
        }
        if (mag > hexMax)
            return false;
        // A hex value above the signed range wraps, as the runtime's does.
        if (hexMax == 0xFFFFFFFFull) {
            const std::int64_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(mag));
            out = static_cast<std::int32_t>(static_cast<std::uint32_t>(negative ? -v : v));
        } else {
            out = static_cast<std::int64_t>(negative ? 0 - mag : mag);
        }
        return true;
    }
    const std::uint64_t limit = maxPositive + (negative ? 1 : 0);
    for (; i < t.size(); ++i) {
        if (!isDigit(t[i]))
            return false;
        const auto digit = static_cast<std::uint64_t>(t[i] - '0');
        if (mag > (limit - digit) / 10)
            return false;
        mag = mag * 10 + digit;
    }
    out = negative ? static_cast<std::int64_t>(0 - mag) : static_cast<std::int64_t>(mag);
    return true;
}

// A decimal number with the comma as separator: blanks around, a sign, digits with at most
// one comma (digits on at least one side), an optional exponent. The result is the number's
// text in the C form ("-12.5e3") for the standard conversions.
bool normaliseFloat(std::string_view t, std::string& c)
{
    std::size_t b = 0, e = t.size();
    while (b < e && t[b] == ' ')
        ++b;
    while (e > b && t[e - 1] == ' ')
        --e;
    t = t.substr(b, e - b);
    std::size_t i = 0;
    c.clear();
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-')
            c.push_back('-');
        ++i;
    }
    int digits = 0;
    while (i < t.size() && isDigit(t[i])) {
        c.push_back(t[i++]);
        ++digits;
    }
    if (i < t.size() && t[i] == ',') {
        c.push_back('.');
        ++i;
        while (i < t.size() && isDigit(t[i])) {
            c.push_back(t[i++]);
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        c.push_back('e');
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            c.push_back(t[i++]);
        int expDigits = 0;
        while (i < t.size() && isDigit(t[i])) {
            c.push_back(t[i++]);
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == t.size();
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return (month == 2 && leap) ? 29 : days[month - 1];
}

bool validDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

const std::int64_t kDelphiEpoch = civilDays(1899, 12, 30);

// The year of a two-digit year by the runtime's sliding window of 50 years back.
int windowYear(int twoDigits)
{
    const int current = Clock().now().year;
    const int base = current - 50;
    int y = twoDigits + (base / 100) * 100;
    if (y < base)
        y += 100;
    return y;
}

} // namespace

std::int32_t strToInt(std::string_view text)
{
    std::int64_t v = 0;
    if (!parseInteger(text, 0x7FFFFFFFull, 0xFFFFFFFFull, v))
        notInteger(text);
    return static_cast<std::int32_t>(v);
}

std::int64_t strToInt64(std::string_view text)
{
    std::int64_t v = 0;
    if (!parseInteger(text, 0x7FFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull, v))
        notInteger(text);
    return v;
}

double strToFloat(std::string_view text)
{
    std::string c;
    if (!normaliseFloat(text, c))
        notFloat(text);
    double v = 0;
    const auto r = std::from_chars(c.data(), c.data() + c.size(), v);
    if (r.ec != std::errc() || r.ptr != c.data() + c.size() || !std::isfinite(v))
        notFloat(text);
    return v;
}

Money strToMoney(std::string_view text)
{
    std::string c;
    if (!normaliseFloat(text, c))
        notFloat(text);
    // Exact on the decimal digits: mantissa digits, decimal point and exponent.
    detail::DecimalDigits d;
    std::size_t i = 0;
    if (c[i] == '-') {
        d.negative = true;
        ++i;
    }
    int point = -1;
    for (; i < c.size() && c[i] != 'e'; ++i) {
        if (c[i] == '.')
            point = static_cast<int>(d.digits.size());
        else
            d.digits.push_back(c[i]);
    }
    d.point = point < 0 ? static_cast<int>(d.digits.size()) : point;
    if (i < c.size()) {
        long exp = std::strtol(c.c_str() + i + 1, nullptr, 10);
        if (exp > 40 || exp < -400)
            exp = exp > 0 ? 40 : -400;
        d.point += static_cast<int>(exp);
    }
    // Leading zeros off, then four decimals kept, rounded half away from zero.
    std::size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0')
        ++lead;
    d.digits.erase(0, lead);
    d.point -= static_cast<int>(lead);
    if (d.digits.empty())
        return Money();
    detail::roundToDecimals(d, 4);
    if (d.isZero())
        return Money();
    if (d.point + 4 > 19)
        notFloat(text);
    std::uint64_t units = 0;
    for (int k = 0; k < d.point + 4; ++k) {
        const char ch = k < static_cast<int>(d.digits.size()) && k >= 0 ? d.digits[static_cast<std::size_t>(k)] : '0';
        if (units > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
            notFloat(text);
        units = units * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    if (units > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        notFloat(text);
    const auto signedUnits = static_cast<std::int64_t>(units);
    return Money::fromTenThousandths(d.negative ? -signedUnits : signedUnits);
}

double strToDate(std::string_view text)
{
    // Three numbers in the order day, month, year, separated by "/", blanks before each
    // number allowed; nothing else may follow but blanks.
    std::size_t i = 0;
    int parts[3] = {0, 0, 0};
    int yearDigits = 0;
    for (int p = 0; p < 3; ++p) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        int n = 0, digits = 0;
        while (i < text.size() && isDigit(text[i]) && digits < 5) {
            n = n * 10 + (text[i++] - '0');
            ++digits;
        }
        if (digits == 0 || (i < text.size() && isDigit(text[i])))
            notDate(text);
        parts[p] = n;
        if (p == 2)
            yearDigits = digits;
        if (p < 2) {
            if (i >= text.size() || text[i] != '/')
                notDate(text);
            ++i;
        }
    }
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i != text.size())
        notDate(text);
    int year = parts[2];
    if (yearDigits <= 2)
        year = windowYear(year);
    if (!validDate(year, parts[1], parts[0]))
        notDate(text);
    return encodeDate(year, parts[1], parts[0]);
}

std::string floatToStr(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    detail::DecimalDigits d = detail::exactDigits(value);
    detail::roundToDigits(d, 15);
    if (d.isZero())
        return "0";
    std::string out = d.negative ? "-" : "";
    if (d.point > 15 || d.point < -3) {
        // Exponent form: d[,ddd]E[-]x
        out.push_back(d.digits[0]);
        if (d.digits.size() > 1) {
            out.push_back(',');
            out.append(d.digits, 1, std::string::npos);
        }
        out += "E" + std::to_string(d.point - 1);
        return out;
    }
    const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.point);
    out += detail::fixedText(d, decimals, ',', '\0');
    return out;
}

std::string intToStr(std::int64_t value)
{
    return std::to_string(value);
}

double encodeDate(int year, int month, int day)
{
    if (!validDate(year, month, day))
        throw ConversionError("Invalid argument to date encode");
    return static_cast<double>(civilDays(year, month, day) - kDelphiEpoch);
}

std::int64_t civilDays(int year, int month, int day)
{
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 306; // 0001-01-01 is 306 days after 0000-03-01
}

void civilDate(std::int64_t days, int& year, int& month, int& day)
{
    const std::int64_t z = days + 306; // days from 0000-03-01
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void decodeDate(double days, int& year, int& month, int& day)
{
    if (!std::isfinite(days) || days < -693593.0 || days >= 2958466.0)
        throw ConversionError("Invalid date value: " + std::to_string(days));
    civilDate(static_cast<std::int64_t>(std::floor(days)) + kDelphiEpoch, year, month, day);
}

} // namespace ecf::common

#include "data/stored_value.h"

#include "common/convert.h"
#include "common/decimal_text.h"
#include "common/errors.h"
#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace ecf::data::detail {

using common::ConversionError;

namespace {

std::string twoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::string dateText(double delphiDays)
{
    int y = 0, m = 0, d = 0;
    common::decodeDate(delphiDays, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d, m, y);
    return buf;
}

std::string timeText(std::int64_t ms)
{
    ms %= 86400000;
    if (ms < 0)
        ms += 86400000;
    const int s = static_cast<int>(ms / 1000);
    return twoDigits(s / 3600) + ":" + twoDigits((s / 60) % 60) + ":" + twoDigits(s % 60);
}

} // namespace

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string bcdShortText(const std::string& stored)
{
    std::string s = common::trim(stored);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    std::string intPart = s, frac;
    const auto dot = s.find_first_of(".,");
    if (dot != std::string::npos) {
        intPart = s.substr(0, dot);
        frac = s.substr(dot + 1);
    }
    while (intPart.size() > 1 && intPart[0] == '0')
        intPart.erase(0, 1);
    if (intPart.empty())
        intPart = "0";
    while (!frac.empty() && frac.back() == '0')
        frac.pop_back();
    std::string out = intPart;
    if (!frac.empty())
        out += "," + frac;
    if (negative && out != "0")
        out.insert(out.begin(), '-');
    return out;
}

std::string numberText(const std::string& bytes)
{
    std::string t = common::trimBlanks(bytes);
    if (t.find(',') == std::string::npos && std::count(t.begin(), t.end(), '.') == 1)
        std::replace(t.begin(), t.end(), '.', ',');
    return t;
}

std::string bcdFrom(common::detail::DecimalDigits d, int decimals)
{
    common::detail::roundToDecimals(d, decimals);
    std::string out = common::detail::fixedText(d, decimals, '.', '\0');
    if (d.negative && !d.isZero())
        out.insert(out.begin(), '-');
    return out;
}

long double numericOf(const px::Value& v)
{
    switch (v.kind) {
    case px::Value::Kind::Integer:
        return static_cast<long double>(v.integer);
    case px::Value::Kind::Float:
        return static_cast<long double>(v.real);
    case px::Value::Kind::Bcd: {
        std::string t = common::trim(v.bytes);
        std::replace(t.begin(), t.end(), ',', '.');
        return std::strtold(t.c_str(), nullptr);
    }
    default:
        return 0;
    }
}

std::string valueText(const px::Value& v)
{
    switch (v.kind) {
    case px::Value::Kind::Null:
        return {};
    case px::Value::Kind::Text:
    case px::Value::Kind::Bytes:
        return v.bytes;
    case px::Value::Kind::Integer:
        return common::intToStr(v.integer);
    case px::Value::Kind::Float:
        return common::floatToStr(v.real);
    case px::Value::Kind::Bcd:
        return bcdShortText(v.bytes);
    case px::Value::Kind::Logical:
        return v.logical ? "True" : "False";
    case px::Value::Kind::Date:
        return dateText(static_cast<double>(v.integer - kParadoxDay0));
    case px::Value::Kind::Time:
        return timeText(v.integer);
    case px::Value::Kind::Timestamp: {
        const double days = std::floor(v.real / kMsPerDay);
        const auto ms = static_cast<std::int64_t>(v.real - days * kMsPerDay);
        std::string out = dateText(days - static_cast<double>(kParadoxDay0));
        if (ms != 0)
            out += " " + timeText(ms);
        return out;
    }
    }
    return {};
}

const px::Value& nullValue()
{
    static const px::Value null;
    return null;
}

bool parseNumber(const std::string& text, double& out)
{
    std::string t = common::trimBlanks(text);
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty() || t[0] == '+')
        return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), out);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(out);
}

bool sameStoredValue(const px::Value& a, const px::Value& b)
{
    if (isEmptyValue(a) || isEmptyValue(b))
        return isEmptyValue(a) && isEmptyValue(b);
    if (isNumericKind(a.kind) && isNumericKind(b.kind))
        return static_cast<double>(numericOf(a)) == static_cast<double>(numericOf(b));
    if (a.kind == b.kind) {
        switch (a.kind) {
        case px::Value::Kind::Text:
        case px::Value::Kind::Bytes:
            return a.bytes == b.bytes;
        case px::Value::Kind::Date:
        case px::Value::Kind::Time:
            return a.integer == b.integer;
        case px::Value::Kind::Timestamp:
            return a.real == b.real;
        case px::Value::Kind::Logical:
            return a.logical == b.logical;
        default:
            break;
        }
    }
    return valueText(a) == valueText(b);
}

[[noreturn]] void cannotAccess(const std::string& table, const std::string& field, const char* type)
{
    throw ConversionError(table + ": Cannot access field '" + field + "' as type " + type);
}

} // namespace ecf::data::detail

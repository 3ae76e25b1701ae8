#include "common/format.h"

#include "common/decimal_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace ecf::common {

namespace {

constexpr char kDecimalSep = ',';
constexpr char kThousandsSep = '.';

struct Conversion {
    bool leftAlign = false;
    int width = -1;
    int precision = -1;
    char type = 0;
};

[[noreturn]] void bad(std::string_view pattern, const std::string& why)
{
    throw std::invalid_argument("format \"" + std::string(pattern) + "\": " + why);
}

// Appends `body` to `out`, padded with blanks to the width.
void appendPadded(std::string& out, std::string_view body, const Conversion& s)
{
    const std::size_t fill =
        s.width > 0 && static_cast<int>(body.size()) < s.width ? static_cast<std::size_t>(s.width) - body.size() : 0;
    if (!s.leftAlign)
        out.append(fill, ' ');
    out += body;
    if (s.leftAlign)
        out.append(fill, ' ');
}

void appendInteger(std::string& out, const Conversion& s, std::int64_t v, std::string_view pattern)
{
    bool negative = false;
    std::uint64_t mag = 0;
    unsigned base = 10;
    switch (s.type) {
    case 'd':
        negative = v < 0;
        mag = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        break;
    case 'u':
        mag = static_cast<std::uint64_t>(v);
        break;
    case 'x':
        mag = static_cast<std::uint64_t>(v);
        base = 16;
        break;
    default:
        bad(pattern, "integer argument for %" + std::string(1, s.type));
    }
    // The precision is the least number of digits; the sign comes before the zeros. The widest
    // body is a precision of 1000 digits and a sign.
    static const char hex[] = "0123456789ABCDEF";
    char buf[1024];
    char* const end = buf + sizeof buf;
    char* p = end;
    do {
        *--p = hex[mag % base];
        mag /= base;
    } while (mag != 0);
    while (end - p < s.precision)
        *--p = '0';
    if (negative)
        *--p = '-';
    appendPadded(out, std::string_view(p, static_cast<std::size_t>(end - p)), s);
}

void appendDecimal(std::string& out, const Conversion& s, detail::DecimalDigits d)
{
    const int decimals = s.precision < 0 ? 2 : std::min(s.precision, 18);
    detail::roundToDecimals(d, decimals);
    std::string body = detail::fixedText(d, decimals, kDecimalSep, s.type == 'n' ? kThousandsSep : '\0');
    if (d.negative && !d.isZero())
        body.insert(body.begin(), '-');
    appendPadded(out, body, s);
}

void appendFloat(std::string& out, const Conversion& s, double v)
{
    if (std::isnan(v))
        return appendPadded(out, "NAN", s);
    if (std::isinf(v))
        return appendPadded(out, v < 0 ? "-INF" : "INF", s);
    appendDecimal(out, s, detail::exactDigits(v));
}

void appendText(std::string& out, const Conversion& s, std::string_view text)
{
    if (s.precision >= 0 && text.size() > static_cast<std::size_t>(s.precision))
        text = text.substr(0, static_cast<std::size_t>(s.precision));
    appendPadded(out, text, s);
}

void appendOne(std::string& out, const Conversion& s, const FormatArg& arg, std::string_view pattern)
{
    switch (s.type) {
    case 'd':
    case 'u':
    case 'x':
        if (const auto* i = std::get_if<std::int64_t>(&arg))
            return appendInteger(out, s, *i, pattern);
        bad(pattern, std::string("%") + s.type + " needs an integer");
    case 'f':
    case 'n':
        if (const auto* d = std::get_if<double>(&arg))
            return appendFloat(out, s, *d);
        if (const auto* m = std::get_if<Money>(&arg))
            return appendDecimal(out, s, detail::moneyDigits(m->tenThousandths()));
        if (const auto* i = std::get_if<std::int64_t>(&arg))
            return appendDecimal(out, s, detail::integerDigits(*i));
        bad(pattern, std::string("%") + s.type + " needs a number");
    case 's':
        if (const auto* t = std::get_if<std::string_view>(&arg))
            return appendText(out, s, *t);
        bad(pattern, "%s needs a text");
    default:
        bad(pattern, std::string("unknown conversion %") + s.type);
    }
}

} // namespace

std::string format(std::string_view pattern, std::initializer_list<FormatArg> args)
{
    const FormatArg* list = args.begin(); // read in place, not copied
    std::string out;
    out.reserve(pattern.size() + 16);
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i++];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        if (i < pattern.size() && pattern[i] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        Conversion s;
        auto readNumber = [&](int& into) {
            if (i >= pattern.size() || pattern[i] < '0' || pattern[i] > '9')
                return false;
            long n = 0;
            while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
                n = n * 10 + (pattern[i] - '0');
                if (n > 1000)
                    bad(pattern, "width or precision too large");
                ++i;
            }
            into = static_cast<int>(n);
            return true;
        };
        // Optional argument index "N:".
        const std::size_t save = i;
        int index = -1;
        if (readNumber(index) && i < pattern.size() && pattern[i] == ':') {
            ++i;
            next = static_cast<std::size_t>(index);
        } else {
            i = save;
        }
        if (i < pattern.size() && pattern[i] == '-') {
            s.leftAlign = true;
            ++i;
        }
        readNumber(s.width);
        if (i < pattern.size() && pattern[i] == '.') {
            ++i;
            if (!readNumber(s.precision))
                s.precision = 0;
        }
        if (i >= pattern.size())
            bad(pattern, "incomplete conversion at the end");
        s.type = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i++])));
        if (next >= args.size())
            bad(pattern, "too few arguments");
        appendOne(out, s, list[next++], pattern);
    }
    return out;
}

} // namespace ecf::common

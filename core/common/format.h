#pragma once
// printf-style formatting as the printers' texts need it, with the system's regional
// settings of a Brazilian desktop: the comma as decimal separator and the period as
// thousands separator.
//
//   "%13.13d"  integer, at least 13 digits with leading zeros     (Trunc values, codes)
//   "%6d"      integer right-aligned in 6 characters
//   "%-26.26s" text left-aligned, padded with blanks and cut to 26 bytes; "%-63s" pads only
//   "%7.2f"    number with 2 decimals (comma), right-aligned in 7 characters, no thousands
//   "%12.2n"   as %f with thousands separators ("1.234,50")
//   "%%"       a percent sign
// Numbers for %f and %n are rounded half away from zero on their decimal digits: a Money
// exactly (12.345 -> "12,35"), a double on the exact decimal value it stores, as the
// desktop's runtime does (so 0.125 -> "0,13" and 1.005, stored as 1.00499999999999989...,
// -> "1,00"). An integer argument is taken as its exact value.
// Texts are bytes and pass unchanged.
#include "common/money.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace ecf::common {

using FormatArg = std::variant<std::int64_t, double, Money, std::string_view>;

// Throws std::invalid_argument for a format the function does not know or an argument of
// the wrong kind (a programming error, never an operator's).
std::string format(std::string_view pattern, std::initializer_list<FormatArg> args);

// Shorthands for one argument.
inline std::string fmtInt(std::string_view pattern, std::int64_t v) { return format(pattern, {FormatArg{v}}); }
inline std::string fmtStr(std::string_view pattern, std::string_view s) { return format(pattern, {FormatArg{s}}); }
inline std::string fmtFloat(std::string_view pattern, double v) { return format(pattern, {FormatArg{v}}); }
inline std::string fmtMoney(std::string_view pattern, Money v) { return format(pattern, {FormatArg{v}}); }

} // namespace ecf::common

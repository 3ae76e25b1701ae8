#pragma once
// Conversions between texts and numbers or dates as the desktop's runtime does them; a text
// that does not convert throws ConversionError with the runtime's own wording:
//   "'abc' is not a valid integer value", "'1,2x' is not a valid floating point value",
//   "'  /  /    ' is not a valid date".
#include "common/money.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ecf::common {

// Decimal integer: optional leading blanks, optional sign, digits (or "$" and hex digits);
// nothing after them. Out of the 32-bit range is an error.
std::int32_t strToInt(std::string_view text);
std::int64_t strToInt64(std::string_view text);
// Floating: blanks around allowed, the comma as decimal separator, an exponent allowed.
double strToFloat(std::string_view text);
Money strToMoney(std::string_view text);
// A date in the short date format dd/mm/yyyy (two-digit years taken in the 1900s/2000s with
// the runtime's window) as days since 30 December 1899, the desktop's date count.
double strToDate(std::string_view text);

// Shortest general text of a floating value with up to 15 significant digits and the comma
// as decimal separator: 1234.5 -> "1234,5", 0.5 -> "0,5", 18 -> "18", 1E20 -> "1E20".
std::string floatToStr(double value);
std::string intToStr(std::int64_t value);

// Days from 1 January 0001 (that day is 0) for a proleptic Gregorian date, and back; any range.
std::int64_t civilDays(int year, int month, int day);
void civilDate(std::int64_t days, int& year, int& month, int& day);

// Days since 30 December 1899 for a calendar date, and back.
double encodeDate(int year, int month, int day);
void decodeDate(double days, int& year, int& month, int& day);

} // namespace ecf::common

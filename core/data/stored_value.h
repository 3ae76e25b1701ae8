#pragma once
// Inside the table engine: stored values as the runtime's fields give and compare them.
// Shared by the table, its fields and its master-detail link; not for use outside data/.
#include "data/paradox/px.h"

#include <cstdint>
#include <string>

namespace ecf::common::detail {
struct DecimalDigits;
}

namespace ecf::data {

class Table;

namespace detail {

// The Paradox day count (1 January 0001 is day 1) of 30 December 1899, day 0 of the
// desktop's date count.
inline constexpr std::int64_t kParadoxDay0 = 693594;
inline constexpr double kMsPerDay = 86400000.0;

std::string lowerAscii(std::string s);
// The decimal text of a Bcd value ("-12.3400") in the runtime's shortest form ("-12,34").
std::string bcdShortText(const std::string& stored);
// A number text of a text field: the comma is the decimal separator; a text with a period
// and no comma takes the period as its separator.
std::string numberText(const std::string& bytes);
// The Bcd decimal text with `decimals` places and a period, from the exact digits of a value.
std::string bcdFrom(common::detail::DecimalDigits d, int decimals);

inline bool isNumericKind(px::Value::Kind k)
{
    return k == px::Value::Kind::Integer || k == px::Value::Kind::Float || k == px::Value::Kind::Bcd;
}
long double numericOf(const px::Value& v);
// The text of a stored value, as the runtime's fields give it.
std::string valueText(const px::Value& v);
const px::Value& nullValue();
inline bool isEmptyValue(const px::Value& v)
{
    return v.isNull() || (v.kind == px::Value::Kind::Text && v.bytes.empty());
}
// A number typed as text (comma or period as separator, blanks around) without throwing.
bool parseNumber(const std::string& text, double& out);
// Link fields compare as stored values: numbers by value, texts as bytes, the rest by kind
// and value, and values of different kinds by their texts.
bool sameStoredValue(const px::Value& a, const px::Value& b);
[[noreturn]] void cannotAccess(const std::string& table, const std::string& field, const char* type);

// Before the cursor moves: an appended record is posted (as the runtime does); an edit is
// dropped, since edits are never written.
void leaveEditing(Table& t);

} // namespace detail
} // namespace ecf::data

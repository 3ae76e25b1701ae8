#include "data/stored_value.h"
#include "data/table.h"

#include "common/convert.h"
#include "common/decimal_text.h"
#include "common/errors.h"
#include "common/text.h"

#include <cmath>
#include <limits>

namespace ecf::data {

using common::ConversionError;
using common::DatabaseError;
using common::Money;
using namespace detail;

const std::string& Field::name() const
{
    const auto& defs = table_->fieldDefs();
    if (index_ >= defs.size())
        throw DatabaseError(table_->tableName() + ": field number " + std::to_string(index_) + " not found");
    return defs[index_].name;
}

bool Field::isNull() const
{
    const px::Value& v = table_->valueAt(index_);
    return v.isNull() || (v.kind == px::Value::Kind::Text && v.bytes.empty());
}

std::string Field::place() const
{
    // The platform's wording stays in front; where the value is comes after it.
    return " (table " + table_->tableName() + ", field " + name() + ", record " +
           std::to_string(table_->recordNumber()) + ")";
}

std::string Field::asString() const
{
    return valueText(table_->valueAt(index_));
}

std::int32_t Field::asInteger() const
try {
    const px::Value& v = table_->valueAt(index_);
    switch (v.kind) {
    case px::Value::Kind::Null:
        return 0;
    case px::Value::Kind::Text:
        if (v.bytes.empty())
            return 0;
        return common::strToInt(common::trimBlanks(v.bytes));
    case px::Value::Kind::Integer:
        if (v.integer < std::numeric_limits<std::int32_t>::min() || v.integer > std::numeric_limits<std::int32_t>::max())
            throw ConversionError("'" + common::intToStr(v.integer) + "' is not a valid integer value");
        return static_cast<std::int32_t>(v.integer);
    case px::Value::Kind::Float:
    case px::Value::Kind::Bcd: {
        // Rounded to the nearest integer, halves to the even neighbour.
        const long double x = numericOf(v);
        if (!std::isfinite(x) || x < -2147483648.5L || x > 2147483647.5L)
            throw ConversionError("'" + asString() + "' is not a valid integer value");
        const long double r = std::nearbyintl(x);
        if (r < -2147483648.0L || r > 2147483647.0L)
            throw ConversionError("'" + asString() + "' is not a valid integer value");
        return static_cast<std::int32_t>(r);
    }
    case px::Value::Kind::Logical:
        return v.logical ? 1 : 0;
    default:
        cannotAccess(table_->tableName(), name(), "Integer");
    }
} catch (const ConversionError& e) {
    throw ConversionError(std::string(e.what()) + place());
}

double Field::asFloat() const
try {
    const px::Value& v = table_->valueAt(index_);
    switch (v.kind) {
    case px::Value::Kind::Null:
        return 0;
    case px::Value::Kind::Text:
        if (v.bytes.empty())
            return 0;
        return common::strToFloat(numberText(v.bytes));
    case px::Value::Kind::Integer:
        return static_cast<double>(v.integer);
    case px::Value::Kind::Float:
        return v.real;
    case px::Value::Kind::Bcd:
        return common::strToFloat(bcdShortText(v.bytes));
    case px::Value::Kind::Date:
        return static_cast<double>(v.integer - kParadoxDay0);
    case px::Value::Kind::Time:
        return static_cast<double>(v.integer) / kMsPerDay;
    case px::Value::Kind::Timestamp:
        return v.real / kMsPerDay - static_cast<double>(kParadoxDay0);
    default:
        cannotAccess(table_->tableName(), name(), "Float");
    }
} catch (const ConversionError& e) {
    throw ConversionError(std::string(e.what()) + place());
}

Money Field::asMoney() const
try {
    const px::Value& v = table_->valueAt(index_);
    switch (v.kind) {
    case px::Value::Kind::Null:
        return Money();
    case px::Value::Kind::Text:
        if (v.bytes.empty())
            return Money();
        return common::strToMoney(numberText(v.bytes));
    case px::Value::Kind::Integer:
        return Money::fromWhole(v.integer);
    case px::Value::Kind::Float:
        return Money::fromDouble(v.real);
    case px::Value::Kind::Bcd:
        return common::strToMoney(bcdShortText(v.bytes));
    default:
        cannotAccess(table_->tableName(), name(), "Currency");
    }
} catch (const ConversionError& e) {
    throw ConversionError(std::string(e.what()) + place());
}

bool Field::asBoolean() const
try {
    const px::Value& v = table_->valueAt(index_);
    switch (v.kind) {
    case px::Value::Kind::Null:
        return false;
    case px::Value::Kind::Logical:
        return v.logical;
    case px::Value::Kind::Integer:
        return v.integer != 0;
    case px::Value::Kind::Float:
        return v.real != 0;
    case px::Value::Kind::Text: {
        const std::string t = lowerAscii(common::trimBlanks(v.bytes));
        if (t.empty())
            return false;
        if (t == "true" || t == "t" || t == "y" || t == "yes" || t == "s" || t == "sim")
            return true;
        if (t == "false" || t == "f" || t == "n" || t == "no")
            return false;
        throw ConversionError("'" + common::latin1ToUtf8(v.bytes) + "' is not a valid boolean value");
    }
    default:
        cannotAccess(table_->tableName(), name(), "Boolean");
    }
} catch (const ConversionError& e) {
    throw ConversionError(std::string(e.what()) + place());
}

void Field::setString(const std::string& bytes)
{
    const px::FieldDef& def = table_->fieldDefs().at(index_);
    if (bytes.empty()) {
        table_->assign(index_, px::Value::null());
        return;
    }
    switch (def.type) {
    case px::FieldType::Alpha:
        // A fixed-size text field keeps what fits, as the runtime's string fields do.
        table_->assign(index_, px::Value::text(def.size > 0 && bytes.size() > static_cast<std::size_t>(def.size)
                                                   ? bytes.substr(0, static_cast<std::size_t>(def.size))
                                                   : bytes));
        return;
    case px::FieldType::Memo:
    case px::FieldType::FmtMemo:
        table_->assign(index_, px::Value::text(bytes));
        return;
    case px::FieldType::Short:
    case px::FieldType::Long:
    case px::FieldType::AutoInc:
        setInteger(common::strToInt64(common::trimBlanks(bytes)));
        return;
    case px::FieldType::Number:
    case px::FieldType::Currency:
    case px::FieldType::Bcd:
        setFloat(common::strToFloat(numberText(bytes)));
        return;
    case px::FieldType::Logical: {
        const std::string t = lowerAscii(common::trimBlanks(bytes));
        if (t == "true" || t == "t" || t == "y" || t == "yes" || t == "s" || t == "sim")
            setBoolean(true);
        else if (t == "false" || t == "f" || t == "n" || t == "no")
            setBoolean(false);
        else
            throw ConversionError("'" + common::latin1ToUtf8(bytes) + "' is not a valid boolean value");
        return;
    }
    case px::FieldType::Date:
        table_->assign(index_, px::Value::date(static_cast<std::int64_t>(common::strToDate(bytes)) + kParadoxDay0));
        return;
    default:
        table_->assign(index_, [&] {
            px::Value v;
            v.kind = px::Value::Kind::Bytes;
            v.bytes = bytes;
            return v;
        }());
        return;
    }
}

void Field::setInteger(std::int64_t value)
{
    const px::FieldDef& def = table_->fieldDefs().at(index_);
    switch (def.type) {
    case px::FieldType::Short:
        if (value < -32767 || value > 32767)
            throw ConversionError(table_->tableName() + ": " + common::intToStr(value) + " is not a valid value for field '" +
                                  def.name + "'");
        table_->assign(index_, px::Value::integerValue(value));
        return;
    case px::FieldType::Long:
    case px::FieldType::AutoInc:
        if (value < -2147483647 || value > 2147483647)
            throw ConversionError(table_->tableName() + ": " + common::intToStr(value) + " is not a valid value for field '" +
                                  def.name + "'");
        table_->assign(index_, px::Value::integerValue(value));
        return;
    case px::FieldType::Number:
    case px::FieldType::Currency:
        table_->assign(index_, px::Value::floatValue(static_cast<double>(value)));
        return;
    case px::FieldType::Bcd: {
        px::Value v;
        v.kind = px::Value::Kind::Bcd;
        v.bytes = bcdFrom(common::detail::integerDigits(value), def.bcdDigits);
        table_->assign(index_, std::move(v));
        return;
    }
    case px::FieldType::Logical:
        table_->assign(index_, px::Value::logicalValue(value != 0));
        return;
    default:
        setString(common::intToStr(value));
        return;
    }
}

void Field::setFloat(double value)
{
    const px::FieldDef& def = table_->fieldDefs().at(index_);
    if (!std::isfinite(value))
        throw ConversionError(table_->tableName() + ": invalid floating point value for field '" + def.name + "'");
    switch (def.type) {
    case px::FieldType::Number:
    case px::FieldType::Currency:
        table_->assign(index_, px::Value::floatValue(value));
        return;
    case px::FieldType::Short:
    case px::FieldType::Long:
    case px::FieldType::AutoInc: {
        const double r = std::nearbyint(value);
        if (r < -2147483647.0 || r > 2147483647.0)
            throw ConversionError(table_->tableName() + ": " + common::floatToStr(value) +
                                  " is not a valid value for field '" + def.name + "'");
        setInteger(static_cast<std::int64_t>(r));
        return;
    }
    case px::FieldType::Bcd: {
        px::Value v;
        v.kind = px::Value::Kind::Bcd;
        v.bytes = bcdFrom(common::detail::exactDigits(value), def.bcdDigits);
        table_->assign(index_, std::move(v));
        return;
    }
    case px::FieldType::Date:
        table_->assign(index_, px::Value::date(static_cast<std::int64_t>(std::floor(value)) + kParadoxDay0));
        return;
    default:
        setString(common::floatToStr(value));
        return;
    }
}

void Field::setBoolean(bool value)
{
    const px::FieldDef& def = table_->fieldDefs().at(index_);
    switch (def.type) {
    case px::FieldType::Logical:
        table_->assign(index_, px::Value::logicalValue(value));
        return;
    case px::FieldType::Alpha:
        setString(value ? "T" : "F");
        return;
    default:
        setInteger(value ? 1 : 0);
        return;
    }
}

void Field::setValue(const px::Value& value)
{
    table_->assign(index_, value);
}

void Field::clear()
{
    table_->assign(index_, px::Value::null());
}

} // namespace ecf::data

#include "data/table.h"

#include "common/convert.h"
#include "common/decimal_text.h"
#include "common/errors.h"
#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace ecf::data {

using common::ConversionError;
using common::DatabaseError;
using common::Money;

namespace {

// The Paradox day count (1 January 0001 is day 1) of 30 December 1899, day 0 of the
// desktop's date count.
constexpr std::int64_t kParadoxDay0 = 693594;
constexpr double kMsPerDay = 86400000.0;

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

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

// The decimal text of a Bcd value ("-12.3400") in the runtime's shortest form ("-12,34").
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

// A number text of a text field: the comma is the decimal separator; a text with a period
// and no comma takes the period as its separator.
std::string numberText(const std::string& bytes)
{
    std::string t = common::trimBlanks(bytes);
    if (t.find(',') == std::string::npos && std::count(t.begin(), t.end(), '.') == 1)
        std::replace(t.begin(), t.end(), '.', ',');
    return t;
}

// The Bcd decimal text with `decimals` places and a period, from the exact digits of a value.
std::string bcdFrom(common::detail::DecimalDigits d, int decimals)
{
    common::detail::roundToDecimals(d, decimals);
    std::string out = common::detail::fixedText(d, decimals, '.', '\0');
    if (d.negative && !d.isZero())
        out.insert(out.begin(), '-');
    return out;
}

bool isNumericKind(px::Value::Kind k)
{
    return k == px::Value::Kind::Integer || k == px::Value::Kind::Float || k == px::Value::Kind::Bcd;
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

// The text of a stored value, as the runtime's fields give it.
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

bool isEmptyValue(const px::Value& v)
{
    return v.isNull() || (v.kind == px::Value::Kind::Text && v.bytes.empty());
}

// A number typed as text (comma or period as separator, blanks around) without throwing.
bool parseNumber(const std::string& text, double& out)
{
    std::string t = common::trimBlanks(text);
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty() || t[0] == '+')
        return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), out);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(out);
}

// Link fields compare as stored values: numbers by value, texts as bytes, the rest by kind
// and value, and values of different kinds by their texts.
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

} // namespace

// ---------------------------------------------------------------------------------------------
// Database

std::filesystem::path Database::folder()
{
    const char* dir = std::getenv("VANTIS_DIR");
    if (dir == nullptr || *dir == '\0')
        throw DatabaseError("Alias \"VANTIS\" is not available: the environment variable VANTIS_DIR is not set");
    std::error_code ec;
    const std::filesystem::path p(dir);
    if (!std::filesystem::is_directory(p, ec))
        throw DatabaseError("Alias \"VANTIS\" is not available: the folder \"" + p.string() +
                            "\" named by VANTIS_DIR does not exist");
    return p;
}

std::filesystem::path Database::tablePath(const std::string& tableName)
{
    const std::filesystem::path dir = folder();
    if (tableName.empty() || tableName.find('/') != std::string::npos || tableName.find('\\') != std::string::npos ||
        tableName == "." || tableName == ".." || tableName.find('\0') != std::string::npos)
        throw DatabaseError("Invalid table name: \"" + common::latin1ToUtf8(tableName) + "\"");
    std::string file = tableName;
    if (!std::filesystem::path(file).has_extension())
        file += ".DB";
    const std::filesystem::path exact = dir / file;
    std::error_code ec;
    if (std::filesystem::exists(exact, ec))
        return exact;
    const std::string wanted = lowerAscii(file);
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (lowerAscii(name) == wanted)
            return it->path();
    }
    return exact;
}

bool Database::tableExists(const std::string& tableName)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(tablePath(tableName), ec);
}

// ---------------------------------------------------------------------------------------------
// Field

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

std::string Field::asString() const
{
    return valueText(table_->valueAt(index_));
}

std::int32_t Field::asInteger() const
{
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
}

double Field::asFloat() const
{
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
}

Money Field::asMoney() const
{
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
}

bool Field::asBoolean() const
{
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

// ---------------------------------------------------------------------------------------------
// Table

static void leaveEditing(Table& t);

Table::Table(std::string tableName) : name_(std::move(tableName)) {}

Table::~Table()
{
    if (master_ != nullptr) {
        auto& d = master_->details_;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    for (Table* detail : details_)
        detail->master_ = nullptr;
}

void Table::requireOpen() const
{
    if (!open_ || !data_)
        throw DatabaseError(name_ + ": Cannot perform this operation on a closed dataset");
}

void Table::open()
{
    if (open_)
        return;
    const std::filesystem::path path = Database::tablePath(name_);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw DatabaseError("Table does not exist: " + name_ + " (" + path.parent_path().string() + ")");
    data_ = std::make_unique<px::PxTable>(px::PxTable::read(path));
    open_ = true;
    state_ = State::Browse;
    buffer_.clear();
    applyFilter();
    pos_ = 0;
    masterMoved();
}

void Table::close()
{
    open_ = false;
    data_.reset();
    visible_.clear();
    pos_ = 0;
    state_ = State::Inactive;
    buffer_.clear();
    masterMoved();
}

// Before the cursor moves: an appended record is posted (as the runtime does); an edit is
// dropped, since edits are never written.
static void leaveEditing(Table& t)
{
    if (t.state() == Table::State::Insert)
        t.post();
    else if (t.state() == Table::State::Edit)
        t.cancel();
}

void Table::first()
{
    requireOpen();
    leaveEditing(*this);
    pos_ = 0;
    masterMoved();
}

void Table::next()
{
    requireOpen();
    leaveEditing(*this);
    if (pos_ < visible_.size())
        ++pos_;
    if (pos_ < visible_.size())
        masterMoved();
}

bool Table::eof() const
{
    return !open_ || pos_ >= visible_.size();
}

bool Table::isEmpty() const
{
    return !open_ || visible_.empty();
}

std::size_t Table::recordCount() const
{
    return open_ ? visible_.size() : 0;
}

Field Table::fieldByName(const std::string& name)
{
    requireOpen();
    const auto index = data_->fieldIndex(name);
    if (!index)
        throw DatabaseError(name_ + ": Field '" + name + "' not found");
    return Field(*this, *index);
}

bool Table::hasField(const std::string& name) const
{
    return open_ && data_ && data_->fieldIndex(name).has_value();
}

const std::vector<px::FieldDef>& Table::fieldDefs() const
{
    requireOpen();
    return data_->fields();
}

int Table::codePage() const
{
    requireOpen();
    return data_->info().codePage;
}

void Table::edit()
{
    requireOpen();
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    if (visible_.empty()) {
        append();
        return;
    }
    const std::size_t at = visible_[std::min(pos_, visible_.size() - 1)];
    buffer_ = data_->records()[at];
    buffer_.resize(data_->fields().size());
    state_ = State::Edit;
}

void Table::append()
{
    requireOpen();
    leaveEditing(*this);
    buffer_.assign(data_->fields().size(), px::Value::null());
    // A detail's new record takes the link values of the master's current record.
    if (master_ != nullptr && master_->open_ && !master_->visible_.empty()) {
        for (const std::string& f : linkFields_) {
            const auto mine = data_->fieldIndex(f);
            const auto theirs = master_->data_->fieldIndex(f);
            if (mine && theirs)
                buffer_[*mine] = master_->data_->records()[master_->visible_[std::min(master_->pos_, master_->visible_.size() - 1)]][*theirs];
        }
    }
    state_ = State::Insert;
}

void Table::post()
{
    requireOpen();
    if (state_ == State::Edit)
        throw DatabaseError(name_ + ": Editing records is not supported");
    if (state_ != State::Insert)
        throw DatabaseError(name_ + ": Dataset not in edit or insert mode");
    const std::filesystem::path path = Database::tablePath(name_);
    px::appendRecord(path, buffer_);
    // The record is in the file: re-read the table and stand on it.
    auto fresh = std::make_unique<px::PxTable>(px::PxTable::read(path));
    data_ = std::move(fresh);
    state_ = State::Browse;
    buffer_.clear();
    applyFilter();
    pos_ = 0;
    if (!data_->records().empty()) {
        const std::size_t last = data_->records().size() - 1;
        const auto it = std::find(visible_.begin(), visible_.end(), last);
        if (it != visible_.end())
            pos_ = static_cast<std::size_t>(it - visible_.begin());
    }
    masterMoved();
}

void Table::cancel()
{
    if (state_ == State::Edit || state_ == State::Insert)
        state_ = State::Browse;
    buffer_.clear();
}

Table::State Table::state() const
{
    return open_ ? state_ : State::Inactive;
}

bool Table::findKey(const std::vector<std::string>& keyValues)
{
    requireOpen();
    leaveEditing(*this);
    const auto& fields = data_->fields();
    const std::size_t keyCount = data_->info().keyFieldCount > 0 ? static_cast<std::size_t>(data_->info().keyFieldCount)
                                                                  : fields.size();
    if (keyValues.size() > keyCount)
        throw DatabaseError(name_ + ": more key values (" + std::to_string(keyValues.size()) + ") than key fields");
    const auto matches = [&](const px::Record& rec) {
        for (std::size_t k = 0; k < keyValues.size(); ++k) {
            const px::Value& v = k < rec.size() ? rec[k] : nullValue();
            if (isNumericKind(v.kind)) {
                // A number compares by value when the key is a number ("5" finds 5 and 5,0).
                double key = 0;
                if (!parseNumber(keyValues[k], key) || key != static_cast<double>(numericOf(v)))
                    return false;
            } else if (valueText(v) != keyValues[k]) {
                return false;
            }
        }
        return true;
    };
    for (std::size_t i = 0; i < visible_.size(); ++i) {
        if (matches(data_->records()[visible_[i]])) {
            pos_ = i;
            masterMoved();
            return true;
        }
    }
    return false;
}

bool Table::locateInteger(const std::string& fieldName, std::int64_t value)
{
    requireOpen();
    leaveEditing(*this);
    const auto index = data_->fieldIndex(fieldName);
    if (!index)
        throw DatabaseError(name_ + ": Field '" + fieldName + "' not found");
    for (std::size_t i = 0; i < visible_.size(); ++i) {
        const px::Record& rec = data_->records()[visible_[i]];
        const px::Value& v = *index < rec.size() ? rec[*index] : nullValue();
        bool hit = false;
        if (isNumericKind(v.kind)) {
            hit = numericOf(v) == static_cast<long double>(value);
        } else if (v.kind == px::Value::Kind::Text) {
            std::int64_t n = 0;
            const std::string t = common::trimBlanks(v.bytes);
            const auto r = std::from_chars(t.data(), t.data() + t.size(), n);
            hit = r.ec == std::errc() && r.ptr == t.data() + t.size() && n == value;
        }
        if (hit) {
            pos_ = i;
            masterMoved();
            return true;
        }
    }
    return false;
}

void Table::refresh()
{
    requireOpen();
    leaveEditing(*this);
    const std::size_t current = pos_ < visible_.size() ? visible_[pos_] : std::numeric_limits<std::size_t>::max();
    data_ = std::make_unique<px::PxTable>(px::PxTable::read(Database::tablePath(name_)));
    applyFilter();
    const auto it = std::find(visible_.begin(), visible_.end(), current);
    if (it != visible_.end())
        pos_ = static_cast<std::size_t>(it - visible_.begin());
    else if (pos_ > visible_.size())
        pos_ = visible_.size();
    masterMoved();
}

void Table::setMaster(Table* master, std::vector<std::string> fields)
{
    for (const Table* m = master; m != nullptr; m = m->master_)
        if (m == this)
            throw DatabaseError(name_ + ": a table cannot be its own master");
    if (master_ != nullptr) {
        auto& d = master_->details_;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    master_ = master;
    linkFields_ = std::move(fields);
    if (master_ != nullptr)
        master_->details_.push_back(this);
    if (open_) {
        applyFilter();
        pos_ = 0;
        masterMoved();
    }
}

void Table::emptyTable()
{
    if (open_)
        throw DatabaseError(name_ + ": Cannot perform this operation on an open dataset");
    const std::filesystem::path path = Database::tablePath(name_);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw DatabaseError("Table does not exist: " + name_ + " (" + path.parent_path().string() + ")");
    px::emptyTable(path);
}

void Table::createTable(const std::vector<px::FieldDef>& fields)
{
    if (open_)
        throw DatabaseError(name_ + ": Cannot perform this operation on an open dataset");
    px::createTable(Database::tablePath(name_), fields);
}

bool Table::exists() const
{
    return Database::tableExists(name_);
}

const px::Value& Table::valueAt(std::size_t index) const
{
    requireOpen();
    if (index >= data_->fields().size())
        throw DatabaseError(name_ + ": field number " + std::to_string(index) + " not found");
    if (state_ == State::Edit || state_ == State::Insert)
        return index < buffer_.size() ? buffer_[index] : nullValue();
    // Past the end the cursor still shows the last record; an empty table shows nulls.
    if (visible_.empty())
        return nullValue();
    return data_->value(visible_[std::min(pos_, visible_.size() - 1)], index);
}

void Table::assign(std::size_t index, px::Value value)
{
    requireOpen();
    if (state_ != State::Edit && state_ != State::Insert)
        throw DatabaseError(name_ + ": Dataset not in edit or insert mode");
    if (index >= data_->fields().size())
        throw DatabaseError(name_ + ": field number " + std::to_string(index) + " not found");
    if (buffer_.size() < data_->fields().size())
        buffer_.resize(data_->fields().size());
    buffer_[index] = std::move(value);
}

void Table::applyFilter()
{
    visible_.clear();
    if (!open_ || !data_)
        return;
    const auto& records = data_->records();
    if (master_ == nullptr) {
        visible_.resize(records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            visible_[i] = i;
        return;
    }
    // A detail shows nothing while its master is closed or has no current record.
    if (!master_->open_ || !master_->data_ || master_->visible_.empty() || master_->pos_ >= master_->visible_.size())
        return;
    const px::Record& masterRec = master_->data_->records()[master_->visible_[master_->pos_]];
    std::vector<std::pair<std::size_t, const px::Value*>> link;
    for (const std::string& f : linkFields_) {
        const auto mine = data_->fieldIndex(f);
        if (!mine)
            throw DatabaseError(name_ + ": Field '" + f + "' not found");
        const auto theirs = master_->data_->fieldIndex(f);
        if (!theirs)
            throw DatabaseError(master_->name_ + ": Field '" + f + "' not found");
        link.emplace_back(*mine, *theirs < masterRec.size() ? &masterRec[*theirs] : &nullValue());
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        bool all = true;
        for (const auto& [mine, masterValue] : link) {
            const px::Value& v = mine < records[i].size() ? records[i][mine] : nullValue();
            if (!sameStoredValue(v, *masterValue)) {
                all = false;
                break;
            }
        }
        if (all)
            visible_.push_back(i);
    }
}

void Table::masterMoved()
{
    // Every detail follows this table's current record.
    for (Table* detail : details_) {
        if (detail->open_) {
            leaveEditing(*detail);
            detail->applyFilter();
            detail->pos_ = 0;
            detail->masterMoved();
        }
    }
}

} // namespace ecf::data

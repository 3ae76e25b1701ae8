// The table component: opening and closing, the cursor, lookups, re-reading and emptying.
// Its fields are in field.cpp, the edit buffer in table_edit.cpp, the master-detail link in
// table_link.cpp and the folder lookup in database.cpp.
#include "data/stored_value.h"
#include "data/table.h"

#include "common/errors.h"
#include "common/text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace ecf::data {

using common::DatabaseError;
using detail::leaveEditing;
using namespace detail;

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
    if (std::filesystem::is_directory(path, ec))
        throw DatabaseError("Table " + name_ + ": " + path.string() + " is a folder, not a table file");
    if (!std::filesystem::is_regular_file(path, ec))
        throw DatabaseError("Table does not exist: " + name_ + " (" + path.parent_path().string() + "). " +
                            Database::kWhatToDo);
    data_ = std::make_unique<px::PxTable>(px::PxTable::read(path));
    open_ = true;
    state_ = State::Browse;
    buffer_.clear();
    try {
        applyFilter();
    } catch (...) {
        // A link field missing: the table is not open, so that nothing reads it as if it were.
        open_ = false;
        data_.reset();
        visible_.clear();
        state_ = State::Inactive;
        throw;
    }
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

} // namespace ecf::data

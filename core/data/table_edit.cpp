// The table's edit buffer: editing and appending a record, posting it to the file, and
// the values the fields read and write meanwhile.
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
using detail::nullValue;

void detail::leaveEditing(Table& t)
{
    if (t.state() == Table::State::Insert)
        t.post();
    else if (t.state() == Table::State::Edit)
        t.cancel();
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

} // namespace ecf::data

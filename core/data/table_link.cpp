// The master-detail link: a detail shows the records whose link fields equal its master's
// current record, and follows the master's cursor.
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
using detail::sameStoredValue;

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

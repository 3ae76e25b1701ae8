#pragma once
// Saved copies of coupons that were not printed whole: before the hand-off tables are
// emptied, every record of CFCABEC and CFITENS is copied into a folder of ECF's state
// folder ("saved/ID"), as Paradox tables of the same fields and code page, synced. A copy
// can be put back into empty hand-off tables, so that the coupon prints again once the
// printer is mended.
#include "common/clock.h"
#include "coupon/coupon_journal.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ecf::data {
class Table;
}

namespace ecf::coupon {

struct SavedCoupon {
    std::string id;
    std::filesystem::path folder;
    std::string db;           // the database folder the coupon came from
    bool hasKey = false;      // the key is known
    CouponKey key;            // the pending coupon's key
    std::size_t headers = 0;  // records copied from the header table
    std::size_t items = 0;    // records copied from the items table
    std::string reason;       // why it was saved (UTF-8)
    bool printerClosed = false; // the printer's closing call succeeded: printing it again sells it twice
    std::string when;         // "2026-12-01 10:00:00"
    int codePage = 1252;
};

class SavedCoupons {
public:
    // The "saved" folder of the state folder.
    static SavedCoupons inStateFolder();
    explicit SavedCoupons(std::filesystem::path root);

    // Copies the two tables' records into a new copy, synced before it returns. `db` names the
    // database folder and `key` the pending coupon (none when the header table is empty) in
    // the copy's description. Throws DatabaseError or FileError; a copy
    // that failed half way is not listed.
    SavedCoupon save(const std::filesystem::path& cabecFile, const std::filesystem::path& itensFile,
                     const std::string& db, const std::optional<CouponKey>& key, const std::string& reason,
                     const common::DateTime& now, bool printerClosed = false);

    // The copies not yet put back, oldest first.
    std::vector<SavedCoupon> pending() const;
    std::optional<SavedCoupon> find(const std::string& id) const;

    // Puts a copy back: both hand-off tables must exist and be empty (else DatabaseError, and
    // nothing is written). The items go first and the header last, so that a header never
    // stands without its items; then the copy is marked as put back. The journal of coupon
    // issues beside the saved copies says when it began and ended; when a record cannot be
    // written (a full disk, a value the table refuses) both tables are emptied again before
    // the error goes on, and a putting back cut short by a kill is settled by finishRestores.
    void restore(const SavedCoupon& copy, const std::filesystem::path& cabecFile,
                 const std::filesystem::path& itensFile);

    // Settles every putting back into the tables of `db` that was cut short: done again from
    // the copy when the header table is empty or holds that coupon, else (the host has put
    // another coupon there since) left undone. Returns one UTF-8 line per copy settled, for
    // the cashier. Throws DatabaseError when the tables cannot be written.
    std::vector<std::string> finishRestores(const std::string& db, data::Table& cabec, data::Table& itens);

    // The journal of coupon issues these copies belong to.
    CouponJournal journal() const;

private:
    std::optional<SavedCoupon> load(const std::filesystem::path& folder) const;
    void putBack(const SavedCoupon& copy, const std::filesystem::path& cabecFile,
                 const std::filesystem::path& itensFile);
    std::filesystem::path root_;
};

} // namespace ecf::coupon

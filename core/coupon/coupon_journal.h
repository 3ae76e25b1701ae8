#pragma once
// The journal of coupon issues: a small append-only file in ECF's state folder, one JSON line
// per step, each synced before the program goes on. It tells the next start what happened to
// a coupon whose run ended in the middle: started on the printer, closed by the printer,
// saved, tables being emptied, emptied.
//
// It stays small: once it passes a size, the end of a coupon's hand-off rewrites it (whole,
// synced, renamed over the old one) with every line of the coupons whose tables are still being
// emptied, and, for the latest coupons the printer closed or that were left open on it, a line
// or two that say so, so that their tables are still never printed twice nor printed over an
// open coupon.
#include "common/money.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace ecf::data {
class Table;
}

namespace ecf::coupon {

// A coupon's key in the hand-off tables: Filial, Num_Nota, Tipo_Nota, Cod_Clifor,
// DT_ENTRADA, each as the field's text (bytes in the table's code page).
struct CouponKey {
    static constexpr std::array<const char*, 5> fields{"Filial", "Num_Nota", "Tipo_Nota", "Cod_Clifor", "DT_ENTRADA"};
    std::array<std::string, 5> values;

    // The key of the table's current record; throws DatabaseError when a field is missing.
    static CouponKey of(data::Table& cabec);
    bool operator==(const CouponKey&) const = default;
    // "Num_Nota 123 (Filial 1, Tipo_Nota NF, Cod_Clifor 45, DT_ENTRADA 01/12/2026)", UTF-8.
    std::string describe(int codePage = 1252) const;
};

// What the journal knows of one coupon of one database folder.
struct CouponState {
    bool started = false;      // the first printer call of its issue was about to be made
    bool closing = false;      // its closing stage began
    bool closed = false;       // the printer closed it
    bool openSettled = false;  // started, not closed, and since then "Fecha Cupom Aberto" ran
    bool emptying = false;     // its tables were being emptied (or a copy was saved) and were not yet
    bool restoring = false;    // a saved copy was being put back into its tables and was not yet
    std::string savedId;       // the last saved copy, if any
    std::string restoringId;   // the copy being put back

    // Started on the printer and neither closed nor settled by the operator.
    bool leftOpen() const { return started && !closed && !openSettled; }
};

// The database folder of the alias "VANTIS" as the journal names it (its canonical path).
std::string currentDatabase();

// When the journal is rewritten, and what the rewrite keeps.
struct JournalLimits {
    std::uintmax_t compactAbove = 256 * 1024; // bytes
    std::size_t keepPrinted = 1000;           // past coupons (closed or left open) a rewrite keeps
};

class CouponJournal {
public:
    // The journal file "coupons.journal" in the state folder (created on the first step).
    static CouponJournal inStateFolder();
    explicit CouponJournal(std::filesystem::path file, JournalLimits limits = {});

    const std::filesystem::path& file() const { return file_; }

    // Steps (each synced). `db` is the database folder of the hand-off tables.
    void started(const std::string& db, const CouponKey& key, std::size_t items, common::Money total);
    void closing(const std::string& db, const CouponKey& key);
    void closed(const std::string& db, const CouponKey& key);
    void saved(const std::string& db, const CouponKey& key, const std::string& id);
    void emptying(const std::string& db, const CouponKey& key);
    // The tables were emptied. A coupon the printer had closed has then run its whole course:
    // the same key handed over again later is a new sale.
    void emptied(const std::string& db, const CouponKey& key);
    // Nothing of the coupon reached the printer after all (no printer call was made).
    void unsent(const std::string& db, const CouponKey& key);
    // "Cancela Último Cupom" succeeded: a coupon of `db` the printer had closed and whose
    // tables are still there is not printed any more; printing it again is a new sale.
    void lastCouponCancelled(const std::string& db);
    // The operator ran "Fecha Cupom Aberto": coupons of `db` left open count as settled.
    void openCouponClosed(const std::string& db);
    // A saved copy is being put back into the hand-off tables (written before the first record).
    void restoring(const std::string& db, const CouponKey& key, const std::string& id);
    // A saved copy was put back: the coupon is pending again as if never issued.
    void restored(const std::string& db, const CouponKey& key);
    // A putting back that was cut short was undone: the tables were emptied again.
    void restoreUndone(const std::string& db, const CouponKey& key);

    // What the journal says of a coupon (all false when it never appears).
    CouponState state(const std::string& db, const CouponKey& key) const;
    // Coupons of `db` whose emptying began and did not end, in the order they began.
    std::vector<CouponKey> unfinishedEmptying(const std::string& db) const;
    // Copies of `db` whose putting back began and did not end: their keys and copy ids.
    std::vector<std::pair<CouponKey, std::string>> unfinishedRestores(const std::string& db) const;

private:
    void append(const std::string& step, const std::string& db, const CouponKey* key, const std::string& extra);
    void compactIfLong();

    std::filesystem::path file_;
    JournalLimits limits_;
};

} // namespace ecf::coupon

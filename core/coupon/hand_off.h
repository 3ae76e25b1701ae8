#pragma once
// The hand-off of a sale: the pending coupon of CFCABEC/CFITENS is printed at most once and
// never lost. Before the first printer call the tables are checked (open, one header with its
// items, lockable, writable); each step that matters goes to the journal of coupon issues; a
// coupon not printed whole is copied to the state folder before the tables are emptied; and
// the emptying of both tables, which the next start finishes when it was cut short, counts as
// one step.
#include "common/clock.h"
#include "common/operator_port.h"
#include "common/outcome.h"
#include "coupon/coupon_issue.h"
#include "coupon/coupon_journal.h"
#include "printer/pipeline.h"

#include <memory>
#include <string>

namespace ecf::common {
class Trace;
}

namespace ecf::coupon {

struct HandOffContext {
    common::OperatorPort& op;
    const common::Clock& clock;
    common::Outcome& outcome;
    common::Trace* trace = nullptr;        // the "saved" line (may be null)
    printer::CallWatch* watch = nullptr;   // the call pipeline's watch (null: taken as one successful call)
};

class HandOff {
public:
    explicit HandOff(HandOffContext ctx);

    // Start-up, before the hand-off tables are opened: a putting back of a saved copy and an
    // emptying that the journal shows begun are finished first (the cashier is told of what
    // concerns a coupon not printed whole).
    void finishEmptying(data::Table& cabec, data::Table& itens);

    // Start-up, after the hand-off tables were opened, with a pending coupon: false when it must
    // not be printed in this run (the cashier was told why; the tables were emptied when the
    // printer had closed it, else kept).
    bool mayPrint(data::Table& cabec, data::Table& itens);

    // "Imprimir": the pending coupon read (the fields `driver` lists, filial the branch record),
    // checked and printed by the driver, then the tables emptied. Nothing is printed and the
    // tables are kept when the check before the first printer call fails: tables not ready, a
    // field missing or not convertible, a value that does not fit.
    void print(data::Table& cabec, data::Table& itens, data::Table& filial, printer::FamilyDriver& driver);

private:
    std::string precheck(data::Table& cabec, data::Table& itens);
    std::string save(data::Table& cabec, data::Table& itens, const std::string& db, const CouponKey* key,
                     const std::string& reason, bool printerClosed);
    void keep(data::Table& cabec, data::Table& itens, const std::string& why);
    void empty(data::Table& cabec, data::Table& itens, const std::string& db, const CouponKey& key);
    void step(const std::string& name);

    HandOffContext ctx_;
};

} // namespace ecf::coupon

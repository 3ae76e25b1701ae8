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

#include <functional>
#include <memory>
#include <string>

namespace ecf::common {
class Trace;
}

namespace ecf::coupon {

// What the printer did during a coupon, as the call pipeline saw it.
struct PrinterReport {
    int calls = 0;             // maker calls made
    std::string refusal;       // the first result that is not the family's success value ("" when none)
    bool lastOk = true;        // the latest call's result was its family's success value
};

struct HandOffContext {
    common::OperatorPort& op;
    const common::Clock& clock;
    common::Outcome& outcome;
    common::Trace* trace = nullptr;                 // the "saved" line (may be null)
    std::function<void()> beginWatch;               // starts counting the printer's calls and refusals
    std::function<PrinterReport()> endWatch;        // what was seen since beginWatch
    // Before the first printer call: "" when every value the coupon will send fits the
    // printer's commands, else what does not (UTF-8). Database and conversion errors propagate.
    std::function<std::string()> checkValues;
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

    // "Imprimir": the pending coupon printed through `issue`, then the tables emptied. Nothing is
    // printed and the tables are kept when the check before the first printer call fails.
    // Database and conversion errors of the coupon issue propagate (the tables are kept).
    void print(data::Table& cabec, data::Table& itens, const std::function<IssueResult(IssueObserver&)>& issue);

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

#pragma once
// The coupon issue: prints the pending coupon of the hand-off tables on the printer that
// start-up opened. It walks the items (tax code, item total, registration; the family's
// driver opens the coupon at Num_Item 1), stops at the first item the printer refuses,
// and otherwise runs the closing stage and the receipts. It never looks at a model code.
#include "common/money.h"
#include "printer/printer.h"

namespace ecf::coupon {

enum class IssueResult {
    Completed,  // every item registered, closing stage and receipts run
    Stopped,    // error stop: an opening or a sale failed (its message was shown)
};

// Told when the closing stage begins and when it has returned.
class IssueObserver {
public:
    virtual ~IssueObserver() = default;
    virtual void closing() {}
    virtual void closed() {}
};

// Database and conversion errors propagate to the caller.
IssueResult issueCoupon(printer::FamilyDriver& driver, printer::CouponRecords& records,
                        IssueObserver* observer = nullptr);

} // namespace ecf::coupon

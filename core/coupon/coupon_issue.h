#pragma once
// The coupon issue: prints the sale read from the hand-off tables (sale_reading.h) on the
// printer that start-up opened. It walks the items (tax code, item total, registration; the
// family's driver opens the coupon at Num_Item 1), stops at the first item the printer
// refuses, and otherwise runs the closing stage and the receipts. It never looks at a model
// code, and reads no table.
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

IssueResult issueCoupon(printer::FamilyDriver& driver, const printer::SaleRecord& sale,
                        IssueObserver* observer = nullptr);

} // namespace ecf::coupon

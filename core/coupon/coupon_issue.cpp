#include "coupon/coupon_issue.h"

#include "data/table.h"
#include "printer/value_check.h"

namespace ecf::coupon {

// One reading for the print and for the check of the coupon's values.
common::Money itemTotal(data::Table& itens) { return printer::itemTotal(itens); }

IssueResult issueCoupon(printer::FamilyDriver& driver, printer::CouponRecords& records, IssueObserver* observer)
{
    data::Table& itens = records.itens;
    itens.first();
    while (!itens.eof()) {
        const printer::TaxCode taxCode = driver.resolveTaxCode(records);
        const common::Money total = itemTotal(itens);
        if (!driver.registerItem(records, taxCode, total))
            return IssueResult::Stopped; // the coupon stays open with the items sold so far
        itens.next();
    }

    // Closing stage: the header goes into edit mode (never posted), then totals, payment,
    // closing message and closing; then the delivery receipt and the additional coupon.
    records.cabec.edit();
    if (observer)
        observer->closing();
    driver.closeCoupon(records);
    if (observer)
        observer->closed();
    driver.receipts(records);
    return IssueResult::Completed;
}

} // namespace ecf::coupon

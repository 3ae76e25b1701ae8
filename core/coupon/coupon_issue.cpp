#include "coupon/coupon_issue.h"

#include "data/table.h"
#include "printer/value_check.h"

namespace ecf::coupon {

IssueResult issueCoupon(printer::FamilyDriver& driver, printer::CouponRecords& records, IssueObserver* observer)
{
    data::Table& itens = records.itens;
    itens.first();
    while (!itens.eof()) {
        const printer::TaxCode taxCode = driver.resolveTaxCode(records);
        const common::Money total = printer::itemTotal(itens); // as the value check reads it
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

#include "coupon/coupon_issue.h"

#include "data/table.h"

namespace ecf::coupon {

common::Money itemTotal(data::Table& itens)
{
    // Read in this order, so that a missing field is reported as the first one missing.
    common::Money total = itens.fieldByName("BT_ICMS").asMoney();
    total += itens.fieldByName("BI_ICMS").asMoney();
    total += itens.fieldByName("BO_ICMS").asMoney();
    return total;
}

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

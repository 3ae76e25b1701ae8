#include "coupon/coupon_issue.h"

#include "data/table.h"

namespace ecf::coupon {

common::Money itemTotal(data::Table& itens)
{
    return itens.fieldByName("BT_ICMS").asMoney() + itens.fieldByName("BI_ICMS").asMoney() +
           itens.fieldByName("BO_ICMS").asMoney();
}

IssueResult issueCoupon(printer::FamilyDriver& driver, printer::CouponRecords& records)
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
    driver.closeCoupon(records);
    driver.receipts(records);
    return IssueResult::Completed;
}

} // namespace ecf::coupon

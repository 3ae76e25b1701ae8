#include "coupon/coupon_issue.h"

#include "printer/value_check.h"

namespace ecf::coupon {

IssueResult issueCoupon(printer::FamilyDriver& driver, const printer::SaleRecord& sale, IssueObserver* observer)
{
    for (std::size_t i = 0; i < sale.items.size(); ++i) {
        const printer::SaleItem item = sale.item(i);
        const printer::TaxCode taxCode = driver.resolveTaxCode(item);
        if (!driver.registerItem(item, taxCode, printer::itemTotal(item.item)))
            return IssueResult::Stopped; // the coupon stays open with the items sold so far
    }

    // Closing stage: totals, payment, closing message and closing; then the delivery receipt
    // and the additional coupon.
    if (observer)
        observer->closing();
    driver.closeCoupon(sale);
    if (observer)
        observer->closed();
    driver.receipts(sale);
    return IssueResult::Completed;
}

} // namespace ecf::coupon

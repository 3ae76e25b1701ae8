#pragma once
// What the program sends to a Daruma printer ("DARUMA345", "FS600") for every operation.
#include "printer/family_context.h"
#include "printer/family_driver.h"
#include "printer/daruma/daruma_lib.h"

namespace ecf::printer::daruma {

class DarumaDriver : public FamilyDriver {
public:
    DarumaDriver(FamilyContext& ctx, DarumaLib& lib) : ctx_(ctx), lib_(lib) {}

    void openPort(int velPortSer) override;
    bool start(int velPortSer) override;
    void close() override;

    TaxCode resolveTaxCode(CouponRecords& rec) override;
    bool registerItem(CouponRecords& rec, const TaxCode& taxCode, common::Money itemTotal) override;
    void closeCoupon(CouponRecords& rec) override;
    void receipts(CouponRecords& rec) override;
    std::string checkCoupon(CouponRecords& rec) override;

    void xReading() override;
    void zReduction() override;
    void cancelCoupon(CancelKind kind) override;
    void programPaymentForms(data::Table& formaPtg) override;
    void listPaymentForms(std::vector<std::string>& items) override;
    void fiscalMemory(const std::string& first, const std::string& last) override;

private:
    DarumaLib& lib() { return lib_; }

    FamilyContext& ctx_;
    DarumaLib& lib_;
};


} // namespace ecf::printer::daruma

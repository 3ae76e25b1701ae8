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

    SaleFields saleFields() const override;
    TaxCode resolveTaxCode(const SaleItem& item) override;
    bool registerItem(const SaleItem& item, const TaxCode& taxCode, common::Money itemTotal) override;
    void closeCoupon(const SaleRecord& sale) override;
    void receipts(const SaleRecord& sale) override;
    std::string checkCoupon(const SaleRecord& sale) override;

    void xReading() override;
    void zReduction() override;
    void cancelCoupon(CancelKind kind) override;
    void programPaymentForms(const std::vector<std::string>& descriptions) override;
    void listPaymentForms(std::vector<std::string>& items) override;
    void fiscalMemory(const std::string& first, const std::string& last) override;

private:
    DarumaLib& lib() { return lib_; }

    FamilyContext& ctx_;
    DarumaLib& lib_;
};


} // namespace ecf::printer::daruma

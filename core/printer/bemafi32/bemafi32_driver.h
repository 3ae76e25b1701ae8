#pragma once
// What the program sends to a BemaFI32 printer ("BEMAFI32", "MP2100") for every operation.
#include "printer/family_context.h"
#include "printer/family_driver.h"
#include "printer/bemafi32/bemafi32_lib.h"

namespace ecf::printer::bemafi32 {

class BemaFI32Driver : public FamilyDriver {
public:
    BemaFI32Driver(FamilyContext& ctx, BemaFI32Lib& lib) : ctx_(ctx), lib_(lib) {}

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

    // The printer reply check: true when Bematech_FI_RetornoImpressora answers 1.
    bool replyCheck();

private:
    BemaFI32Lib& lib() { return lib_; }
    void pause(int milliseconds) const;

    FamilyContext& ctx_;
    BemaFI32Lib& lib_;
};

} // namespace ecf::printer::bemafi32

#pragma once
// What the program sends to the Schalter family ("SCHALTER2", "SCHALTER30") through
// dll32phi.dll for every operation.
#include "printer/family_context.h"
#include "printer/family_driver.h"
#include "printer/schalter/schalter_lib.h"
#include "printer/value_check.h"

namespace ecf::printer::schalter {

class SchalterDriver : public FamilyDriver {
public:
    SchalterDriver(FamilyContext& ctx, SchalterLib& lib) : ctx_(ctx), lib_(lib) {}

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
    // The sale's arguments of the current item, read before the opening.
    struct ItemArgs {
        std::string description, total, code, qtyInt, qtyFrac, price;
    };
    ItemArgs itemArgs(const SaleItem& item, common::Money itemTotal, FieldCheck& check);
    // The discount text; empty: no discount is sent.
    std::string discountText(const SaleItem& item, common::Money itemTotal, FieldCheck& check);
    SchalterLib& lib() { return lib_; }
    bool laterCommands() const;
    bool loadFromXReading();
    bool loadFromRegisters();
    // The port selection of the utilities; false (after its message) ends the operation.
    bool selectPortForUtility(const char* com2Prefix);

    FamilyContext& ctx_;
    SchalterLib& lib_;
};

} // namespace ecf::printer::schalter

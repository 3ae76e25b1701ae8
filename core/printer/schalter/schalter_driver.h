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
    // The sale's arguments of the current item, read before the opening.
    struct ItemArgs {
        std::string description, total, code, qtyInt, qtyFrac, price;
    };
    ItemArgs itemArgs(CouponRecords& rec, common::Money itemTotal, FieldCheck& check);
    // The discount text; empty: no discount is sent.
    std::string discountText(CouponRecords& rec, common::Money itemTotal, FieldCheck& check);
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

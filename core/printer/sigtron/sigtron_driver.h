#pragma once
// What the program sends to the Sigtron family ("FS345", "FS300") through the control
// TSigDrCm for every operation. Commands follow the control's convention: LibName, CmdName,
// one SetParameter per parameter, Execute, then ReturnValue for results.
#include "printer/family_context.h"
#include "printer/family_driver.h"
#include "printer/sigtron/sigtron_lib.h"
#include "printer/value_check.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace ecf::printer::sigtron {

class SigtronDriver : public FamilyDriver {
public:
    SigtronDriver(FamilyContext& ctx, SigtronLib& lib) : ctx_(ctx), lib_(lib) {}

    // The opening loop's number of attempts.
    static constexpr int openAttempts = 500000;

    void openPort(int velPortSer) override;
    bool start(int velPortSer) override;
    void close() override;
    bool showsCouponNumber() const override { return laterCommands(); }

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
    SigtronLib& ctl() { return lib_; }
    bool laterCommands() const { return ctx_.model().laterCommands; } // the model speaks the later command set
    void select(const char* lib, const char* cmd);          // LibName and CmdName
    void param(const char* name, const std::u16string& value);
    void run(const char* cmd);                                // a "Fiscal" command without parameters
    void printLine(const std::u16string& line);               // "LinhaTexto" with "TextoLivre"
    bool open();
    // The sale of the current item after the opening, its numbers through `check`; send false:
    // only the values are read and checked.
    void sale(const SaleItem& item, const TaxCode& taxCode, common::Money itemTotal, FieldCheck& check, bool send);
    // The delivery receipt's linked amount (FS345).
    std::string linkedAmount(const RecordValues& cabec, FieldCheck& check);
    bool loadTaxTable();

    FamilyContext& ctx_;
    SigtronLib& lib_;
    std::string paymentLetter_; // set by the FS345 closing, used by its delivery receipt
};

} // namespace ecf::printer::sigtron

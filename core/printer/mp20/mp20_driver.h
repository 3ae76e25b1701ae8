#pragma once
// What the program sends to the Bematech MP-20 ("BEMATECH") through Mp20fi32.dll for every
// operation, and the printer reply check that reads "MP20FI.RET".
#include "printer/family_context.h"
#include "printer/family_driver.h"
#include "printer/mp20/mp20_lib.h"

#include <string>
#include <string_view>

namespace ecf::printer::mp20 {

// A table text made safe to stand inside a command framed by ESC and "|": every control
// byte (below 0x20, and 0x7F) and every "|" becomes a blank; the length is kept.
std::string commandField(std::string_view text);

class Mp20Driver : public FamilyDriver {
public:
    Mp20Driver(FamilyContext& ctx, Mp20Lib& lib) : ctx_(ctx), lib_(lib) {}

    void openPort(int velPortSer) override;
    bool start(int velPortSer) override;
    void close() override;

    bool programsPaymentFormsAtStart() const override { return true; }

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

    // Reads the first line of "MP20FI.RET" into the MP-20 reply text. A missing file shows
    // its message and then throws common::FileError. True when the file was there.
    bool replyCheck();
    const std::string& replyText() const { return replyText_; }

private:
    Mp20Lib& lib() { return lib_; }

    FamilyContext& ctx_;
    Mp20Lib& lib_;
    std::string replyText_; // first line of "MP20FI.RET" as last read by the reply check
    int closingResult_ = 0; // result of the closing command, reported by the receipt under FatModNf 136
};

} // namespace ecf::printer::mp20

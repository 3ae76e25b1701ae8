#pragma once
// What the program sends to the Sigtron family ("FS345", "FS300") through the control
// TSigDrCm for every operation. Commands follow the control's convention: LibName, CmdName,
// one SetParameter per parameter, Execute, then ReturnValue for results.
#include "printer/family_driver.h"
#include "printer/sigtron/sigtron_lib.h"
#include "printer/value_check.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace ecf::printer::sigtron {

class SigtronDriver : public FamilyDriverOf<SigtronLib> {
public:
    using FamilyDriverOf::FamilyDriverOf;

    // The opening loop's number of attempts.
    static constexpr int openAttempts = 500000;

    ECF_FAMILY_DRIVER_OPERATIONS
    bool showsCouponNumber() const override { return laterCommands(); }

private:
    bool laterCommands() const { return ctx_.model().laterCommands; } // the model speaks the later command set
    void select(const char* libName, const char* cmd);          // LibName and CmdName
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

    std::string paymentLetter_; // set by the FS345 closing, used by its delivery receipt
};

} // namespace ecf::printer::sigtron

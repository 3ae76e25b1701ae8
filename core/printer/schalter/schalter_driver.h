#pragma once
// What the program sends to the Schalter family ("SCHALTER2", "SCHALTER30") through
// dll32phi.dll for every operation.
#include "printer/family_driver.h"
#include "printer/schalter/schalter_lib.h"
#include "printer/value_check.h"

namespace ecf::printer::schalter {

class SchalterDriver : public FamilyDriverOf<SchalterLib> {
public:
    using FamilyDriverOf::FamilyDriverOf;

    ECF_FAMILY_DRIVER_OPERATIONS

private:
    // The sale's arguments of the current item, read before the opening.
    struct ItemArgs {
        std::string description, total, code, qtyInt, qtyFrac, price;
    };
    ItemArgs itemArgs(const SaleItem& item, common::Money itemTotal, FieldCheck& check);
    // The discount text; empty: no discount is sent.
    std::string discountText(const SaleItem& item, common::Money itemTotal, FieldCheck& check);
    bool laterCommands() const;
    bool loadFromXReading();
    bool loadFromRegisters();
    // The port selection of the utilities; false (after its message) ends the operation.
    bool selectPortForUtility(const char* com2Prefix);

};

} // namespace ecf::printer::schalter

#pragma once
// What the program sends to a BemaFI32 printer ("BEMAFI32", "MP2100") for every operation.
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/family_driver.h"

namespace ecf::printer::bemafi32 {

class BemaFI32Driver : public FamilyDriverOf<BemaFI32Lib> {
public:
    using FamilyDriverOf::FamilyDriverOf;

    ECF_FAMILY_DRIVER_OPERATIONS
    // The printer reply check: true when Bematech_FI_RetornoImpressora answers 1.
    bool replyCheck();

private:
    void pause(int milliseconds) const;

};

} // namespace ecf::printer::bemafi32

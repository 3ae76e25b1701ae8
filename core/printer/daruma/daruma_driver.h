#pragma once
// What the program sends to a Daruma printer ("DARUMA345", "FS600") for every operation.
#include "printer/daruma/daruma_lib.h"
#include "printer/family_driver.h"

namespace ecf::printer::daruma {

class DarumaDriver : public FamilyDriverOf<DarumaLib> {
public:
    using FamilyDriverOf::FamilyDriverOf;

    ECF_FAMILY_DRIVER_OPERATIONS
};

} // namespace ecf::printer::daruma

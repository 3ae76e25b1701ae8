#pragma once
// The BemaFI32 family ("BEMAFI32", "MP2100"): its entry in the list of families.
#include "printer/family.h"

namespace ecf::printer::bemafi32 {

extern const FamilyEntry family;

} // namespace ecf::printer::bemafi32

#pragma once
// The MP-20 family ("BEMATECH"): its entry in the list of families.
#include "printer/family.h"

namespace ecf::printer::mp20 {

extern const FamilyEntry family;

} // namespace ecf::printer::mp20

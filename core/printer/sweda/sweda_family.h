#pragma once
// The Sweda family ("SWEDA"): its entry in the list of families.
#include "printer/family.h"

namespace ecf::printer::sweda {

extern const FamilyEntry family;

} // namespace ecf::printer::sweda

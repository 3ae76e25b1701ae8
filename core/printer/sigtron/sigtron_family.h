#pragma once
// The Sigtron family ("FS345", "FS300"): its entry in the list of families.
#include "printer/family.h"

namespace ecf::printer::sigtron {

extern const FamilyEntry family;

} // namespace ecf::printer::sigtron

#pragma once
// The Daruma family ("DARUMA345", "FS600"): its entry in the list of families.
#include "printer/family.h"

namespace ecf::printer::daruma {

extern const FamilyEntry family;

} // namespace ecf::printer::daruma

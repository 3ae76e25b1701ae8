#pragma once
// The Schalter family ("SCHALTER2", "SCHALTER30"): its entry in the list of families.
#include "printer/family.h"

namespace ecf::printer::schalter {

extern const FamilyEntry family;

} // namespace ecf::printer::schalter

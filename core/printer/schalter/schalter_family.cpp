#include "printer/schalter/schalter_family.h"

#include "printer/family_parts.h"
#include "printer/schalter/schalter_driver.h"
#include "printer/schalter/schalter_emulator.h"

namespace ecf::printer::schalter {

namespace {

ECF_FAMILY_PARTS(Parts, SchalterLib, ECF_SCHALTER_FUNCTIONS, SchalterEmulator, SchalterDriver);

constexpr Model models[] = {
    //     code          later  feed
    Model{"SCHALTER2", false, 6},
    Model{"SCHALTER30", true, 9},
};

} // namespace

const FamilyEntry family{"schalter", models, &SchalterLib::library, &Parts::make};

} // namespace ecf::printer::schalter

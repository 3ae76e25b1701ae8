#include "printer/schalter/schalter_family.h"

#include "printer/library/hosted_call.h"
#include "printer/schalter/schalter_driver.h"
#include "printer/schalter/schalter_emulator.h"
#include "printer/traced_call.h"

namespace ecf::printer::schalter {

namespace {

ECF_TRACED_CLASS(SchalterTraced, SchalterLib, ECF_SCHALTER_FUNCTIONS);
ECF_HOSTED_CLASS(HostedSchalter, SchalterLib, ECF_SCHALTER_FUNCTIONS);
using Parts = FamilyParts<SchalterLib, SchalterEmulator, SchalterTraced, HostedSchalter, SchalterDriver>;

constexpr Model models[] = {
    //     code          later  feed
    Model{"SCHALTER2", false, 6},
    Model{"SCHALTER30", true, 9},
};

} // namespace

const FamilyEntry family{"schalter", models, &SchalterLib::library, &Parts::make};

} // namespace ecf::printer::schalter

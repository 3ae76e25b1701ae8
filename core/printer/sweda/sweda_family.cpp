#include "printer/sweda/sweda_family.h"

#include "printer/library/hosted_call.h"
#include "printer/sweda/sweda_driver.h"
#include "printer/sweda/sweda_emulator.h"
#include "printer/traced_call.h"

namespace ecf::printer::sweda {

namespace {

ECF_TRACED_CLASS(SwedaTraced, SwedaLib, ECF_SWEDA_FUNCTIONS);
ECF_HOSTED_CLASS(HostedSweda, SwedaLib, ECF_SWEDA_FUNCTIONS);
using Parts = FamilyParts<SwedaLib, SwedaEmulator, SwedaTraced, HostedSweda, SwedaDriver>;

constexpr Model models[] = {{"SWEDA"}};

} // namespace

const FamilyEntry family{"sweda", models, &SwedaLib::library, &Parts::make};

} // namespace ecf::printer::sweda

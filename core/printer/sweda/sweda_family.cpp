#include "printer/sweda/sweda_family.h"

#include "printer/family_parts.h"
#include "printer/sweda/sweda_driver.h"
#include "printer/sweda/sweda_emulator.h"

namespace ecf::printer::sweda {

namespace {

ECF_FAMILY_PARTS(Parts, SwedaLib, ECF_SWEDA_FUNCTIONS, SwedaEmulator, SwedaDriver);

constexpr Model models[] = {{"SWEDA"}};

} // namespace

const FamilyEntry family{"sweda", models, &SwedaLib::library, &Parts::make};

} // namespace ecf::printer::sweda

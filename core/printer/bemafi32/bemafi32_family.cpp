#include "printer/bemafi32/bemafi32_family.h"

#include "printer/family_parts.h"
#include "printer/bemafi32/bemafi32_driver.h"
#include "printer/bemafi32/bemafi32_emulator.h"

namespace ecf::printer::bemafi32 {

namespace {

ECF_FAMILY_PARTS(Parts, BemaFI32Lib, ECF_BEMAFI32_FUNCTIONS, BemaFI32Emulator, BemaFI32Driver);

constexpr Model models[] = {{"BEMAFI32"}, {"MP2100"}};

} // namespace

const FamilyEntry family{"bemafi32", models, &BemaFI32Lib::library, &Parts::make};

} // namespace ecf::printer::bemafi32

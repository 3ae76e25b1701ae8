#include "printer/bemafi32/bemafi32_family.h"

#include "printer/bemafi32/bemafi32_driver.h"
#include "printer/bemafi32/bemafi32_emulator.h"
#include "printer/library/hosted_call.h"
#include "printer/traced_call.h"

namespace ecf::printer::bemafi32 {

namespace {

ECF_TRACED_CLASS(BemaFI32Traced, BemaFI32Lib, ECF_BEMAFI32_FUNCTIONS);
ECF_HOSTED_CLASS(HostedBemaFI32, BemaFI32Lib, ECF_BEMAFI32_FUNCTIONS);
using Parts = FamilyParts<BemaFI32Lib, BemaFI32Emulator, BemaFI32Traced, HostedBemaFI32, BemaFI32Driver>;

constexpr Model models[] = {{"BEMAFI32"}, {"MP2100"}};

} // namespace

const FamilyEntry family{"bemafi32", models, &BemaFI32Lib::library, &Parts::make};

} // namespace ecf::printer::bemafi32

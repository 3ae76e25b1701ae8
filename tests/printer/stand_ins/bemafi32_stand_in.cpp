// Stand-in for the BemaFI32 library: its functions, answered by our emulator.
#include "printer/bemafi32/bemafi32_emulator.h"
#include "stand_in.h"

namespace {
using Lib = ecf::printer::bemafi32::BemaFI32Lib;
ecf::printer::bemafi32::BemaFI32Emulator& emu()
{
    static ecf::printer::bemafi32::BemaFI32Emulator e(standin::printer());
    return e;
}
} // namespace

STANDIN_LIBRARY(ECF_BEMAFI32_FUNCTIONS)

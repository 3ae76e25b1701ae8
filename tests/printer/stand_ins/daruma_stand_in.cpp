// Stand-in for the Daruma library: its functions, answered by our emulator.
#include "printer/daruma/daruma_emulator.h"
#include "stand_in.h"

namespace {
using Lib = ecf::printer::daruma::DarumaLib;
ecf::printer::daruma::DarumaEmulator& emu()
{
    static ecf::printer::daruma::DarumaEmulator e(standin::printer());
    return e;
}
} // namespace

STANDIN_LIBRARY(ECF_DARUMA_FUNCTIONS)

// Stand-in for the Schalter library: the maker's functions, answered by our emulator.
#include "printer/schalter/schalter_emulator.h"
#include "stand_in.h"

namespace {
using Lib = ecf::printer::schalter::SchalterLib;
ecf::printer::schalter::SchalterEmulator& emu()
{
    static ecf::printer::schalter::SchalterEmulator e(standin::printer());
    return e;
}
} // namespace

STANDIN_LIBRARY(ECF_SCHALTER_FUNCTIONS)

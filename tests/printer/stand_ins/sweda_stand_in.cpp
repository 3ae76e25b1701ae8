// Stand-in for the Sweda library, under the names its three ordinals are given.
#include "printer/sweda/sweda_emulator.h"
#include "stand_in.h"

#if defined(_WIN32)
// SWECF.DLL has no names: the functions are exported by ordinal only (sweda_stand_in.def).
#undef STANDIN_EXPORT
#define STANDIN_EXPORT extern "C"
#endif

namespace {
using Lib = ecf::printer::sweda::SwedaLib;
ecf::printer::sweda::SwedaEmulator& emu()
{
    static ecf::printer::sweda::SwedaEmulator e(standin::printer());
    return e;
}
} // namespace

STANDIN_LIBRARY(ECF_SWEDA_FUNCTIONS)

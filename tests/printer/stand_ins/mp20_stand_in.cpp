// Stand-in for the MP-20 library: writes its replies to "MP20FI.RET" in the current folder.
// Built with STANDIN_WITHOUT_FORMATATX, a library that lacks FormataTX.
#include "printer/mp20/mp20_emulator.h"
#include "stand_in.h"

#include <filesystem>

namespace {
using Lib = ecf::printer::mp20::Mp20Lib;
ecf::printer::mp20::Mp20Emulator& emu()
{
    static ecf::printer::mp20::Mp20Emulator e(standin::printer(), std::filesystem::current_path());
    return e;
}
} // namespace

#ifndef STANDIN_WITHOUT_FORMATATX
STANDIN_LIBRARY(ECF_MP20_FUNCTIONS)
#else
namespace standin::c {
STANDIN_FUNCTION(int, IniPortaStr, (Text port), (port))
}
#endif

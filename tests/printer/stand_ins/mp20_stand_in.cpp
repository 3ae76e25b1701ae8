// Stand-in for the MP-20 library: writes its replies to "MP20FI.RET" in the current folder.
#include "printer/mp20/mp20_emulator.h"
#include "stand_in.h"

#include <filesystem>

namespace {
ecf::printer::mp20::Mp20Emulator& emu()
{
    static ecf::printer::mp20::Mp20Emulator e(standin::printer(), std::filesystem::current_path());
    return e;
}
} // namespace

STANDIN_EXPORT int STANDIN_CALL IniPortaStr(const char* port) { return standin::enter("IniPortaStr"), emu().IniPortaStr(port); }
#ifndef STANDIN_WITHOUT_FORMATATX
STANDIN_EXPORT int STANDIN_CALL FormataTX(const char* command) { return standin::enter("FormataTX"), emu().FormataTX(command); }
#endif

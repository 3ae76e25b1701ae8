// Stand-in for the Sweda library, under the names its three ordinals are given.
#include "printer/sweda/sweda_emulator.h"
#include "stand_in.h"

#if defined(_WIN32)
// SWECF.DLL has no names: the functions are exported by ordinal only (sweda_stand_in.def).
#undef STANDIN_EXPORT
#define STANDIN_EXPORT extern "C"
#endif

namespace {
ecf::printer::sweda::SwedaEmulator& emu()
{
    static ecf::printer::sweda::SwedaEmulator e(standin::printer());
    return e;
}
} // namespace

STANDIN_EXPORT int STANDIN_CALL SwedaOpen(int port, int a, int b, int c)
{
    return standin::enter("SwedaOpen"), emu().SwedaOpen(port, a, b, c);
}
STANDIN_EXPORT int STANDIN_CALL SwedaSend(const char* command) { return standin::enter("SwedaSend"), emu().SwedaSend(command); }
STANDIN_EXPORT int STANDIN_CALL SwedaRead(char* reply, int maxLength)
{
    return standin::enter("SwedaRead", reply), emu().SwedaRead(reply, maxLength);
}

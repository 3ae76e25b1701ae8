#pragma once
// The Bematech MP-20 library Mp20fi32.dll. FormataTX writes its reply as the first line of the
// file "MP20FI.RET" in the current folder. IniPortaStr fails with 0; FormataTX succeeds with 0.
#include "printer/maker_function.h"

#define ECF_MP20_FUNCTIONS(F)                                                                           \
    F(int, IniPortaStr, (Text port), (port), .success = nonZero, .failure = 0)                           \
    F(int, FormataTX, (Text command), (command), .success = zero, .failure = -1)

namespace ecf::printer::mp20 {

ECF_MAKER_INTERFACE(Mp20Lib, ECF_MP20_FUNCTIONS, "mp20", "ECF_LIB_MP20");

} // namespace ecf::printer::mp20

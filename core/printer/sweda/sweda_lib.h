#pragma once
// The Sweda library SWECF.DLL, whose functions have ordinals only: 1 open, 3 send, 4 read
// (traced, and looked up in its Linux form, as "SwedaOpen", "SwedaSend", "SwedaRead"). 0 is
// success. The reply buffer is 513 bytes, of which a read fills at most the count it is given.
#include "printer/maker_function.h"

#define ECF_SWEDA_FUNCTIONS(F)                                                                          \
    F(int, SwedaOpen, (int port, int a, int b, int c), (port, a, b, c), .success = zero, .failure = -1,  \
      .ordinal = 1)                                                                                      \
    F(int, SwedaSend, (RawText command), (command), .success = zero, .failure = -1, .ordinal = 3)        \
    F(int, SwedaRead, (RawBuffer reply, int maxLength), (reply, maxLength), .success = anyResult, .failure = -1, .buffer = 513, \
      .ordinal = 4)

namespace ecf::printer::sweda {

ECF_MAKER_INTERFACE(SwedaLib, ECF_SWEDA_FUNCTIONS, "sweda", "ECF_LIB_SWEDA");

} // namespace ecf::printer::sweda

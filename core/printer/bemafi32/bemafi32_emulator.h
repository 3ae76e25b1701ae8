#pragma once
// BEMAFI32.DLL as the emulated printer answers it.
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/emulated_printer.h"

namespace ecf::printer::bemafi32 {

class BemaFI32Emulator : public Emulator<BemaFI32Lib> {
public:
    using Emulator::Emulator;

    ECF_BEMAFI32_FUNCTIONS(ECF_MAKER_OVERRIDE)
};

} // namespace ecf::printer::bemafi32

#pragma once
// BEMAFI32.DLL as the emulated printer answers it.
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/emulated_printer.h"

namespace ecf::printer::bemafi32 {

class BemaFI32Emulator : public BemaFI32Lib {
public:
    explicit BemaFI32Emulator(EmulatedPrinter& printer) : printer_(printer) {}

    ECF_BEMAFI32_FUNCTIONS(ECF_MAKER_OVERRIDE)

private:
    EmulatedPrinter& printer_;
};

} // namespace ecf::printer::bemafi32

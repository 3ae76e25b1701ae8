#pragma once
// Daruma32.dll as the emulated printer answers it.
#include "printer/daruma/daruma_lib.h"
#include "printer/emulated_printer.h"

namespace ecf::printer::daruma {

class DarumaEmulator : public Emulator<DarumaLib> {
public:
    using Emulator::Emulator;

    ECF_DARUMA_FUNCTIONS(ECF_MAKER_OVERRIDE)
};

} // namespace ecf::printer::daruma

#pragma once
// The emulated Schalter printer behind dll32phi.dll: every call succeeds (0; ChangePort(n)
// returns n), the X-reading and register texts describe the emulated printer's tax
// registers, and what a real printer would print goes to the emulated paper tape.
#include "printer/emulated_printer.h"
#include "printer/schalter/schalter_lib.h"

namespace ecf::printer::schalter {

class SchalterEmulator : public Emulator<SchalterLib> {
public:
    using Emulator::Emulator;

    ECF_SCHALTER_FUNCTIONS(ECF_MAKER_OVERRIDE)
};

} // namespace ecf::printer::schalter

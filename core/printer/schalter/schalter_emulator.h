#pragma once
// The emulated Schalter printer behind dll32phi.dll: every call succeeds (0; ChangePort(n)
// returns n), the X-reading and register texts describe the emulated printer's tax
// registers, and what a real printer would print goes to the emulated paper tape.
#include "printer/emulated_printer.h"
#include "printer/schalter/schalter_lib.h"

namespace ecf::printer::schalter {

class SchalterEmulator : public SchalterLib {
public:
    explicit SchalterEmulator(EmulatedPrinter& printer) : p_(printer) {}

    ECF_SCHALTER_FUNCTIONS(ECF_MAKER_OVERRIDE)

private:
    EmulatedPrinter& p_;
};

} // namespace ecf::printer::schalter

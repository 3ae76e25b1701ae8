#pragma once
// Daruma32.dll as the emulated printer answers it.
#include "printer/daruma/daruma_lib.h"
#include "printer/emulated_printer.h"

namespace ecf::printer::daruma {

class DarumaEmulator : public DarumaLib {
public:
    explicit DarumaEmulator(EmulatedPrinter& printer) : printer_(printer) {}

    ECF_DARUMA_FUNCTIONS(ECF_MAKER_OVERRIDE)

private:
    EmulatedPrinter& printer_;
};

} // namespace ecf::printer::daruma

#pragma once
// The Sweda library as the emulated printer answers it: commands "ESC . number fields }" are
// carried out on the EmulatedPrinter, and the reply of the last command waits for the read.
#include "printer/emulated_printer.h"
#include "printer/sweda/sweda_lib.h"

#include <string>

namespace ecf::printer::sweda {

class SwedaEmulator : public Emulator<SwedaLib> {
public:
    using Emulator::Emulator;

    ECF_SWEDA_FUNCTIONS(ECF_MAKER_OVERRIDE)

private:
    void sale(const std::string& fields);
    void discount(const std::string& fields);
    void payment(const std::string& fields);
    void closing(const std::string& fields);
    void programForms(const std::string& fields);
    std::string taxGroup(int reg) const;   // 7 characters: label and rate of register reg (0-based)
    std::string form(std::size_t i) const; // payment form i as 15 characters

    std::string pendingReply_;
};

} // namespace ecf::printer::sweda

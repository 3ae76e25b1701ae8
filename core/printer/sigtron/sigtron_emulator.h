#pragma once
// The emulated Sigtron control TSigDrCm: Open succeeds, every command runs, the reading
// commands answer through ReturnValue (tax rates in the slot layout of the configured model,
// the coupon number), and printed texts go to the emulated paper tape.
#include "printer/emulated_printer.h"
#include "printer/sigtron/sigtron_lib.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ecf::printer::sigtron {

class SigtronEmulator : public Emulator<SigtronLib> {
public:
    using Emulator::Emulator;

    ECF_SIGTRON_FUNCTIONS(ECF_MAKER_OVERRIDE)

private:
    std::string param(const char* name) const;  // UTF-8 text of a parameter of the running command
    std::string taxRatesValue() const;           // "Valor" of LeituraAliquotaFiscalCarregada
    void run(const std::string& lib, const std::string& cmd);
    void addItem(long long cents, const std::string& discountPercent); // prints the item's total

    std::u16string cmdFileName_, commConfig_, libName_, cmdName_;
    std::vector<std::pair<std::u16string, std::u16string>> params_;  // since the last Execute
    std::map<std::u16string, std::u16string> results_;               // of the last Execute
};

} // namespace ecf::printer::sigtron

#pragma once
// The emulated Bematech MP-20 behind Mp20fi32.dll: IniPortaStr and every FormataTX command
// succeed; after each FormataTX the reply line for that command is written to "MP20FI.RET"
// in the working folder (tax rates, payment-form index, payment-form list), and what the
// printer prints goes to the emulated paper tape.
#include "printer/emulated_printer.h"
#include "printer/mp20/mp20_lib.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ecf::printer::mp20 {

class Mp20Emulator : public Emulator<Mp20Lib> {
public:
    Mp20Emulator(EmulatedPrinter& printer, std::filesystem::path workDir)
        : Emulator(printer), workDir_(std::move(workDir))
    {
    }

    ECF_MP20_FUNCTIONS(ECF_MAKER_OVERRIDE)

    static constexpr std::size_t maxPaymentForms = 50;

private:
    std::string run(const std::vector<std::string>& fields); // the reply line
    std::string paymentFormIndex(const std::string& name);
    void writeReply(const std::string& line);

    std::filesystem::path workDir_;
    // What the last writeReply left, and the file's identity and times right after it.
    bool written_ = false;
    std::string lastReply_;
    struct stat lastStat_ {};
};

} // namespace ecf::printer::mp20

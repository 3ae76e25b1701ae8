#pragma once
// TfoRelMemoriaFiscal: the fiscal-memory reading for a range of dates. It has no show
// handler, so the two dates keep what was typed last time.
#include <string>

namespace ecf::common {
class OperatorPort;
class Outcome;
}
namespace ecf::printer {
class Printer;
}

namespace ecf::utilities {

class RelMemoriaFiscal {
public:
    static constexpr const char* emptyDate = "  /  /    "; // the untouched masked edit
    // `outcome` (may be null) hears of a reading the printer refused.
    RelMemoriaFiscal(common::OperatorPort& op, printer::Printer& printer, common::Outcome* outcome = nullptr);

    std::string maskEdit1 = emptyDate; // first date, "dd/mm/yyyy"
    std::string maskEdit2 = emptyDate; // last date
    void printReading();               // "OK": the reading, then the window closes
    void closeWindow();                // "Fechar"

private:
    common::OperatorPort& op_;
    printer::Printer& printer_;
    common::Outcome* outcome_;
};

} // namespace ecf::utilities

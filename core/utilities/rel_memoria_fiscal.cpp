#include "utilities/rel_memoria_fiscal.h"

#include "common/operator_port.h"
#include "printer/printer.h"
#include "utilities/printer_watch.h"

namespace ecf::utilities {

RelMemoriaFiscal::RelMemoriaFiscal(common::OperatorPort& op, printer::Printer& printer, common::Outcome* outcome)
    : op_(op), printer_(printer), outcome_(outcome)
{
}

void RelMemoriaFiscal::printReading()
{
    // A date that does not convert ends the handler here: nothing sent, the window stays.
    runWatched(printer_, outcome_, [this] { printer_.driver().fiscalMemory(maskEdit1, maskEdit2); });
    op_.closeWindow(common::Window::RelMemoriaFiscal);
}

void RelMemoriaFiscal::closeWindow()
{
    op_.closeWindow(common::Window::RelMemoriaFiscal);
}

} // namespace ecf::utilities

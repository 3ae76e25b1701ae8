#include "utilities/rel_memoria_fiscal.h"

#include "common/operator_port.h"
#include "printer/printer.h"

namespace ecf::utilities {

RelMemoriaFiscal::RelMemoriaFiscal(common::OperatorPort& op, printer::Printer& printer)
    : op_(op), printer_(printer)
{
}

void RelMemoriaFiscal::printReading()
{
    // A date that does not convert ends the handler here: nothing sent, the window stays.
    printer_.driver().fiscalMemory(maskEdit1, maskEdit2);
    op_.closeWindow(common::Window::RelMemoriaFiscal);
}

void RelMemoriaFiscal::closeWindow()
{
    op_.closeWindow(common::Window::RelMemoriaFiscal);
}

} // namespace ecf::utilities

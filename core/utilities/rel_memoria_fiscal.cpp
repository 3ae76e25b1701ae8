#include "utilities/rel_memoria_fiscal.h"

#include "app/application.h"
#include "printer/printer.h"

namespace ecf::utilities {

RelMemoriaFiscal::RelMemoriaFiscal(app::Application& app) : app_(app) {}

void RelMemoriaFiscal::button1Click()
{
    // A date that does not convert ends the handler here: nothing sent, the window stays.
    app_.printer().driver().fiscalMemory(maskEdit1, maskEdit2);
    app_.op().closeWindow(app::Window::RelMemoriaFiscal);
}

void RelMemoriaFiscal::button2Click()
{
    app_.op().closeWindow(app::Window::RelMemoriaFiscal);
}

} // namespace ecf::utilities

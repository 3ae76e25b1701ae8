#pragma once
// TfoUtilEcf, the utilities window: the fiscal day operations on the printer that start-up
// opened. Created by "Utilitários", destroyed when closed. The window's buttons, in order,
// run xReading() to closeWindow().
#include "data/table.h"

#include <functional>
#include <string>
#include <vector>

namespace ecf::common {
class OperatorPort;
class Outcome;
struct StartupConfig;
}
namespace ecf::printer {
class Printer;
}
namespace ecf::access {
class AccessCheck;
}

namespace ecf::utilities {

// The Descricao of every record of the open FormaPtg table (bytes), in its order: the payment
// forms a printer is programmed with.
std::vector<std::string> paymentFormDescriptions(data::Table& formaPtg);

class UtilEcf {
public:
    UtilEcf(common::OperatorPort& op, common::StartupConfig& config, printer::Printer& printer,
            access::AccessCheck& access, common::Outcome& outcome);

    void onShow();               // re-reads FatModNf, PortaEcf, ModeloEcf into the start-up configuration
    void xReading();             // "Leitura X", after a confirmation
    void zReduction();           // "Redução Z", behind the password check and a confirmation
    void cancelLastCoupon();     // "Cancela Último Cupom", after a confirmation
    void closeOpenCoupon();      // "Fecha Cupom Aberto"
    void programPaymentForms();  // "Cadastra Formas Pgto.": sends FormaPtg.db, then lists the printer's forms
    void openFiscalMemory();     // "Leitura Memória Fiscal": shows the fiscal-memory window
    void closeWindow();          // "Fechar"

    // Called after the printer took "Fecha Cupom Aberto".
    std::function<void()> openCouponClosed;
    // Told when "Cancela Último Cupom" succeeded.
    std::function<void()> lastCouponCancelled;

    data::Table TFormaPagto{"FormaPtg.db"};
    data::Table TFilial{"Filial.DB"};

private:
    bool checks();        // port text and model code configured
    bool confirmed(const std::string& question); // Yes only; else the outcome says why not
    // A refusal: the outcome says so, and the system log when the operation is named there.
    // True when the printer took every call.
    bool onPrinter(const std::function<void()>& operation, const char* logName = nullptr);

    common::OperatorPort& op_;
    common::StartupConfig& config_;
    printer::Printer& printer_;
    access::AccessCheck& access_;
    common::Outcome& outcome_;
};

} // namespace ecf::utilities

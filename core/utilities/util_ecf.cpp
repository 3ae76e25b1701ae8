#include "utilities/util_ecf.h"

#include "access/access_check.h"
#include "common/operator_port.h"
#include "common/outcome.h"
#include "common/startup_config.h"
#include "common/system_log.h"
#include "utilities/printer_watch.h"
#include "printer/pipeline.h"
#include "printer/printer.h"

namespace ecf::utilities {

UtilEcf::UtilEcf(common::OperatorPort& op, common::StartupConfig& config, printer::Printer& printer,
                 access::AccessCheck& access, common::Outcome& outcome)
    : op_(op), config_(config), printer_(printer), access_(access), outcome_(outcome)
{
}

bool UtilEcf::confirmed(const std::string& question)
{
    // These operations cannot be taken back: a box closed without an answer stops them as No does.
    const common::Answer a = op_.confirm(question);
    if (a == common::Answer::Yes)
        return true;
    outcome_.notDone(a == common::Answer::No ? "the operator answered No" : "the question was closed without an answer");
    return false;
}

void UtilEcf::onShow()
{
    const data::CloseOnExit guard(TFilial);
    TFilial.open();
    common::StartupConfig& cfg = config_;
    if (TFilial.eof()) {
        // No branch record: every field reads empty.
        cfg.fatModNf = 0;
        cfg.portaEcf.clear();
        cfg.modeloEcf.clear();
    } else {
        cfg.fatModNf = TFilial.fieldByName("FatModNf").asInteger();
        cfg.portaEcf = TFilial.fieldByName("PortaEcf").asString();
        cfg.modeloEcf = TFilial.fieldByName("ModeloEcf").asString();
    }
    TFilial.close();
}

bool UtilEcf::checks()
{
    const common::StartupConfig& cfg = config_;
    if (cfg.portaEcf.empty()) {
        op_.info("Porta da ECF nao cadastrada");
        return false;
    }
    if (cfg.modeloEcf.empty()) {
        op_.info("Modelo da ECF nao cadastrado");
        return false;
    }
    return true;
}

bool UtilEcf::onPrinter(const std::function<void()>& operation, const char* logName)
{
    const std::string refusal = runWatched(printer_, &outcome_, operation);
    if (!refusal.empty() && logName)
        common::systemLog(std::string(logName) + " refused by the printer (model " + config_.modeloEcf + "): " + refusal);
    return refusal.empty();
}

void UtilEcf::xReading()
{
    if (!confirmed("Confirma Emissão da Leitura X ?"))
        return;
    if (!checks())
        return;
    onPrinter([this] { printer_.driver().xReading(); }, "X reading");
}

void UtilEcf::zReduction()
{
    if (!access_.AutorizaAcesso(1)) {
        outcome_.notDone("access denied");
        return;
    }
    if (!confirmed("Confirma Emissão da Redução Z ?"))
        return;
    if (!checks())
        return;
    onPrinter([this] { printer_.driver().zReduction(); }, "Z reduction");
}

void UtilEcf::cancelLastCoupon()
{
    if (!confirmed("Confirma Cancelamento do Último Cupom ?"))
        return;
    if (!checks())
        return;
    if (onPrinter([this] { printer_.driver().cancelCoupon(printer::CancelKind::LastCoupon); },
                  "cancel of the last coupon") &&
        lastCouponCancelled)
        lastCouponCancelled();
}

void UtilEcf::closeOpenCoupon()
{
    if (!checks())
        return;
    // Only a close the printer took settles a coupon left open.
    if (onPrinter([this] { printer_.driver().cancelCoupon(printer::CancelKind::OpenCoupon); },
                  "close of the open coupon")
        && openCouponClosed)
        openCouponClosed();
}

std::vector<std::string> paymentFormDescriptions(data::Table& formaPtg)
{
    std::vector<std::string> descriptions;
    for (formaPtg.first(); !formaPtg.eof(); formaPtg.next())
        descriptions.push_back(formaPtg.fieldByName("Descricao").asString());
    return descriptions;
}

void UtilEcf::programPaymentForms()
{
    {
        const data::CloseOnExit guard(TFormaPagto);
        TFormaPagto.open();
        onPrinter([this] { printer_.driver().programPaymentForms(paymentFormDescriptions(TFormaPagto)); });
        TFormaPagto.close();
    }
    op_.showWindow(common::Window::MostraFormasPagamentoECF);
}

void UtilEcf::openFiscalMemory()
{
    op_.showWindow(common::Window::RelMemoriaFiscal);
}

void UtilEcf::closeWindow()
{
    op_.closeWindow(common::Window::UtilEcf);
}

} // namespace ecf::utilities

#include "utilities/util_ecf.h"

#include "access/access_check.h"
#include "common/operator_port.h"
#include "common/startup_config.h"
#include "printer/printer.h"

namespace ecf::utilities {

UtilEcf::UtilEcf(common::OperatorPort& op, common::StartupConfig& config, printer::Printer& printer,
                 access::AccessCheck& access)
    : op_(op), config_(config), printer_(printer), access_(access)
{
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

void UtilEcf::xReading()
{
    if (op_.confirm("Confirma Emissão da Leitura X ?") == common::Answer::No)
        return;
    if (!checks())
        return;
    printer_.driver().xReading();
}

void UtilEcf::zReduction()
{
    if (!access_.AutorizaAcesso(1))
        return;
    if (op_.confirm("Confirma Emissão da Redução Z ?") == common::Answer::No)
        return;
    if (!checks())
        return;
    printer_.driver().zReduction();
}

void UtilEcf::cancelLastCoupon()
{
    if (op_.confirm("Confirma Cancelamento do Último Cupom ?") == common::Answer::No)
        return;
    if (!checks())
        return;
    printer_.driver().cancelCoupon(printer::CancelKind::LastCoupon);
}

void UtilEcf::closeOpenCoupon()
{
    if (!checks())
        return;
    printer_.driver().cancelCoupon(printer::CancelKind::OpenCoupon);
}

void UtilEcf::programPaymentForms()
{
    {
        const data::CloseOnExit guard(TFormaPagto);
        TFormaPagto.open();
        printer_.driver().programPaymentForms(TFormaPagto);
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

#include "utilities/util_ecf.h"

#include "access/access_check.h"
#include "app/application.h"
#include "printer/printer.h"

namespace ecf::utilities {

UtilEcf::UtilEcf(app::Application& app) : app_(app) {}

void UtilEcf::onShow()
{
    const data::CloseOnExit guard(TFilial);
    TFilial.open();
    app::StartupConfig& cfg = app_.config();
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
    const app::StartupConfig& cfg = app_.config();
    if (cfg.portaEcf.empty()) {
        app_.op().info("Porta da ECF nao cadastrada");
        return false;
    }
    if (cfg.modeloEcf.empty()) {
        app_.op().info("Modelo da ECF nao cadastrado");
        return false;
    }
    return true;
}

void UtilEcf::button1Click()
{
    if (app_.op().confirm("Confirma Emissão da Leitura X ?") == app::Answer::No)
        return;
    if (!checks())
        return;
    app_.printer().driver().xReading();
}

void UtilEcf::button2Click()
{
    if (!app_.access().AutorizaAcesso(1))
        return;
    if (app_.op().confirm("Confirma Emissão da Redução Z ?") == app::Answer::No)
        return;
    if (!checks())
        return;
    app_.printer().driver().zReduction();
}

void UtilEcf::button3Click()
{
    if (app_.op().confirm("Confirma Cancelamento do Último Cupom ?") == app::Answer::No)
        return;
    if (!checks())
        return;
    app_.printer().driver().cancelCoupon(printer::CancelKind::LastCoupon);
}

void UtilEcf::button4Click()
{
    if (!checks())
        return;
    app_.printer().driver().cancelCoupon(printer::CancelKind::OpenCoupon);
}

void UtilEcf::button5Click()
{
    {
        const data::CloseOnExit guard(TFormaPagto);
        TFormaPagto.open();
        app_.printer().driver().programPaymentForms(TFormaPagto);
        TFormaPagto.close();
    }
    app_.op().showWindow(app::Window::MostraFormasPagamentoECF);
}

void UtilEcf::button6Click()
{
    app_.op().showWindow(app::Window::RelMemoriaFiscal);
}

void UtilEcf::button7Click()
{
    app_.op().closeWindow(app::Window::UtilEcf);
}

} // namespace ecf::utilities

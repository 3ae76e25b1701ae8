#include "Program.h"

#include "QtOperator.h"
#include "TFormSenha.h"
#include "TfoBobina.h"
#include "TfoMostraFormasPagamentoECF.h"
#include "TfoQtdCopias.h"
#include "TfoRelMemoriaFiscal.h"
#include "TfoTipoImpr.h"
#include "TfoTolvar.h"
#include "TfoUtilEcf.h"
#include "app/application.h"

namespace ecf::gui {

Program::Program(ecf::app::Application& app, QtOperator& op)
{
    tolvar_ = std::make_unique<TfoTolvar>(app);
    formasPagamento_ = std::make_unique<TfoMostraFormasPagamentoECF>(app);
    relMemoriaFiscal_ = std::make_unique<TfoRelMemoriaFiscal>(app);
    formSenha_ = std::make_unique<TFormSenha>();
    tipoImpr_.reset(new TfoTipoImpr(app));
    qtdCopias_.reset(new TfoQtdCopias(app));
    bobina_ = std::make_unique<TfoBobina>(app.printer());
    op.attach(app, {tolvar_.get(), formasPagamento_.get(), relMemoriaFiscal_.get(), formSenha_.get(), bobina_.get()});
    // The windows opened from the main window close with it: nothing reaches the printer
    // once the main window has closed it. The paper tape stays to be read.
    QObject::connect(tolvar_.get(), &TfoTolvar::closing, tolvar_.get(), [this, &op] {
        if (TfoUtilEcf* u = op.utilEcfWindow())
            u->close();
        for (QWidget* w : {static_cast<QWidget*>(formasPagamento_.get()), static_cast<QWidget*>(relMemoriaFiscal_.get()),
                           tipoImpr_.get(), qtdCopias_.get()})
            if (w)
                w->hide();
    });
}

Program::~Program()
{
    // The utilities window, a child of the main window, goes with it; the others in the
    // reverse order of their creation.
    bobina_.reset();
    qtdCopias_.reset();
    tipoImpr_.reset();
    formSenha_.reset();
    relMemoriaFiscal_.reset();
    formasPagamento_.reset();
    tolvar_.reset();
}

} // namespace ecf::gui

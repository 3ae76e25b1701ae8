// ecf: the desktop program. Creates the program's objects and windows in the order of its
// start, shows the main window (whose show handler runs the start-up sequence) and runs the
// event loop until the main window closes.
#include "QtOperator.h"
#include "TFormSenha.h"
#include "TfoMostraFormasPagamentoECF.h"
#include "TfoRelMemoriaFiscal.h"
#include "TfoTolvar.h"
#include "app/application.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>
#include <memory>
#include <optional>

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("ECF");
    QApplication::setQuitOnLastWindowClosed(false); // the main window ends the program

    ecf::gui::QtOperator op;
    std::optional<ecf::app::Application> app;
    try {
        app.emplace(ecf::app::Application::optionsFromEnvironment(op));
    } catch (const std::exception& e) {
        // For instance an ECF_EMULATOR file that is not valid: nothing runs half configured.
        op.error(e.what());
        return 1;
    }

    // The windows go before the application they refer to.
    auto tolvar = std::make_unique<TfoTolvar>(*app);
    auto formasPagamento = std::make_unique<TfoMostraFormasPagamentoECF>(*app);
    auto relMemoriaFiscal = std::make_unique<TfoRelMemoriaFiscal>(*app);
    auto formSenha = std::make_unique<TFormSenha>(tolvar.get());
    // The data module is the application's own (Application::dmFilial()).
    // TODO: the report dialogs, once they exist:
    // auto tipoImpr = std::unique_ptr<QWidget>(new TfoTipoImpr(*app));
    // auto qtdCopias = std::unique_ptr<QWidget>(new TfoQtdCopias(*app));
    op.attach(*app, {tolvar.get(), formasPagamento.get(), relMemoriaFiscal.get(), formSenha.get()});

    QObject::connect(tolvar.get(), &TfoTolvar::closed, &qapp, &QApplication::quit, Qt::QueuedConnection);
    tolvar->show();
    return qapp.exec();
}

// ecf: the desktop program. Creates the program's objects and windows in the order of its
// start, shows the main window (whose show handler runs the start-up sequence) and runs the
// event loop until the main window closes (or, when the emulated printer's paper tape is open,
// until that closes too).
#include "DesktopConventions.h"
#include "Program.h"
#include "QtOperator.h"
#include "TfoBobina.h"
#include "TfoTolvar.h"
#include "app/application.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string_view>

#ifndef ECF_VERSION
#define ECF_VERSION "0.0.0"
#endif

namespace {

constexpr const char* kHelp =
    "uso: ecf [--help | --version]\n"
    "\n"
    "O programa de caixa do ECF: imprime na impressora fiscal o cupom que o sistema de vendas\n"
    "deixou nas tabelas da pasta VANTIS_DIR e faz as operações do dia (Leitura X, Redução Z,\n"
    "cancelamento do último cupom, formas de pagamento, leitura da memória fiscal).\n"
    "Não recebe argumentos: as variáveis de ambiente o configuram (as mesmas do ecf-cli).\n"
    "\n"
    "  VANTIS_DIR    a pasta do banco de dados do sistema de vendas (tabelas Paradox)\n"
    "  ECF_TRACE     o arquivo onde acrescentar o registro de chamadas (uma linha JSON cada)\n"
    "  ECF_EMULATOR  um arquivo JSON de respostas prontas para a impressora emulada\n"
    "  ECF_STATE_DIR o estado do próprio ECF (padrão ~/.local/state/ecf)\n"
    "  ECF_DRIVE_C   a pasta que faz as vezes da unidade C: (Printers.txt; padrão ~/.ecf/C)\n"
    "  ECF_LIB_*     a biblioteca do fabricante da impressora (veja man ecf-cli)\n"
    "\n"
    "Sem janelas, para automação e suporte: ecf-cli help. Manual: man ecf.\n";

// Whether Qt will look for a display of the desktop session: with none, its platform plugin
// would abort the program with a message of its own.
bool needsDisplay(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return false;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) {
        const std::string_view p(platform);
        if (p.substr(0, 3) != "xcb" && p.substr(0, 7) != "wayland")
            return false;
    }
    return true;
}

bool hasDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (a == "--version") {
            std::puts("ecf " ECF_VERSION);
            return 0;
        }
    }
    if (needsDisplay(argc, argv) && !hasDisplay()) {
        std::fputs("ecf: não há tela gráfica (DISPLAY e WAYLAND_DISPLAY vazias): inicie o ecf numa sessão "
                   "gráfica, ou use o ecf-cli no terminal.\n",
                   stderr);
        return 1;
    }

    QApplication qapp(argc, argv);
    QApplication::setApplicationName("ECF");
    QApplication::setQuitOnLastWindowClosed(false); // the main window ends the program
    ecf::gui::applyDesktopConventions(qapp);

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
    ecf::gui::Program program(*app, op);
    // The paper tape stays readable after the main window has closed; the program ends when
    // neither is open.
    const auto quitWhenBothClosed = [&program] {
        if (!program.tolvar().isVisible() && !program.bobina().isVisible())
            QApplication::quit();
    };
    QObject::connect(&program.tolvar(), &TfoTolvar::closed, &qapp, quitWhenBothClosed, Qt::QueuedConnection);
    QObject::connect(&program.bobina(), &TfoBobina::closed, &qapp, quitWhenBothClosed, Qt::QueuedConnection);
    program.tolvar().show();
    return qapp.exec();
}

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

#include <exception>
#include <optional>

int main(int argc, char** argv)
{
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

#include "app/application.h"
#include "app/main_window.h"
#include "commands.h"
#include "common/outcome.h"
#include "session.h"

#include <ostream>

namespace ecf::cli {

namespace {

// What the run came to, in one plain line: the hand-off's own summary, else what is known here.
std::string summaryLine(app::Application& app, bool clicked, bool errorEndedAHandler)
{
    const common::Outcome& outcome = app.outcome();
    if (!outcome.summary().empty())
        return outcome.summary();
    if (errorEndedAHandler)
        return "not finished: an error ended a handler (the exception shown above)";
    app::MainWindow& w = app.main();
    if (w.button1Action() == app::MainWindow::Button1Action::TefIntegration)
        return "nothing printed: the TEF switch is on (Button1 only closes)";
    if (clicked)
        return outcome.isNotDone() ? "not done: " + outcome.why() : std::string("printed");
    if (w.TCabec.active() && w.TCabec.isEmpty())
        return "nothing to print";
    std::string line = "nothing printed";
    if (outcome.isNotDone())
        line += ": " + outcome.why();
    if (w.TCabec.active() && !w.TCabec.isEmpty())
        line += "; the coupon stays pending";
    return line;
}

} // namespace

std::string PrintCommand::description() const
{
    return "start up, press Button1 of the main window (\"Imprimir\"), close";
}

int PrintCommand::run(const std::vector<std::string>& argsIn, Streams& io)
{
    std::vector<std::string> args = argsIn;
    const bool showPaper = takeShowPaper(args);
    if (!args.empty())
        throw UsageError("print takes no arguments but --show-paper");

    Session s(io, showPaper);
    if (!s.start())
        return kExitError;
    s.showMain();
    // Whatever its caption; a disabled button (no pending coupon) takes no click.
    const bool clicked = s.app().main().button1Enabled();
    if (clicked)
        s.run([&s] { s.app().main().finishSale(); });
    const std::string summary = summaryLine(s.app(), clicked, s.console().exceptionCount() > 0);
    const int status = s.finish();
    io.out << summary << '\n' << std::flush;
    return status;
}

} // namespace ecf::cli

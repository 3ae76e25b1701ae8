#include "app/application.h"
#include "app/main_window.h"
#include "commands.h"
#include "session.h"

namespace ecf::cli {

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
    if (s.app().main().button1Enabled())
        s.run([&s] { s.app().main().finishSale(); });
    return s.finish();
}

} // namespace ecf::cli

#include "app/application.h"
#include "app/main_window.h"
#include "commands.h"
#include "session.h"
#include "utilities/rel_memoria_fiscal.h"
#include "utilities/util_ecf.h"

namespace ecf::cli {

int UtilityCommand::run(const std::vector<std::string>& argsIn, Streams& io)
{
    std::vector<std::string> args = argsIn;
    const bool showPaper = takeShowPaper(args);
    if (!args.empty())
        throw UsageError(name() + " takes no arguments but --show-paper");

    Session s(io, showPaper);
    if (!s.start())
        return kExitError;
    s.app().main().offerSavedCopies = false; // its input lines are the utility's
    s.showMain();
    s.openUtilities();
    const Operation op = operation();
    s.run([&s, op] {
        if (utilities::UtilEcf* u = s.app().utilEcf())
            (u->*op)();
    });
    s.closeUtilities();
    return s.finish();
}

std::string FiscalMemoryCommand::description() const
{
    return "fiscal-memory reading, dates dd/mm/yyyy (\"\" leaves a field untouched)";
}

int FiscalMemoryCommand::run(const std::vector<std::string>& argsIn, Streams& io)
{
    std::vector<std::string> args = argsIn;
    const bool showPaper = takeShowPaper(args);
    if (args.size() != 2)
        throw UsageError("fiscal-memory takes two dates, FIRST and LAST");

    Session s(io, showPaper);
    if (!s.start())
        return kExitError;
    s.app().main().offerSavedCopies = false; // its input lines are the utility's
    s.showMain();
    s.openUtilities();
    s.run([&s] {
        if (utilities::UtilEcf* u = s.app().utilEcf())
            u->openFiscalMemory();
    });
    // The reading runs when the window was shown; an empty argument leaves its field as it is.
    auto& rel = s.app().relMemoriaFiscal();
    if (!args[0].empty())
        rel.maskEdit1 = args[0];
    if (!args[1].empty())
        rel.maskEdit2 = args[1];
    if (s.console().relMemoriaFiscalShown())
        s.run([&rel] { rel.printReading(); });
    s.closeUtilities();
    return s.finish();
}

} // namespace ecf::cli

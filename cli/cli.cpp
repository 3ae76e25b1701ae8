#include "commands.h"

#include <ostream>
#include <sstream>

#ifndef ECF_VERSION
#define ECF_VERSION "0.0.0"
#endif

namespace ecf::cli {

std::unique_ptr<Command> makeShowTableCommand(); // show_table_command.cpp

const std::vector<std::unique_ptr<Command>>& allCommands()
{
    static const std::vector<std::unique_ptr<Command>> commands = [] {
        std::vector<std::unique_ptr<Command>> c;
        c.push_back(std::make_unique<PrintCommand>());
        c.push_back(std::make_unique<XReadingCommand>());
        c.push_back(std::make_unique<ZReductionCommand>());
        c.push_back(std::make_unique<CancelLastCommand>());
        c.push_back(std::make_unique<CloseOpenCommand>());
        c.push_back(std::make_unique<PaymentFormsCommand>());
        c.push_back(std::make_unique<FiscalMemoryCommand>());
        c.push_back(std::make_unique<PendingCommand>());
        c.push_back(std::make_unique<RestoreCommand>());
        c.push_back(std::make_unique<MakeDemoCommand>());
        c.push_back(std::make_unique<ShowModelCommand>());
        c.push_back(std::make_unique<ShowTraceCommand>());
        c.push_back(makeShowTableCommand());
        c.push_back(std::make_unique<HelpCommand>());
        c.push_back(std::make_unique<VersionCommand>());
        return c;
    }();
    return commands;
}

std::string usageText()
{
    std::ostringstream s;
    s << "usage: ecf-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& c : allCommands()) {
        std::string syn = "  " + c->synopsis();
        if (syn.size() < 44)
            syn.resize(44, ' ');
        else
            syn += "\n" + std::string(44, ' ');
        s << syn << c->description() << '\n';
    }
    s << "\n--show-paper prints the emulated printer's paper tape when the command ends.\n"
         "\nenvironment:\n"
         "  VANTIS_DIR    the folder of the host database (Paradox tables)\n"
         "  ECF_TRACE     append the trace (one JSON line per printer call and per box) to this file\n"
         "  ECF_EMULATOR  a JSON file of canned results for the emulated printer\n"
         "  ECF_STATE_DIR ECF's own state (journal of coupon issues, saved coupons); default\n"
         "                $XDG_STATE_HOME/ecf, else ~/.local/state/ecf\n"
         "  ECF_DRIVE_C   the folder that stands for drive C: (Printers.txt; default ~/.ecf/C)\n"
         "  ECF_LIB_SCHALTER, ECF_LIB_MP20, ECF_LIB_SWEDA, ECF_LIB_DARUMA, ECF_LIB_BEMAFI32\n"
         "                the file of that family's maker library, loaded in ecf-maker-host instead\n"
         "                of the emulator; ECF_LIB_TIMEOUT: seconds one call may take (default 90)\n"
         "\nanswers, from standard input, one line per question, read only when a question is asked:\n"
         "  confirmation: yes, y, sim, s / no, n, nao, n\xC3\xA3o; an empty line, close or the end of input\n"
         "                close the box without an answer; any other line is asked for again, and\n"
         "                after the third the box is closed\n"
         "  password:     the operation password; with the user panel also the user code and the\n"
         "                user's password; cancel (or the end of input) cancels the dialog\n"
         "\nexit status:\n"
         "  0  what was asked was done (or there was nothing to do)\n"
         "  1  it ended at an error: an error ended one of the program's handlers (shown as\n"
         "     [exception]), or the program could not start (a bad ECF_EMULATOR or ECF_TRACE file),\n"
         "     or a utility command (make-demo, show-model, show-trace, show-table,\n"
         "     pending, restore) failed\n"
         "  2  usage error\n"
         "  3  it was not done: the printer refused or failed, access was denied, the operator\n"
         "     declined (No, or a question closed without an answer), or the coupon was refused\n"
         "     before its first call (a field missing or not converting, a value too wide for its\n"
         "     field: nothing printed, the tables kept)\n"
         "  with 1 and 3 one line on standard error says why\n";
    return s.str();
}

int HelpCommand::run(const std::vector<std::string>& args, Streams& io)
{
    if (!args.empty())
        throw UsageError("help takes no arguments");
    io.out << usageText();
    return kExitOk;
}

int VersionCommand::run(const std::vector<std::string>& args, Streams& io)
{
    if (!args.empty())
        throw UsageError("version takes no arguments");
    io.out << "ecf-cli " << ECF_VERSION << '\n';
    return kExitOk;
}

int runCli(const std::vector<std::string>& args, Streams& io)
{
    if (args.empty()) {
        io.err << usageText();
        return kExitUsage;
    }
    std::string name = args.front();
    if (name == "--help" || name == "-h")
        name = "help";
    else if (name == "--version")
        name = "version";
    for (const auto& c : allCommands()) {
        if (c->name() != name)
            continue;
        try {
            return c->run(std::vector<std::string>(args.begin() + 1, args.end()), io);
        } catch (const UsageError& e) {
            io.err << "ecf-cli: " << e.what() << "\n\n" << usageText();
            return kExitUsage;
        }
    }
    io.err << "ecf-cli: unknown command '" << name << "'\n\n" << usageText();
    return kExitUsage;
}

} // namespace ecf::cli

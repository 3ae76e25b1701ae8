#pragma once
// The commands of ecf-cli.
#include "command.h"
#include "utilities/util_ecf.h"

#include <memory>

namespace ecf::cli {

// print: start-up, Button1 of the main window whatever its caption (when it is enabled),
// then the main window closes.
class PrintCommand : public Command {
public:
    std::string name() const override { return "print"; }
    std::string synopsis() const override { return "print [--show-paper]"; }
    std::string description() const override;
    int run(const std::vector<std::string>& args, Streams& io) override;
};

// The utilities window's printer operations: start-up, "Utilitários", the operation, the
// utilities window and the main window close.
class UtilityCommand : public Command {
public:
    using Operation = void (utilities::UtilEcf::*)();
    std::string synopsis() const override { return name() + " [--show-paper]"; }
    int run(const std::vector<std::string>& args, Streams& io) override;

protected:
    virtual Operation operation() const = 0;
};

class XReadingCommand : public UtilityCommand {
public:
    std::string name() const override { return "x-reading"; }
    std::string description() const override { return "X reading (utilities window, \"Leitura X\")"; }

protected:
    Operation operation() const override { return &utilities::UtilEcf::xReading; }
};

class ZReductionCommand : public UtilityCommand {
public:
    std::string name() const override { return "z-reduction"; }
    std::string description() const override { return "Z reduction, behind the password check (\"Redução Z\")"; }

protected:
    Operation operation() const override { return &utilities::UtilEcf::zReduction; }
};

class CancelLastCommand : public UtilityCommand {
public:
    std::string name() const override { return "cancel-last"; }
    std::string description() const override { return "cancel the last coupon (\"Cancela Último Cupom\")"; }

protected:
    Operation operation() const override { return &utilities::UtilEcf::cancelLastCoupon; }
};

class CloseOpenCommand : public UtilityCommand {
public:
    std::string name() const override { return "close-open"; }
    std::string description() const override { return "close a coupon left open (\"Fecha Cupom Aberto\")"; }

protected:
    Operation operation() const override { return &utilities::UtilEcf::closeOpenCoupon; }
};

class PaymentFormsCommand : public UtilityCommand {
public:
    std::string name() const override { return "payment-forms"; }
    std::string description() const override { return "program the payment forms and list them (\"Cadastra Formas Pgto.\")"; }

protected:
    Operation operation() const override { return &utilities::UtilEcf::programPaymentForms; }
};

class FiscalMemoryCommand : public Command {
public:
    std::string name() const override { return "fiscal-memory"; }
    std::string synopsis() const override { return "fiscal-memory FIRST LAST [--show-paper]"; }
    std::string description() const override;
    int run(const std::vector<std::string>& args, Streams& io) override;
};

class PendingCommand : public Command {
public:
    std::string name() const override { return "pending"; }
    std::string synopsis() const override { return "pending"; }
    std::string description() const override;
    int run(const std::vector<std::string>& args, Streams& io) override;
};

class RestoreCommand : public Command {
public:
    std::string name() const override { return "restore"; }
    std::string synopsis() const override { return "restore ID"; }
    std::string description() const override;
    int run(const std::vector<std::string>& args, Streams& io) override;
};

class MakeDemoCommand : public Command {
public:
    std::string name() const override { return "make-demo"; }
    std::string synopsis() const override { return "make-demo DIR [--model CODE]"; }
    std::string description() const override;
    int run(const std::vector<std::string>& args, Streams& io) override;
};

class ShowModelCommand : public Command {
public:
    std::string name() const override { return "show-model"; }
    std::string synopsis() const override { return "show-model DIR"; }
    std::string description() const override { return "the printer model code of the branch record in DIR/Filial.DB"; }
    int run(const std::vector<std::string>& args, Streams& io) override;
};

class ShowTraceCommand : public Command {
public:
    std::string name() const override { return "show-trace"; }
    std::string synopsis() const override { return "show-trace FILE"; }
    std::string description() const override { return "a trace file in a form a person reads, one line per event"; }
    int run(const std::vector<std::string>& args, Streams& io) override;
};

class VersionCommand : public Command {
public:
    std::string name() const override { return "version"; }
    std::string synopsis() const override { return "version"; }
    std::string description() const override { return "the program's version"; }
    int run(const std::vector<std::string>& args, Streams& io) override;
};

class HelpCommand : public Command {
public:
    std::string name() const override { return "help"; }
    std::string synopsis() const override { return "help"; }
    std::string description() const override { return "this text"; }
    int run(const std::vector<std::string>& args, Streams& io) override;
};

// Every command, in the order of the help text.
const std::vector<std::unique_ptr<Command>>& allCommands();
// The usage text (help prints it on standard output, a usage error on standard error).
std::string usageText();
// Runs ecf-cli with its arguments (without the program name); returns the exit status.
int runCli(const std::vector<std::string>& args, Streams& io);

} // namespace ecf::cli

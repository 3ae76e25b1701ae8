#pragma once
// The program's objects, as created at start: the main window's logic, the payment-form
// listing, the fiscal-memory window, the password check, the data module, the report
// dialogs' settings, the printer connection. Both front ends (the Qt program and ecf-cli)
// create one Application and drive its windows' handlers; every handler they call runs
// through handle(), the application's default error handler.
#include "common/operator_port.h"
#include "common/startup_config.h"
#include "common/clock.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace ecf::common {
class Trace;
class Outcome;
}
namespace ecf::printer {
class Printer;
namespace library {
class LibrarySources;
}
class CannedResults;
}
namespace ecf::access {
class AccessCheck;
}
namespace ecf::utilities {
class UtilEcf;
class MostraFormasPagamento;
class RelMemoriaFiscal;
}

namespace ecf::app {

class MainWindow;
class DMFilial;

class Application {
public:
    struct Options {
        common::OperatorPort* op = nullptr;                // required; the trace decorator is added here
        std::shared_ptr<common::Trace> trace;              // may be null (no trace)
        std::shared_ptr<printer::CannedResults> canned;    // may be null
        const common::Clock* clock = nullptr;              // null: the system clock
        std::filesystem::path workDir;                     // empty: the current folder
        std::shared_ptr<printer::library::LibrarySources> libraries; // null: the emulator serves all
    };
    // Reads ECF_TRACE, ECF_EMULATOR and the ECF_LIB_ variables into options (throws common::ConfigError naming the file
    // when the canned file is not valid JSON or not of the documented shape).
    static Options optionsFromEnvironment(common::OperatorPort& op);

    explicit Application(Options options);
    ~Application();

    // The application's default error handler: runs one window event; an error that ends it
    // is shown through the operator port ("exception") and the program goes on.
    void handle(const std::function<void()>& event);

    common::OperatorPort& op();                 // the port as the core uses it (traced when tracing)
    common::Outcome& outcome();         // what the operator's request came to
    common::Trace* trace();             // null when not tracing
    common::StartupConfig& config();
    const common::Clock& clock() const;
    printer::Printer& printer();
    MainWindow& main();                 // TfoTolvar
    DMFilial& dmFilial();               // TDMFilial with TAcesso
    access::AccessCheck& access();      // AutorizaAcesso and TFormSenha's logic
    utilities::MostraFormasPagamento& formasPagamento(); // TfoMostraFormasPagamentoECF
    utilities::RelMemoriaFiscal& relMemoriaFiscal();     // TfoRelMemoriaFiscal

    // The utilities window exists from a click on "Utilitários" until it is closed.
    utilities::UtilEcf* utilEcf();
    utilities::UtilEcf& createUtilEcf();
    void destroyUtilEcf();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace ecf::app

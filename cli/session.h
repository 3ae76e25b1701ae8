#pragma once
// One run of the program's objects for a command: the application made from the environment
// (ECF_TRACE, ECF_EMULATOR), its handlers run as the operator would click them, and the exit
// status at the end.
#include "command.h"
#include "console_operator.h"

#include <functional>
#include <memory>

namespace ecf::app {
class Application;
}

namespace ecf::cli {

class Session {
public:
    Session(Streams& io, bool showPaper);
    ~Session();

    // Creates the program's objects. false: they could not be made (the reason is on the
    // error stream); the command then ends with status 1.
    bool start();
    app::Application& app();
    ConsoleOperator& console() { return op_; }

    // Runs one window event through the application's default error handler; a utilities
    // window that asked to be closed is destroyed once the event has returned.
    void run(const std::function<void()>& event);

    // Start-up: the main window is shown.
    void showMain();
    // "Utilitários": the utilities window is created and shown.
    void openUtilities();
    // The utilities window closed by its frame (when it still exists).
    void closeUtilities();
    // The main window closes (its close handler runs); the paper tape is printed on request.
    // Returns the exit status: 1 when an error ended a handler, 3 when a maker library failed,
    // else 0.
    int finish();

private:
    Streams& io_;
    bool showPaper_;
    ConsoleOperator op_;
    std::unique_ptr<app::Application> app_;
};

// Takes "--show-paper" out of args; true when it was there.
bool takeShowPaper(std::vector<std::string>& args);

} // namespace ecf::cli

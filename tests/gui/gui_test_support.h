#pragma once
// Helpers of the desktop program's tests: the one QApplication of the test program, a script
// that answers modal boxes and dialogs as they come up, and the program on a small database
// in a temporary folder with the emulated printer.
#include "support/test_support.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class QWidget;

namespace ecf::app {
class Application;
}
namespace ecf::gui {
class Program;
class QtOperator;
}

namespace ecf::test {

// The test program's QApplication (made on first use; any test of the folder may call it).
QApplication& qtApp();

// Answers the modal boxes and dialogs in the order they come up. Each one is noted in `seen`
// as "kind: text" (kind: message, info, error, confirm, password, modal); a box with no step
// left is closed from its frame.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;
    ModalScript();

    std::vector<std::string> seen;
    ModalScript& then(Step step);
    std::size_t pending() const { return steps_.size(); }

    static Step yes();
    static Step no();
    static Step ok();
    static Step escape();
    static Step closeFrame();
    // Types into TFormSenha with the keyboard (Enter after each field) and ends with OK.
    static Step typePassword(std::string senha);
    static Step typePassword(std::string senha, std::string usuario, std::string senhaUsuario);
    static Step cancelPassword();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void poll();
    std::deque<Step> steps_;
    QTimer timer_;
};

struct DemoDatabase {
    std::string model = "BEMAFI32";
    std::string port = "1";
    bool tef = false;
    bool pendingCoupon = false;
    std::string fatModNf = "1"; // a text field, so that a test can put a non-number in it
};

// The program as the desktop starts it, on its own database and trace.
class GuiProgram {
public:
    explicit GuiProgram(const DemoDatabase& db = {});
    ~GuiProgram();

    std::filesystem::path tracePath() const { return dir.path() / "trace.jsonl"; }
    std::vector<std::string> calls() const; // "fn(args)" of the printer calls so far

    TempDir dir;
    ScopedEnv vantis;
    ModalScript script;
    std::unique_ptr<ecf::gui::QtOperator> op;
    std::unique_ptr<ecf::app::Application> app;
    std::unique_ptr<ecf::gui::Program> program;
};

// Processes the windows' deferred deletions (a closed utilities window goes then).
void processDeletions();

} // namespace ecf::test

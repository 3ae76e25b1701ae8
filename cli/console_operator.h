#pragma once
// The operator port of ecf-cli: boxes and questions are printed on standard output for a
// person to read; answers come from standard input, one line per question, read only when a
// question is asked. Typed passwords and user codes are never printed.
#include "common/operator_port.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace ecf::app {
class Application;
}

namespace ecf::cli {

class ConsoleOperator : public common::OperatorPort {
public:
    ConsoleOperator(std::istream& in, std::ostream& out);

    // The application whose windows' show handlers run when a window is shown.
    void attach(app::Application* app) { app_ = app; }

    void message(const std::string& text) override;
    void info(const std::string& text) override;
    void error(const std::string& text) override;
    void exception(const std::string& text) override;
    common::Answer confirm(const std::string& text) override;
    common::PasswordEntry password(const std::string& caption, bool userPanel) override;
    void mainShown(const common::MainWindowState& state) override;
    void listShown(const std::vector<std::string>& items) override;
    void showWindow(common::Window window) override;
    void closeWindow(common::Window window) override;

    int exceptionCount() const { return exceptions_; }
    const std::string& lastException() const { return lastException_; }
    bool relMemoriaFiscalShown() const { return relShown_; }
    // The utilities window asked to be closed; it is destroyed once the running handler has
    // returned (takeUtilEcfClose() tells and forgets).
    bool takeUtilEcfClose();

    // The answer words: yes, y, sim, s / no, n, nao, não (any letter case) answer; "close" or an
    // empty line close the box; nothing for a line not understood (it is asked for again).
    static std::optional<common::Answer> parseAnswer(const std::string& line);
    static constexpr int kMaxAsks = 3; // answers not understood before the box is closed

private:
    std::optional<std::string> readLine();

    std::istream& in_;
    std::ostream& out_;
    app::Application* app_ = nullptr;
    int exceptions_ = 0;
    std::string lastException_;
    bool relShown_ = false;
    bool utilClose_ = false;
};

} // namespace ecf::cli

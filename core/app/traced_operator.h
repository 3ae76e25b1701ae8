#pragma once
// The trace decorator of an operator port: every box, question and window state that reaches
// the operator is also written to the trace as one "ui" line, then (or, for questions, after
// the answer) the call goes on to the port it wraps. Typed passwords and user codes are never
// written.
#include "common/operator_port.h"

#include <memory>

namespace ecf::common {
class Trace;
}

namespace ecf::app {

class TracedOperator : public common::OperatorPort {
public:
    TracedOperator(common::OperatorPort& inner, std::shared_ptr<common::Trace> trace);

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

    // The JSON lines as written, for the tests and for anyone who wants the same form.
    static std::string boxLine(const std::string& kind, const std::string& text);
    static std::string confirmLine(const std::string& text, common::Answer answer);
    static std::string passwordLine(const std::string& caption, bool userPanel, bool ok);
    static std::string mainLine(const common::MainWindowState& state);
    static std::string listLine(const std::vector<std::string>& items);

private:
    void write(const std::string& line);

    common::OperatorPort& inner_;
    std::shared_ptr<common::Trace> trace_;
};

} // namespace ecf::app

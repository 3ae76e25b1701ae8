#pragma once
// A scripted operator for tests: records every box and question in order and answers from
// queues (confirmations default to Close, the password dialog to Cancel).
#include "common/operator_port.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ecf::test {

struct OperatorEvent {
    std::string kind;   // "message", "info", "error", "exception", "confirm", "password", "main", "list", "show", "close"
    std::string text;   // the box text, password caption, window name...
    std::string answer; // confirm: "yes"/"no"/"close"; password: "ok"/"cancel"
    bool operator==(const OperatorEvent&) const = default;
};

class ScriptedOperator : public common::OperatorPort {
public:
    std::vector<OperatorEvent> events;
    std::deque<common::Answer> confirmAnswers;
    std::deque<common::PasswordEntry> passwordAnswers;
    common::MainWindowState lastMain;
    std::vector<std::string> lastList;
    std::vector<common::Window> shown, closed;
    // Optional hooks run when a window is shown (for instance the listing's show handler).
    std::function<void(common::Window)> onShowWindow;

    void message(const std::string& t) override { events.push_back({"message", t, ""}); }
    void info(const std::string& t) override { events.push_back({"info", t, ""}); }
    void error(const std::string& t) override { events.push_back({"error", t, ""}); }
    void exception(const std::string& t) override { events.push_back({"exception", t, ""}); }
    common::Answer confirm(const std::string& t) override
    {
        common::Answer a = common::Answer::Close;
        if (!confirmAnswers.empty()) {
            a = confirmAnswers.front();
            confirmAnswers.pop_front();
        }
        events.push_back({"confirm", t, a == common::Answer::Yes ? "yes" : a == common::Answer::No ? "no" : "close"});
        return a;
    }
    common::PasswordEntry password(const std::string& caption, bool userPanel) override
    {
        common::PasswordEntry e;
        if (!passwordAnswers.empty()) {
            e = passwordAnswers.front();
            passwordAnswers.pop_front();
        }
        events.push_back({"password", caption + (userPanel ? " [user panel]" : ""), e.ok ? "ok" : "cancel"});
        return e;
    }
    void mainShown(const common::MainWindowState& s) override
    {
        lastMain = s;
        events.push_back({"main", s.label1 + "|" + s.button1 + "|" + (s.button1Enabled ? "enabled" : "disabled"), ""});
    }
    void listShown(const std::vector<std::string>& items) override
    {
        lastList = items;
        std::string joined;
        for (const auto& i : items)
            joined += (joined.empty() ? "" : "|") + i;
        events.push_back({"list", joined, ""});
    }
    void showWindow(common::Window w) override
    {
        shown.push_back(w);
        events.push_back({"show", std::to_string(static_cast<int>(w)), ""});
        if (onShowWindow)
            onShowWindow(w);
    }
    void closeWindow(common::Window w) override
    {
        closed.push_back(w);
        events.push_back({"close", std::to_string(static_cast<int>(w)), ""});
    }

    // The texts of the boxes of one kind, in order.
    std::vector<std::string> texts(const std::string& kind) const
    {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.kind == kind)
                out.push_back(e.text);
        return out;
    }
};

} // namespace ecf::test

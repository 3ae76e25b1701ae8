#include "app/traced_operator.h"

#include "common/trace.h"

namespace ecf::app {

namespace {

std::string head(const char* kind)
{
    std::string s = R"({"ev":"ui","kind":)";
    common::json::appendUtf8(s, kind);
    return s;
}

const char* answerName(common::Answer a)
{
    switch (a) {
    case common::Answer::Yes: return "yes";
    case common::Answer::No: return "no";
    case common::Answer::Close: break;
    }
    return "close";
}

} // namespace

TracedOperator::TracedOperator(common::OperatorPort& inner, std::shared_ptr<common::Trace> trace)
    : inner_(inner), trace_(std::move(trace))
{
}

void TracedOperator::write(const std::string& line)
{
    if (trace_)
        trace_->writeLine(line);
}

std::string TracedOperator::boxLine(const std::string& kind, const std::string& text)
{
    std::string s = head(kind.c_str());
    s += R"(,"text":)";
    common::json::appendUtf8(s, text);
    s += '}';
    return s;
}

std::string TracedOperator::confirmLine(const std::string& text, common::Answer answer)
{
    std::string s = head("confirm");
    s += R"(,"text":)";
    common::json::appendUtf8(s, text);
    s += R"(,"answer":)";
    common::json::appendUtf8(s, answerName(answer));
    s += '}';
    return s;
}

std::string TracedOperator::passwordLine(const std::string& caption, bool userPanel, bool ok)
{
    std::string s = head("password");
    s += R"(,"text":)";
    common::json::appendUtf8(s, caption);
    s += R"(,"user_panel":)";
    s += userPanel ? "true" : "false";
    s += R"(,"answer":)";
    s += ok ? R"("ok")" : R"("cancel")";
    s += '}';
    return s;
}

std::string TracedOperator::mainLine(const common::MainWindowState& state)
{
    std::string s = head("main");
    s += R"(,"label1":)";
    common::json::appendUtf8(s, state.label1);
    s += R"(,"button1":)";
    common::json::appendUtf8(s, state.button1);
    s += R"(,"button1_enabled":)";
    s += state.button1Enabled ? "true" : "false";
    s += '}';
    return s;
}

std::string TracedOperator::listLine(const std::vector<std::string>& items)
{
    std::string s = head("list");
    s += R"(,"window":"TfoMostraFormasPagamentoECF","items":[)";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            s += ',';
        common::json::appendUtf8(s, items[i]);
    }
    s += "]}";
    return s;
}

// Boxes without an answer are traced as they are shown; questions once they are answered.
void TracedOperator::message(const std::string& text)
{
    write(boxLine("message", text));
    inner_.message(text);
}

void TracedOperator::info(const std::string& text)
{
    write(boxLine("info", text));
    inner_.info(text);
}

void TracedOperator::error(const std::string& text)
{
    write(boxLine("error", text));
    inner_.error(text);
}

void TracedOperator::exception(const std::string& text)
{
    write(boxLine("exception", text));
    inner_.exception(text);
}

common::Answer TracedOperator::confirm(const std::string& text)
{
    common::Answer a = inner_.confirm(text);
    write(confirmLine(text, a));
    return a;
}

common::PasswordEntry TracedOperator::password(const std::string& caption, bool userPanel)
{
    common::PasswordEntry e = inner_.password(caption, userPanel);
    write(passwordLine(caption, userPanel, e.ok));
    return e;
}

void TracedOperator::mainShown(const common::MainWindowState& state)
{
    write(mainLine(state));
    inner_.mainShown(state);
}

void TracedOperator::listShown(const std::vector<std::string>& items)
{
    write(listLine(items));
    inner_.listShown(items);
}

void TracedOperator::showWindow(common::Window window)
{
    inner_.showWindow(window);
}

void TracedOperator::closeWindow(common::Window window)
{
    inner_.closeWindow(window);
}

} // namespace ecf::app

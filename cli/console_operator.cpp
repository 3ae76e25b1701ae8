#include "console_operator.h"

#include "app/application.h"
#include "utilities/formas_pagamento.h"
#include "utilities/util_ecf.h"

#include <istream>
#include <ostream>

namespace ecf::cli {

namespace {

const char* windowName(common::Window w)
{
    switch (w) {
    case common::Window::UtilEcf: return "TfoUtilEcf";
    case common::Window::MostraFormasPagamentoECF: return "TfoMostraFormasPagamentoECF";
    case common::Window::RelMemoriaFiscal: return "TfoRelMemoriaFiscal";
    }
    return "?";
}

// Lower case for ASCII letters and the one accented capital of the answer words (Ã).
std::string lowerAnswer(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else if (c == '\xC3' && i + 1 < s.size() && s[i + 1] == '\x83') {
            out += "\xC3\xA3";
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

ConsoleOperator::ConsoleOperator(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

std::optional<std::string> ConsoleOperator::readLine()
{
    std::string line;
    if (!std::getline(in_, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::optional<common::Answer> ConsoleOperator::parseAnswer(const std::string& line)
{
    const std::string a = lowerAnswer(line);
    if (a == "yes" || a == "y" || a == "sim" || a == "s")
        return common::Answer::Yes;
    if (a == "no" || a == "n" || a == "nao" || a == "n\xC3\xA3o")
        return common::Answer::No;
    if (a == "close" || a.empty())
        return common::Answer::Close;
    return std::nullopt; // not understood
}

void ConsoleOperator::message(const std::string& text)
{
    out_ << "[message] " << text << '\n' << std::flush;
}

void ConsoleOperator::info(const std::string& text)
{
    out_ << "[info] " << text << '\n' << std::flush;
}

void ConsoleOperator::error(const std::string& text)
{
    out_ << "[error] " << text << '\n' << std::flush;
}

void ConsoleOperator::exception(const std::string& text)
{
    ++exceptions_;
    lastException_ = text;
    out_ << "[exception] " << text << '\n' << std::flush;
}

common::Answer ConsoleOperator::confirm(const std::string& text)
{
    out_ << "[confirm] " << text << " (sim/nao) " << std::flush;
    // An answer not understood is asked for again; after the third the box is closed.
    common::Answer a = common::Answer::Close;
    for (int asked = 1;; ++asked) {
        const auto line = readLine();
        if (!line)
            break;
        if (const auto parsed = parseAnswer(*line)) {
            a = *parsed;
            break;
        }
        if (asked == kMaxAsks) {
            out_ << "(resposta não entendida) ";
            break;
        }
        out_ << "(resposta não entendida: responda sim ou não) " << std::flush;
    }
    out_ << "-> " << (a == common::Answer::Yes ? "yes" : a == common::Answer::No ? "no" : "close") << '\n'
         << std::flush;
    return a;
}

common::PasswordEntry ConsoleOperator::password(const std::string& caption, bool userPanel)
{
    out_ << "[password] " << caption << (userPanel ? " (senha, usuario, senha do usuario) " : " (senha) ")
         << std::flush;
    common::PasswordEntry e;
    auto take = [this](std::string& into) {
        auto line = readLine();
        if (!line || *line == "cancel")
            return false;
        into = std::move(*line);
        return true;
    };
    e.ok = take(e.senha) && (!userPanel || (take(e.usuario) && take(e.senhaUsuario)));
    if (!e.ok)
        e = common::PasswordEntry{};
    out_ << "-> " << (e.ok ? "ok" : "cancel") << '\n' << std::flush;
    return e;
}

void ConsoleOperator::mainShown(const common::MainWindowState& s)
{
    out_ << "[main] Label1 \"" << s.label1 << "\", Button1 \"" << s.button1 << "\" "
         << (s.button1Enabled ? "enabled" : "disabled") << '\n'
         << std::flush;
}

void ConsoleOperator::listShown(const std::vector<std::string>& items)
{
    out_ << "[list] TfoMostraFormasPagamentoECF:";
    if (items.empty())
        out_ << " (empty)";
    for (std::size_t i = 0; i < items.size(); ++i)
        out_ << (i ? " | " : " ") << items[i];
    out_ << '\n' << std::flush;
}

void ConsoleOperator::showWindow(common::Window window)
{
    out_ << "[window] " << windowName(window) << " shown\n" << std::flush;
    if (window == common::Window::RelMemoriaFiscal)
        relShown_ = true;
    if (!app_)
        return;
    // Showing a window runs its show handler at once, inside the call.
    if (window == common::Window::UtilEcf) {
        if (utilities::UtilEcf* u = app_->utilEcf())
            u->onShow();
    } else if (window == common::Window::MostraFormasPagamentoECF) {
        app_->formasPagamento().onShow();
    }
}

void ConsoleOperator::closeWindow(common::Window window)
{
    out_ << "[window] " << windowName(window) << " closed\n" << std::flush;
    if (window == common::Window::RelMemoriaFiscal)
        relShown_ = false;
    if (window == common::Window::UtilEcf)
        utilClose_ = true;
}

bool ConsoleOperator::takeUtilEcfClose()
{
    const bool b = utilClose_;
    utilClose_ = false;
    return b;
}

} // namespace ecf::cli

#include "commands.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <ostream>

namespace ecf::cli {

namespace {

using nlohmann::json;

// A text with its control characters named: ESC as <ESC>, CR LF as <CR><LF>.
std::string showText(const std::string& s)
{
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case 0x1B: out += "<ESC>"; break;
        case 0x0D: out += "<CR>"; break;
        case 0x0A: out += "<LF>"; break;
        case 0x09: out += "<TAB>"; break;
        case 0x00: out += "<NUL>"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "<%02X>", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

std::string showValue(const json& v)
{
    if (v.is_string())
        return showText(v.get<std::string>());
    if (v.is_array()) {
        std::string s = "[";
        for (std::size_t k = 0; k < v.size(); ++k)
            s += (k ? ", " : "") + showValue(v[k]);
        return s + "]";
    }
    if (v.is_object()) {
        std::string s = "{";
        bool first = true;
        for (const auto& [key, value] : v.items()) {
            s += (first ? "" : ", ") + key + ": " + showValue(value);
            first = false;
        }
        return s + "}";
    }
    return v.dump();
}

std::string str(const json& line, const char* key)
{
    const auto it = line.find(key);
    return it != line.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string showCall(const json& line)
{
    std::string s = str(line, "family") + " " + str(line, "fn") + "(";
    if (const auto args = line.find("args"); args != line.end() && args->is_array())
        for (std::size_t k = 0; k < args->size(); ++k)
            s += (k ? ", " : "") + showValue((*args)[k]);
    s += ")";
    if (const auto ret = line.find("ret"); ret != line.end() && !ret->is_null())
        s += " -> " + showValue(*ret);
    if (const auto out = line.find("out"); out != line.end() && !out->is_null())
        s += "  out: " + showValue(*out);
    return s;
}

std::string showUi(const json& line)
{
    const std::string kind = str(line, "kind");
    if (kind == "main") {
        const auto b = line.find("button1_enabled");
        const bool enabled = b != line.end() && b->is_boolean() && b->get<bool>();
        return "ui main: Label1 " + showText(str(line, "label1")) + ", Button1 " + showText(str(line, "button1")) +
               (enabled ? " enabled" : " disabled");
    }
    if (kind == "list")
        return "ui list " + str(line, "window") + ": " + showValue(line.value("items", json::array()));
    std::string s = "ui " + kind + ": " + showText(str(line, "text"));
    if (const auto panel = line.find("user_panel"); panel != line.end() && panel->is_boolean() && *panel)
        s += " (user panel)";
    if (line.contains("answer"))
        s += " -> " + str(line, "answer");
    return s;
}

std::string showNumber(const json& line, const char* key)
{
    const auto it = line.find(key);
    return it != line.end() && it->is_number() ? it->dump() : std::string("?");
}

// The program's other lines: which source serves the printer, a saved coupon, a pause.
std::string showOther(const std::string& ev, const json& line)
{
    if (ev == "printer") {
        std::string s = "printer " + str(line, "family") + ": " + str(line, "source");
        if (line.contains("library"))
            s += " " + showText(str(line, "library"));
        if (line.contains("host"))
            s += " (" + str(line, "host") + ")";
        return s;
    }
    if (ev == "saved")
        return "saved coupon " + str(line, "id") + " in " + showText(str(line, "path"));
    if (ev == "pause")
        return "pause " + str(line, "family") + ": " + showNumber(line, "ms") + " ms (asked " +
               showNumber(line, "asked") + ")";
    // A kind this reader does not know: its fields as they are.
    json rest = line;
    rest.erase("ev");
    return (ev.empty() ? std::string("(no ev)") : ev) + ": " + showValue(rest);
}

} // namespace

int ShowTraceCommand::run(const std::vector<std::string>& args, Streams& io)
{
    if (args.size() != 1)
        throw UsageError("show-trace takes the trace FILE");
    std::ifstream in(args[0], std::ios::binary);
    if (!in) {
        io.err << "ecf-cli: cannot read the trace file " << args[0] << '\n';
        return kExitError;
    }
    std::string text;
    std::size_t number = 0;
    int bad = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.empty())
            continue;
        const json line = json::parse(text, nullptr, false);
        if (line.is_discarded() || !line.is_object()) {
            io.out << "?? line " << number << " is not a trace line: " << showText(text) << '\n';
            ++bad;
            continue;
        }
        const std::string ev = str(line, "ev");
        if (ev == "call")
            io.out << showCall(line) << '\n';
        else if (ev == "ui")
            io.out << showUi(line) << '\n';
        else
            io.out << showOther(ev, line) << '\n';
    }
    return bad ? kExitError : kExitOk;
}

} // namespace ecf::cli

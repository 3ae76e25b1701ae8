#include "printer/sweda/sweda_emulator.h"

#include "common/format.h"
#include "common/text.h"

#include <algorithm>
#include <cstring>

namespace ecf::printer::sweda {

namespace {
// Digits of a fixed-width field as a number; anything else counts as 0.
long long number(const std::string& digits)
{
    long long v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
    }
    return v;
}

// An amount in hundredths as "1.234,56".
std::string amount(long long hundredths)
{
    return common::trim(common::fmtMoney("%12.2n", common::Money::fromTenThousandths(hundredths * 100)));
}

std::string field(const std::string& s, std::size_t pos, std::size_t len)
{
    return pos < s.size() ? s.substr(pos, len) : std::string();
}

std::string shown(const std::string& bytes)
{
    return common::toUtf8(bytes);
}
} // namespace

int SwedaEmulator::SwedaOpen(int, int, int, int)
{
    printer_.portOpen = true;
    return 0;
}

std::string SwedaEmulator::taxGroup(int reg) const
{
    const auto& r = printer_.taxRegisters.at(static_cast<std::size_t>(reg));
    if (r.rate.isZero())
        return std::string(7, ' ');
    return std::string(r.service ? "S" : "T") + common::fmtInt("%2.2d", reg + 1) +
           common::fmtInt("%4.4d", r.rate.tenThousandths() / 100);
}

std::string SwedaEmulator::form(std::size_t i) const
{
    return common::fmtStr("%-15.15s", i < printer_.paymentForms.size() ? printer_.paymentForms[i] : std::string());
}

int SwedaEmulator::SwedaSend(const char* command)
{
    const std::string s(command);
    pendingReply_ = ".+}";
    if (s.size() < 4 || s[0] != '\x1b' || s[1] != '.' || s.back() != '}')
        return 0;
    const std::string body = s.substr(2, s.size() - 3);
    if (body.rfind("29", 0) == 0) {
        const std::string code = body.substr(0, 3);
        if (code == "293") {
            std::string reply = ".+C293";
            reply.resize(48, '0');
            for (int k = 0; k < 4; ++k)
                reply += taxGroup(k);
            pendingReply_ = reply + "}";
        } else if (code == "294") {
            std::string reply = ".";
            for (int k = 4; k < 12; ++k)
                reply += taxGroup(k);
            pendingReply_ = reply + "}";
        } else if (code == "295") {
            std::string reply = ".";
            for (int k = 12; k < 16; ++k)
                reply += taxGroup(k);
            reply += std::string(6, ' ');
            for (std::size_t i = 0; i < 3; ++i)
                reply += form(i);
            pendingReply_ = reply + "}";
        } else if (code == "296") {
            std::string reply = "." + std::string(6, ' ');
            for (std::size_t i = 3; i < 10; ++i)
                reply += form(i);
            pendingReply_ = reply + "}";
        }
        return 0;
    }
    const std::string code = body.substr(0, 2);
    const std::string fields = body.substr(2);
    if (code == "17")
        printer_.openCoupon();
    else if (code == "01")
        sale(fields);
    else if (code == "02")
        discount(fields);
    else if (code == "10")
        payment(fields);
    else if (code == "12")
        closing(fields);
    else if (code == "13")
        printer_.nonFiscalReport("LEITURA X");
    else if (code == "14")
        printer_.nonFiscalReport("REDUCAO Z");
    else if (code == "05")
        printer_.cancelCoupon();
    else if (code == "39")
        programForms(fields);
    pendingReply_ = ".+" + code + "}";
    return 0;
}

int SwedaEmulator::SwedaRead(char* reply, int maxLength)
{
    if (maxLength <= 0)
        return 0;
    const std::size_t n = std::min(pendingReply_.size(), static_cast<std::size_t>(maxLength));
    std::memcpy(reply, pendingReply_.data(), n);
    if (n < static_cast<std::size_t>(maxLength))
        reply[n] = '\0';
    return 0;
}

void SwedaEmulator::sale(const std::string& f)
{
    // code 13, quantity 7 (thousandths), price 9 (cents), total 12 (cents), description 20,
    // blank, unit 3, tax code 3
    const long long qty = number(field(f, 13, 7));
    const long long price = number(field(f, 20, 9));
    const long long total = number(field(f, 29, 12));
    printer_.print(field(f, 0, 13) + " " + shown(common::trimBlanks(field(f, 41, 20))));
    printer_.print("  " + common::trim(common::fmtFloat("%10.3f", static_cast<double>(qty) / 1000.0)) + " " +
                   shown(common::trimBlanks(field(f, 62, 3))) + " x " + amount(price) + "  " + field(f, 65, 3) +
                   "  " + amount(total));
}

void SwedaEmulator::discount(const std::string& f)
{
    const long long value = number(field(f, 10, 12));
    if (value != 0)
        printer_.print("  desconto -" + amount(value));
}

void SwedaEmulator::payment(const std::string& f)
{
    for (std::size_t p = 0; p + 14 <= f.size(); p += 14) {
        const long long code = number(f.substr(p, 2));
        const long long value = number(f.substr(p + 2, 12));
        const std::string name = code >= 1 && static_cast<std::size_t>(code) <= printer_.paymentForms.size()
                                     ? printer_.paymentForms[static_cast<std::size_t>(code - 1)]
                                     : "Forma " + f.substr(p, 2);
        printer_.print(shown(name) + "  " + amount(value));
    }
}

void SwedaEmulator::closing(const std::string& f)
{
    // "NN", then "2" and blanks, or message lines of "0" and 40 characters
    const std::string message = field(f, 2, std::string::npos);
    for (std::size_t p = 0; p < message.size() && message[p] == '0'; p += 41)
        printer_.print(shown(common::trimBlanks(message.substr(p + 1, 40))));
    printer_.closeCoupon();
}

void SwedaEmulator::programForms(const std::string& f)
{
    std::vector<std::string> forms;
    for (std::size_t p = 0; p < f.size(); p += 15)
        forms.push_back(common::trimBlanks(f.substr(p, 15)));
    if (!forms.empty())
        printer_.paymentForms = forms;
}

} // namespace ecf::printer::sweda

#include "printer/schalter/schalter_emulator.h"

#include "common/text.h"

#include <cstdio>

namespace ecf::printer::schalter {

namespace {

// "18,00": the rate of a register as whole percent and hundredths.
std::string rateText(common::Money rate)
{
    const std::int64_t hundredths = rate.tenThousandths() / 100;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02lld,%02lld", static_cast<long long>(hundredths / 100 % 100),
                  static_cast<long long>(hundredths % 100));
    return buf;
}

// Cents text ("1999") as "19,99" for the tape.
std::string centsText(const std::string& cents)
{
    std::string digits;
    for (char c : cents)
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    while (digits.size() > 3 && digits.front() == '0')
        digits.erase(digits.begin());
    while (digits.size() < 3)
        digits.insert(digits.begin(), '0');
    return digits.substr(0, digits.size() - 2) + "," + digits.substr(digits.size() - 2);
}

bool registerUsable(const EmulatedPrinter::TaxRegister& r) { return !r.rate.isZero() && !r.service; }

} // namespace

int SchalterEmulator::ChangePort(int port)
{
    printer_.portOpen = true;
    return port;
}

std::string SchalterEmulator::ecfLeituraXSerial()
{
    // A serial X reading: the tax registers 1..10 stand at characters 173 + 41k as "dd,dd".
    std::string text(600, ' ');
    const std::string head = "LEITURA X - ECF SCHALTER";
    text.replace(0, head.size(), head);
    for (std::size_t k = 0; k < 10 && k < printer_.taxRegisters.size(); ++k) {
        const std::size_t at = 172 + 41 * k;
        text.replace(at - 3, 2, "T" + std::to_string(k % 10));
        if (registerUsable(printer_.taxRegisters[k]))
            text.replace(at, 5, rateText(printer_.taxRegisters[k].rate));
    }
    return text;
}

std::string SchalterEmulator::ecfStatusAliquotas(int reg)
{
    if (reg < 0 || reg >= static_cast<int>(printer_.taxRegisters.size()))
        return "Erro 01";
    const auto& r = printer_.taxRegisters[static_cast<std::size_t>(reg)];
    const char digit = static_cast<char>('0' + reg % 10);
    if (!registerUsable(r))
        return std::string(1, digit) + "T  ,  ";
    return std::string(1, digit) + "T" + rateText(r.rate);
}

int SchalterEmulator::ecfImpCab(int)
{
    printer_.openCoupon();
    return 0;
}

int SchalterEmulator::ecfVendaItem(const std::string& description, const std::string& total, int taxIndex)
{
    printer_.print(common::toUtf8(description));
    printer_.print("    T" + std::to_string(taxIndex) + "  " + centsText(total));
    return 0;
}

int SchalterEmulator::ecfVenda_Item(const std::string& code, const std::string& description, const std::string& qtyInt,
                                    const std::string& qtyFrac, const std::string& price, int taxIndex)
{
    printer_.print(code + " " + common::toUtf8(common::trimBlanks(description)));
    std::string whole = qtyInt;
    while (whole.size() > 1 && whole.front() == '0')
        whole.erase(whole.begin());
    printer_.print("    " + whole + "," + qtyFrac + " x " + centsText(price) + "  T" +
             std::to_string(taxIndex));
    return 0;
}

int SchalterEmulator::ecfDescItem(int, const std::string& label, const std::string& value)
{
    printer_.print("    " + common::toUtf8(label) + " -" + centsText(value));
    return 0;
}

int SchalterEmulator::ecfPagCancPag(int, const std::string& label, const std::string& value, int, int)
{
    printer_.print(common::toUtf8(label) + "  " + centsText(value));
    return 0;
}

int SchalterEmulator::ecfImpLinha(const std::string& line)
{
    printer_.print(common::toUtf8(line));
    return 0;
}

int SchalterEmulator::ecfFimTrans(const std::string& text)
{
    if (!text.empty())
        printer_.print(common::toUtf8(text));
    printer_.closeCoupon();
    return 0;
}

int SchalterEmulator::ecfInicCupomNFiscal(int)
{
    printer_.print("COMPROVANTE NAO FISCAL");
    return 0;
}

int SchalterEmulator::ecfLineFeed(int, int lines)
{
    for (int i = 0; i < lines && i < 100; ++i)
        printer_.print("");
    return 0;
}

int SchalterEmulator::ecfLeituraX(const std::string&)
{
    printer_.nonFiscalReport("LEITURA X");
    return 0;
}

int SchalterEmulator::ecfReducaoZ(const std::string&)
{
    printer_.nonFiscalReport("REDUCAO Z");
    return 0;
}

int SchalterEmulator::ecfCancDoc(const std::string&)
{
    printer_.cancelCoupon();
    return 0;
}

int SchalterEmulator::ecfCancVenda(const std::string&)
{
    printer_.cancelCoupon();
    return 0;
}

} // namespace ecf::printer::schalter

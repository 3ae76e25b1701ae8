#include "printer/emulated_printer.h"

#include <utility>

namespace ecf::printer {

EmulatedPrinter::EmulatedPrinter()
    : taxRegisters(16), paymentForms{"Dinheiro", "Cheque", "Cartao"}
{
    using common::Money;
    taxRegisters[0].rate = Money::fromWhole(18);
    taxRegisters[1].rate = Money::fromWhole(12);
    taxRegisters[2].rate = Money::fromWhole(7);
    taxRegisters[3].rate = Money::fromWhole(25);
    taxRegisters[4].rate = Money::fromWhole(5);
    taxRegisters[4].service = true;
}

void EmulatedPrinter::print(const std::string& text)
{
    if (text.find_first_of("\r\n") == std::string::npos) {
        feed(text); // one line, as most are
        return;
    }
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            feed(line);
            line.clear();
        } else if (c != '\r') {
            line.push_back(c);
        }
    }
    if (!line.empty() || text.empty())
        feed(line);
}

void EmulatedPrinter::printBanner(const std::string& title, char fill)
{
    const std::size_t width = columns(title);
    if (width + 2 > kColumns) {
        feed(std::string(kColumns, fill));
        feed(title);
        return;
    }
    const std::size_t left = (kColumns - width - 2) / 2;
    feed(std::string(left, fill) + " " + title + " " + std::string(kColumns - width - 2 - left, fill));
}

void EmulatedPrinter::openCoupon()
{
    ++couponNumber;
    couponOpen = true;
    couponCents = 0;
    printBanner("CUPOM FISCAL " + std::to_string(couponNumber));
}

void EmulatedPrinter::closeCoupon()
{
    if (couponOpen)
        printBanner("FIM DO CUPOM " + std::to_string(couponNumber));
    couponOpen = false;
}

void EmulatedPrinter::cancelCoupon()
{
    printBanner("CUPOM " + std::to_string(couponNumber) + " CANCELADO");
    couponOpen = false;
}

void EmulatedPrinter::nonFiscalReport(const std::string& title)
{
    printBanner(title, '=');
}

std::size_t EmulatedPrinter::columns(const std::string& line)
{
    std::size_t n = 0;
    for (unsigned char c : line)
        n += (c & 0xC0) != 0x80; // a UTF-8 continuation byte shares its character's column
    return n;
}

void EmulatedPrinter::feed(std::string line)
{
    // Cut at the last column, never inside a character's bytes.
    while (columns(line) > kColumns) {
        std::size_t cut = 0;
        for (std::size_t n = 0; cut < line.size(); ++cut) {
            if ((static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
                continue;
            if (n == kColumns)
                break; // the first byte of the character after the last column
            ++n;
        }
        tape.push_back(line.substr(0, cut));
        line.erase(0, cut);
        if (onLine)
            onLine(tape.back());
    }
    tape.push_back(std::move(line));
    if (onLine)
        onLine(tape.back());
}

std::string EmulatedPrinter::digitsAsDecimal(const std::string& digits, std::size_t decimals)
{
    std::string d;
    for (char c : digits)
        if (c >= '0' && c <= '9')
            d.push_back(c);
    while (d.size() > decimals + 1 && d.front() == '0')
        d.erase(d.begin());
    while (d.size() < decimals + 1)
        d.insert(d.begin(), '0');
    return d.substr(0, d.size() - decimals) + "," + d.substr(d.size() - decimals);
}

std::string EmulatedPrinter::centsAsDecimal(long long cents)
{
    const std::string sign = cents < 0 ? "-" : "";
    const unsigned long long v = cents < 0 ? 0ULL - static_cast<unsigned long long>(cents) : static_cast<unsigned long long>(cents);
    return sign + digitsAsDecimal(std::to_string(v), 2);
}

long long EmulatedPrinter::digitsValue(const std::string& text)
{
    long long v = 0;
    for (char c : text)
        if (c >= '0' && c <= '9' && v < 100000000000000LL)
            v = v * 10 + (c - '0');
    return v;
}

} // namespace ecf::printer

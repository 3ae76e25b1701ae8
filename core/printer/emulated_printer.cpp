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

void EmulatedPrinter::openCoupon()
{
    ++couponNumber;
    couponOpen = true;
    feed("---------------- CUPOM FISCAL " + std::to_string(couponNumber) + " ----------------");
}

void EmulatedPrinter::closeCoupon()
{
    if (couponOpen)
        feed("---------------- FIM DO CUPOM " + std::to_string(couponNumber) + " ----------------");
    couponOpen = false;
}

void EmulatedPrinter::cancelCoupon()
{
    feed("---------------- CUPOM " + std::to_string(couponNumber) + " CANCELADO ----------------");
    couponOpen = false;
}

void EmulatedPrinter::nonFiscalReport(const std::string& title)
{
    feed("================ " + title + " ================");
}

void EmulatedPrinter::feed(std::string line)
{
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

} // namespace ecf::printer

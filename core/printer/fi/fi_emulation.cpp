#include "printer/fi/fi_emulation.h"

#include "common/format.h"
#include "common/text.h"

namespace ecf::printer::fi {

using common::toUtf8;

namespace {

// A decimal text of the sale ("2,000", "8,50") as its digits and the places after the comma.
struct Decimal {
    long long digits = 0;
    int places = 0;
};

Decimal decimal(const std::string& text)
{
    Decimal d;
    bool comma = false;
    for (char c : text) {
        if (c == ',' || c == '.') {
            comma = true;
        } else if (c >= '0' && c <= '9' && d.digits < 100000000LL && d.places < 6) {
            d.digits = d.digits * 10 + (c - '0');
            d.places += comma;
        }
    }
    return d;
}

// In cents, truncated.
long long toCents(Decimal d)
{
    for (; d.places > 2; --d.places)
        d.digits /= 10;
    for (; d.places < 2; ++d.places)
        d.digits *= 10;
    return d.digits;
}

} // namespace

void printSale(EmulatedPrinter& printer, const std::string& code, const std::string& description,
               const std::string& taxCode, const std::string& quantity, const std::string& unitPrice,
               const std::string& discountType, const std::string& discountValue)
{
    // The printer's item total: quantity times price, truncated to cents, less the discount.
    const Decimal q = decimal(quantity), price = decimal(unitPrice), disc = decimal(discountValue);
    const long long cents = toCents({q.digits * price.digits, q.places + price.places});
    printer.print(toUtf8(code) + " " + toUtf8(description));
    printer.print("  " + toUtf8(quantity) + " x " + toUtf8(unitPrice) + "  " + toUtf8(taxCode) + "  " +
                  EmulatedPrinter::centsAsDecimal(cents));
    if (discountValue != "0,00" && !discountValue.empty())
        printer.print("  desconto " + toUtf8(discountValue) + (discountType == "%" ? " %" : ""));
    printer.couponCents += cents - (discountType == "%" ? cents * toCents(disc) / 10000 : toCents(disc));
}

void printSubtotal(EmulatedPrinter& printer)
{
    printer.print("SUBTOTAL  " + EmulatedPrinter::centsAsDecimal(printer.couponCents));
}

void printPayment(EmulatedPrinter& printer, const std::string& form, const std::string& value)
{
    printer.print(toUtf8(common::trim(form)) + "  " + toUtf8(common::trim(value)));
}

void printClosing(EmulatedPrinter& printer, const std::string& message)
{
    printer.print(toUtf8(message));
    printer.closeCoupon();
}

void programForms(EmulatedPrinter& printer, const std::string& list)
{
    std::vector<std::string> forms;
    std::size_t p = 0;
    while (p < list.size()) {
        auto end = list.find(';', p);
        if (end == std::string::npos)
            end = list.size();
        const std::string name = common::trimBlanks(list.substr(p, end - p));
        if (!name.empty())
            forms.push_back(name);
        p = end + 1;
    }
    if (!forms.empty())
        printer.paymentForms = forms;
}

std::string formsDescription(const EmulatedPrinter& printer)
{
    std::string text;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::string name = i < printer.paymentForms.size()
                                     ? printer.paymentForms[i]
                                     : std::string("Pagamento Tipo ") + static_cast<char>('A' + i);
        text += common::fmtStr("%-16.16s", name) + ";";
    }
    return text;
}

void openCoupon(EmulatedPrinter& printer, const std::string& cgc)
{
    printer.openCoupon();
    if (!common::trim(cgc).empty())
        printer.print("CPF/CNPJ consumidor: " + toUtf8(cgc));
}

} // namespace ecf::printer::fi

#include "printer/fi/fi_emulation.h"

#include "common/format.h"
#include "common/text.h"

namespace ecf::printer::fi {

using common::toUtf8;

void printSale(EmulatedPrinter& printer, const std::string& code, const std::string& description,
               const std::string& taxCode, const std::string& quantity, const std::string& unitPrice,
               const std::string& discountType, const std::string& discountValue)
{
    printer.print(toUtf8(code) + " " + toUtf8(description));
    printer.print("  " + toUtf8(quantity) + " x " + toUtf8(unitPrice) + "  " + toUtf8(taxCode));
    if (discountValue != "0,00" && !discountValue.empty())
        printer.print("  desconto " + toUtf8(discountValue) + (discountType == "%" ? " %" : ""));
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

} // namespace ecf::printer::fi

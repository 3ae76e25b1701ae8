#pragma once
// What the Daruma and BemaFI32 emulators share: both libraries take the same item, payment
// and closing texts, and both programmed payment-form lists have the same layout.
#include "printer/emulated_printer.h"

#include <string>

namespace ecf::printer::fi {

// The item lines on the paper tape.
void printSale(EmulatedPrinter& printer, const std::string& code, const std::string& description,
               const std::string& taxCode, const std::string& quantity, const std::string& unitPrice,
               const std::string& discountType, const std::string& discountValue);
void printPayment(EmulatedPrinter& printer, const std::string& form, const std::string& value);
// "SUBTOTAL" with the coupon's total so far.
void printSubtotal(EmulatedPrinter& printer);
// Free text lines (LF or CR LF separated), then the end of the coupon.
void printClosing(EmulatedPrinter& printer, const std::string& message);
// A list of names of 16 characters each followed by ";" becomes the printer's payment forms.
void programForms(EmulatedPrinter& printer, const std::string& list);
// A coupon opened, with the consumer's CPF or CNPJ when one is given.
void openCoupon(EmulatedPrinter& printer, const std::string& cgc);

// The payment forms as the Daruma description query gives them: 16 entries of 16 characters,
// each followed by ";", unprogrammed ones named "Pagamento Tipo " and a letter.
std::string formsDescription(const EmulatedPrinter& printer);

} // namespace ecf::printer::fi

// The emulator `Class`'s functions of the list both libraries share (fi_functions.h), under
// its maker's PREFIX: both libraries print alike. The emulator's printer is `printer_`.
#define ECF_FI_SHARED_EMULATION(Class, PREFIX)                                                         \
    int Class::PREFIX##AbreCupom(Text cgc)                                                              \
    {                                                                                                   \
        ::ecf::printer::fi::openCoupon(printer_, cgc);                                                  \
        return 1;                                                                                       \
    }                                                                                                   \
    int Class::PREFIX##VendeItem(Text code, Text description, Text taxCode, Text, Text quantity, int,   \
                                 Text unitPrice, Text discountType, Text discountValue)                 \
    {                                                                                                   \
        ::ecf::printer::fi::printSale(printer_, code, description, taxCode, quantity, unitPrice,        \
                                      discountType, discountValue);                                     \
        return 1;                                                                                       \
    }                                                                                                   \
    int Class::PREFIX##IniciaFechamentoCupom(Text, Text, Text)                                          \
    {                                                                                                   \
        ::ecf::printer::fi::printSubtotal(printer_);                                                    \
        return 1;                                                                                       \
    }                                                                                                   \
    int Class::PREFIX##EfetuaFormaPagamento(Text form, Text value)                                      \
    {                                                                                                   \
        ::ecf::printer::fi::printPayment(printer_, form, value);                                        \
        return 1;                                                                                       \
    }                                                                                                   \
    int Class::PREFIX##TerminaFechamentoCupom(Text message)                                             \
    {                                                                                                   \
        ::ecf::printer::fi::printClosing(printer_, message);                                            \
        return 1;                                                                                       \
    }                                                                                                   \
    int Class::PREFIX##LeituraX()                                                                       \
    {                                                                                                   \
        printer_.nonFiscalReport("LEITURA X");                                                          \
        return 1;                                                                                       \
    }                                                                                                   \
    int Class::PREFIX##ReducaoZ(Text, Text)                                                             \
    {                                                                                                   \
        printer_.nonFiscalReport("REDUCAO Z");                                                          \
        return 1;                                                                                       \
    }                                                                                                   \
    int Class::PREFIX##CancelaCupom()                                                                   \
    {                                                                                                   \
        printer_.cancelCoupon();                                                                        \
        return 1;                                                                                       \
    }

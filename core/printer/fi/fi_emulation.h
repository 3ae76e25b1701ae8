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
// The payment forms as the Daruma description query gives them: 16 entries of 16 characters,
// each followed by ";", unprogrammed ones named "Pagamento Tipo " and a letter.
std::string formsDescription(const EmulatedPrinter& printer);

} // namespace ecf::printer::fi

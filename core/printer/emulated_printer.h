#pragma once
// The emulated printer: the one fiscal printer that stands behind the six families'
// emulators when no real printer is attached. It owns what a printer keeps (tax registers,
// payment forms, the coupon counter, whether a coupon is open) and a paper tape of what it
// printed, in words a person reads. Each family's emulator translates its calls into these.
#include "common/money.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ecf::printer {

class EmulatedPrinter {
public:
    EmulatedPrinter();

    // Tax registers 1..16: ICMS 18, 12, 7, 25 in 1..4 and an ISS rate of 5 in register 5.
    struct TaxRegister {
        common::Money rate;  // zero: empty register
        bool service = false;
    };
    std::vector<TaxRegister> taxRegisters;     // 16
    std::vector<std::string> paymentForms;     // "Dinheiro", "Cheque", "Cartao"
    int couponNumber = 1234;                   // the counter of the last coupon (COO)
    bool couponOpen = false;
    long long couponCents = 0;                 // the open coupon's total, as the printer sums its items
    bool portOpen = false;

    // The paper tape: one entry per printed line (UTF-8), in order, each at most kColumns
    // characters wide: a longer line goes on in the next, cut at the column as the printer does.
    static constexpr std::size_t kColumns = 48;
    std::vector<std::string> tape;
    void print(const std::string& line);       // one line, or several separated by LF/CR LF
    // A title centred in a line of fill characters, the tape's width: "----- TITLE -----". A
    // title too wide for it comes below a line of fill characters.
    void printBanner(const std::string& title, char fill = '-');
    // Called with each line as it goes on the tape (a window that shows the tape as it grows).
    std::function<void(const std::string&)> onLine;

    // Coupon life: opening counts a new coupon number.
    void openCoupon();
    void closeCoupon();
    void cancelCoupon();
    void nonFiscalReport(const std::string& title); // X reading, Z reduction, fiscal memory...

    // Digits of a command ("00001234") as a decimal for the tape: "12,34", or "1,234" with
    // three decimals. Anything but digits is ignored.
    static std::string digitsAsDecimal(const std::string& digits, std::size_t decimals = 2);
    static std::string centsAsDecimal(long long cents); // 1999 as "19,99"
    // The digits of a command's field as a number ("0002000" and "20,00" are 2000); anything but
    // digits is passed over.
    static long long digitsValue(const std::string& text);
    // The columns a UTF-8 line takes on the tape.
    static std::size_t columns(const std::string& line);

private:
    void feed(std::string line);
};

// A family's emulator: its maker interface, answered on the one emulated printer.
template <class Lib>
class Emulator : public Lib {
public:
    explicit Emulator(EmulatedPrinter& printer) : printer_(printer) {}

protected:
    EmulatedPrinter& printer_;
};

} // namespace ecf::printer

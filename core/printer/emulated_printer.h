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
    bool portOpen = false;

    // The paper tape: one entry per printed line (UTF-8), in order.
    std::vector<std::string> tape;
    void print(const std::string& line);       // one line, or several separated by LF/CR LF
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

private:
    void feed(std::string line);
};

} // namespace ecf::printer

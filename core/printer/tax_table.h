#pragma once
// The tax table: the 16 tax registers loaded in the printer, read once at start-up and
// searched by the coupon issue for each item's tax code.
#include "common/money.h"

#include <array>
#include <cmath>
#include <string>

namespace ecf::printer {

struct TaxEntry {
    common::Money rate;          // percent, e.g. 18.0000
    common::Money serviceFlag;   // 1: an ISS (service-tax) entry; 0: ICMS
    std::string code;            // the printer's code of the rate ("TA"), Sigtron and Daruma
    std::string rateText = "0";  // the rate as the printer wrote it, Sigtron and Daruma
};

// An item rate (percent, floating) equals an entry's rate when the item rate counted in
// ten-thousandths is the entry's count. The item rate is rounded to the nearest
// ten-thousandth first, as a floating value read as money is: 4.02 % read from a table is
// 4.0199999999999996 as a double and must still find the printer's 4,02 %.
inline bool sameRate(double itemRate, const common::Money& entryRate)
{
    const long double scaled = static_cast<long double>(itemRate) * 10000.0L;
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.0e18L)
        return false;
    return std::llroundl(scaled) == entryRate.tenThousandths();
}

class TaxTable {
public:
    static constexpr int size = 16;
    void reset() { entries_.fill(TaxEntry{}); }
    TaxEntry& entry(int n) { return entries_.at(static_cast<std::size_t>(n - 1)); }             // n: 1..16
    const TaxEntry& entry(int n) const { return entries_.at(static_cast<std::size_t>(n - 1)); }

private:
    std::array<TaxEntry, size> entries_{};
};

} // namespace ecf::printer

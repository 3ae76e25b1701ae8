#pragma once
// The tax table: the 16 tax registers loaded in the printer, read once at start-up and
// searched by the coupon issue for each item's tax code.
#include "common/money.h"

#include <array>
#include <string>

namespace ecf::printer {

struct TaxEntry {
    common::Money rate;          // percent, e.g. 18.0000
    common::Money serviceFlag;   // 1: an ISS (service-tax) entry; 0: ICMS
    std::string code;            // the printer's code of the rate ("TA"), Sigtron and Daruma
    std::string rateText = "0";  // the rate as the printer wrote it, Sigtron and Daruma
};

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

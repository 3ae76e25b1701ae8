// Rate comparison of the tax-code lookup.
#include "printer/tax_table.h"

#include <gtest/gtest.h>

using ecf::common::Money;
using ecf::printer::sameRate;

TEST(TaxRates, ItemRatesMatchTheirRegisterToTheTenThousandth)
{
    // Rates whose double is not exact (4.02 is 4.0199999999999996) still match.
    for (const char* text : {"4.02", "1.11", "17.5", "18", "7", "12.34", "0.01"}) {
        const double rate = std::stod(text);
        EXPECT_TRUE(sameRate(rate, Money::fromDouble(rate))) << text;
    }
    EXPECT_FALSE(sameRate(7.0, Money::fromTenThousandths(70001)));
    EXPECT_FALSE(sameRate(7.0001, Money::fromWhole(7)));
    EXPECT_FALSE(sameRate(0.0, Money::fromWhole(18)));
    EXPECT_FALSE(sameRate(1e300, Money::fromWhole(18)));
}

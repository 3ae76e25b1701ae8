#include "common/errors.h"
#include "common/rounding.h"

#include <gtest/gtest.h>

namespace ecf::common {
namespace {

struct RoundCase {
    int places;
    double value;
    double halfUp;
    double abnt;
};

TEST(DecimalRound, HalfUpAndAbntOnTheFirstTwoDroppedDigits)
{
    const RoundCase cases[] = {
        {2, 1.005, 1.01, 1.00},   // stored below 1.005, the scaling step brings it back to ...5000
        {2, 1.015, 1.02, 1.02},
        {2, 2.345, 2.35, 2.34},
        {2, 0.125, 0.13, 0.12},
        {2, 2.3451, 2.35, 2.35},
        {2, 2.34501, 2.35, 2.34}, // the third dropped digit does not count
        {2, 2.3449, 2.34, 2.34},
        {2, 7.5, 7.5, 7.5},
        {0, 7.5, 8, 8},
        {7, 7.5, 8, 8},
        {-1, 7.5, 8, 8},
        {0, 8.5, 9, 8},
        {0, 0.4, 0, 0},
        {3, 1.0005, 1.001, 1.0},
        {6, 0.0000015, 0.000002, 0.000002},
        {2, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "places " << c.places << " value " << c.value);
        EXPECT_EQ(decimalRound(c.places, c.value, ""), c.halfUp);
        EXPECT_EQ(decimalRound(c.places, c.value, "qualquer"), c.halfUp);
        EXPECT_EQ(decimalRound(c.places, c.value, abnt5891), c.abnt);
    }
}

TEST(DecimalRound, OnlyTheExactModeTextSelectsAbnt)
{
    EXPECT_EQ(decimalRound(2, 2.345, "abnt 5891"), 2.35);
    EXPECT_EQ(decimalRound(2, 2.345, "ABNT 5891 "), 2.35);
}

TEST(DecimalRound, NegativeValuesRoundTheirMagnitude)
{
    EXPECT_EQ(decimalRound(2, -2.345, ""), -2.35);
    EXPECT_EQ(decimalRound(2, -2.345, abnt5891), -2.34);
    EXPECT_EQ(decimalRound(0, -0.4, ""), 0.0);
}

TEST(DecimalRound, ValuesThatDoNotScaleInto64BitsAreReported)
{
    EXPECT_THROW(decimalRound(6, 1e13, ""), ConversionError);
    EXPECT_THROW(decimalRound(2, 1e300, ""), ConversionError);
    EXPECT_THROW(decimalRound(2, std::numeric_limits<double>::quiet_NaN(), ""), ConversionError);
    EXPECT_THROW(decimalRound(2, -std::numeric_limits<double>::infinity(), ""), ConversionError);
    EXPECT_EQ(decimalRound(2, 1e12, ""), 1e12);
}

} // namespace
} // namespace ecf::common

#include "common/decimal_text.h"
#include "common/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>

namespace ecf::common {
namespace {

Money money(std::int64_t units) { return Money::fromTenThousandths(units); }

TEST(Format, IntegersWithZeroPaddingAndWidth)
{
    EXPECT_EQ(fmtInt("%13.13d", 1234), "0000000001234");
    EXPECT_EQ(fmtInt("%13.13d", 12345678901234), "12345678901234"); // never cut
    EXPECT_EQ(fmtInt("%6.6d", 42), "000042");
    EXPECT_EQ(fmtInt("%6d", 42), "    42");
    EXPECT_EQ(fmtInt("%-6d|", 42), "42    |");
    EXPECT_EQ(fmtInt("%5.3d", -5), " -005");
    EXPECT_EQ(fmtInt("%12.12d", -1234), "-000000001234");
    EXPECT_EQ(fmtInt("%d", INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(fmtInt("%x", 255), "FF");
    EXPECT_EQ(fmtInt("%4.4x", 10), "000A");
}

TEST(Format, TextsAreCutAndPaddedInBytes)
{
    EXPECT_EQ(fmtStr("%-26.26s|", "CANETA AZUL"), "CANETA AZUL               |");
    EXPECT_EQ(fmtStr("%-5.5s", "ABCDEFGHIJ"), "ABCDE");
    EXPECT_EQ(fmtStr("%-63s", std::string(70, 'x')), std::string(70, 'x'));
    EXPECT_EQ(fmtStr("%8s", "ab"), "      ab");
    // A cp1252 "ç" is one byte and passes unchanged.
    EXPECT_EQ(fmtStr("%-4.4s|", "A\xE7\xE3o!"), "A\xE7\xE3o|");
}

TEST(Format, FixedPointWithCommaAndThousands)
{
    EXPECT_EQ(fmtFloat("%7.2f", 3.5), "   3,50");
    EXPECT_EQ(fmtFloat("%14.2f", 1234567.891), "    1234567,89");
    EXPECT_EQ(fmtFloat("%12.2n", 1234.5), "    1.234,50");
    EXPECT_EQ(fmtFloat("%.2n", 1234567.0), "1.234.567,00");
    EXPECT_EQ(fmtFloat("%.2n", 123.0), "123,00");
    EXPECT_EQ(fmtFloat("%.2n", -1234567.0), "-1.234.567,00");
    EXPECT_EQ(fmtMoney("%16.2n", money(9876543210000)), "  987.654.321,00");
    EXPECT_EQ(fmtFloat("%f", 2.0), "2,00");
    EXPECT_EQ(fmtFloat("%.0f", 2.5), "3");
    EXPECT_EQ(fmtFloat("%.3f", 0.0005), "0,001");
    EXPECT_EQ(fmtFloat("%7.2f", -0.001), "   0,00");
    EXPECT_EQ(fmtFloat("%-8.1f|", 9.96), "10,0    |");
    EXPECT_EQ(fmtMoney("%.6f", money(123456)), "12,345600");
    EXPECT_EQ(format("%d", {FormatArg{std::int64_t{7}}}), "7");
}

TEST(Format, DoublesRoundOnTheirStoredValueMoneyOnItsDigits)
{
    // 0.125 is stored exactly: the half rounds away from zero.
    EXPECT_EQ(fmtFloat("%.2f", 0.125), "0,13");
    EXPECT_EQ(fmtFloat("%.2f", -0.125), "-0,13");
    // 1.005 and 2.675 are stored just below the half, 12.345 just above it.
    EXPECT_EQ(fmtFloat("%.2f", 1.005), "1,00");
    EXPECT_EQ(fmtFloat("%.2f", 2.675), "2,67");
    EXPECT_EQ(fmtFloat("%.2f", 12.345), "12,35");
    EXPECT_EQ(fmtMoney("%.2f", money(1250)), "0,13");
    EXPECT_EQ(fmtMoney("%.2f", money(10050)), "1,01");
    EXPECT_EQ(fmtMoney("%.2f", money(123450)), "12,35");
    EXPECT_EQ(fmtMoney("%.2f", money(-123450)), "-12,35");
}

TEST(Format, ExactDigitsMatchTheLibraryExpansionOfEveryMagnitude)
{
    // The reference: the C library's exact expansion, digits and exponent.
    const auto reference = [](double v) {
        char buf[800];
        std::snprintf(buf, sizeof buf, "%.780e", v);
        std::string digits;
        const char* p = buf;
        for (; *p && *p != 'e'; ++p)
            if (*p >= '0' && *p <= '9')
                digits.push_back(*p);
        const int point = std::atoi(p + 1) + 1;
        const auto last = digits.find_last_not_of('0');
        return std::to_string(point) + ":" + digits.substr(0, last + 1);
    };
    std::mt19937_64 random(7);
    std::vector<double> values = {1.0, 0.1, 2.675, 12.345, 1e-300, 5e-324, 1.7976931348623157e308,
                                  std::ldexp(1.0, 63), std::ldexp(1.0, 64) - 2048, std::ldexp(1.0, -120),
                                  std::ldexp(1.0, -121), std::ldexp(3.0, -70), 9007199254740993.0};
    for (int i = 0; i < 3000; ++i) {
        std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v) && v != 0)
            values.push_back(i % 2 ? v : std::ldexp(std::fmod(v, 1.0) + 1, i % 160 - 90));
    }
    for (double v : values) {
        for (double signedValue : {v, -v}) {
            const detail::DecimalDigits d = detail::exactDigits(signedValue);
            EXPECT_EQ(std::to_string(d.point) + ":" + d.digits, reference(v)) << v;
            EXPECT_EQ(d.negative, signedValue < 0) << v;
        }
    }
}

TEST(Format, SeveralArgumentsLiteralsAndIndexes)
{
    EXPECT_EQ(format("%s=%7.2f (%d%%)", {FormatArg{std::string_view("Total")}, FormatArg{10.5}, FormatArg{std::int64_t{3}}}),
              "Total=  10,50 (3%)");
    EXPECT_EQ(format("%1:s-%0:s-%s", {FormatArg{std::string_view("a")}, FormatArg{std::string_view("b")}}), "b-a-b");
}

TEST(Format, ProgrammingErrorsThrow)
{
    EXPECT_THROW(fmtInt("%s", 1), std::invalid_argument);
    EXPECT_THROW(fmtStr("%d", "1"), std::invalid_argument);
    EXPECT_THROW(fmtFloat("%d", 1.0), std::invalid_argument);
    EXPECT_THROW(format("%d %d", {FormatArg{std::int64_t{1}}}), std::invalid_argument);
    EXPECT_THROW(fmtInt("%", 1), std::invalid_argument);
    EXPECT_THROW(fmtInt("%q", 1), std::invalid_argument);
    EXPECT_THROW(fmtInt("%99999d", 1), std::invalid_argument);
}

} // namespace
} // namespace ecf::common

#include "common/convert.h"
#include "common/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace ecf::common {
namespace {

template <typename F>
std::string errorText(F f)
{
    try {
        f();
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(StrToInt, AcceptsWhatTheRuntimeAccepts)
{
    EXPECT_EQ(strToInt("0"), 0);
    EXPECT_EQ(strToInt("  42"), 42);
    EXPECT_EQ(strToInt("-17"), -17);
    EXPECT_EQ(strToInt("+8"), 8);
    EXPECT_EQ(strToInt("007"), 7);
    EXPECT_EQ(strToInt("$1F"), 31);
    EXPECT_EQ(strToInt("0x10"), 16);
    EXPECT_EQ(strToInt("2147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(strToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(strToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(strToInt64("-9223372036854775808"), INT64_MIN);
}

TEST(StrToInt, RejectsEverythingElseWithTheRuntimesText)
{
    for (const char* bad : {"", " ", "42 ", "4 2", "1,0", "1.0", "abc", "-", "$", "$G", "2147483648", "-2147483649",
                            "99999999999999999999", "$100000000"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorText([&] { strToInt(bad); }), "'" + std::string(bad) + "' is not a valid integer value");
    }
    EXPECT_THROW(strToInt64("9223372036854775808"), ConversionError);
    // High bytes show as Latin-1 in the message.
    EXPECT_EQ(errorText([] { strToInt("\xE7"); }), "'\xC3\xA7' is not a valid integer value");
}

TEST(StrToFloat, CommaIsTheDecimalSeparator)
{
    EXPECT_EQ(strToFloat("1,5"), 1.5);
    EXPECT_EQ(strToFloat(" -0,25 "), -0.25);
    EXPECT_EQ(strToFloat("18"), 18.0);
    EXPECT_EQ(strToFloat(",5"), 0.5);
    EXPECT_EQ(strToFloat("1,5E3"), 1500.0);
    EXPECT_EQ(strToFloat("2e-2"), 0.02);
    EXPECT_EQ(strToFloat("1234567,89"), 1234567.89);
    for (const char* bad : {"", "   ", "1.5", "1,2x", "1,2,3", ",", "E5", "1E", "1 000", "NAN", "1E999"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorText([&] { strToFloat(bad); }), "'" + std::string(bad) + "' is not a valid floating point value");
    }
}

TEST(StrToMoney, ExactOnTheDecimalDigits)
{
    EXPECT_EQ(strToMoney("10,0001").tenThousandths(), 100001);
    EXPECT_EQ(strToMoney("1234567,89").tenThousandths(), 12345678900);
    EXPECT_EQ(strToMoney("-0,5").tenThousandths(), -5000);
    EXPECT_EQ(strToMoney("0,00005").tenThousandths(), 1); // fifth decimal rounds half away
    EXPECT_EQ(strToMoney("0,00004999").tenThousandths(), 0);
    EXPECT_EQ(strToMoney("1,5E2").tenThousandths(), 1500000);
    EXPECT_EQ(strToMoney("0").tenThousandths(), 0);
    EXPECT_THROW(strToMoney("1.5"), ConversionError);
    EXPECT_THROW(strToMoney("1E30"), ConversionError);
}

TEST(StrToDate, DayMonthYear)
{
    EXPECT_EQ(strToDate("30/12/1899"), 0.0);
    EXPECT_EQ(strToDate("01/01/1900"), 2.0);
    EXPECT_EQ(strToDate("29/02/2024"), encodeDate(2024, 2, 29));
    EXPECT_EQ(strToDate("1/2/2024"), encodeDate(2024, 2, 1));
    EXPECT_EQ(strToDate(" 1/ 2/2024"), encodeDate(2024, 2, 1));
    // Two-digit years fall in the 100 years that begin 50 years before the current one.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int currentYear = local.tm_year + 1900;
    int y, m, d;
    decodeDate(strToDate("01/01/" + std::to_string(currentYear % 100)), y, m, d);
    EXPECT_EQ(y, currentYear);
    decodeDate(strToDate("01/01/" + std::to_string((currentYear - 49) % 100)), y, m, d);
    EXPECT_EQ(y, currentYear - 49);
    decodeDate(strToDate("01/01/" + std::to_string((currentYear + 49) % 100)), y, m, d);
    EXPECT_EQ(y, currentYear + 49);

    for (const char* bad : {"  /  /    ", "", "01/01/    ", "01/01", "31/02/2024", "00/01/2024", "01/13/2024",
                            "01-01-2024", "01/01/2024x", "1/1/99999", "29/02/2023"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorText([&] { strToDate(bad); }), "'" + std::string(bad) + "' is not a valid date");
    }
}

TEST(Dates, EncodeAndDecodeRoundTrip)
{
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(encodeDate(1800, 1, 1), -36522.0);
    EXPECT_THROW(encodeDate(2023, 2, 29), ConversionError);
    for (double days : {-693593.0, -36522.0, 0.0, 59.0, 60.0, 36526.0, 45351.75, 2958465.0}) {
        int y, m, d;
        decodeDate(days, y, m, d);
        EXPECT_EQ(encodeDate(y, m, d), std::floor(days)) << days;
    }
    int y, m, d;
    decodeDate(45351.75, y, m, d); // a time of day does not change the date
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_THROW(decodeDate(1e12, y, m, d), ConversionError);
}

TEST(FloatToStr, ShortestWithFifteenDigits)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {18, "18"},
        {0.5, "0,5"},
        {1234.5, "1234,5"},
        {-1234.5, "-1234,5"},
        {1234567.89, "1234567,89"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3, "0,333333333333333"},
        {2.0 / 3, "0,666666666666667"},
        {1e20, "1E20"},
        {1.5e-6, "1,5E-6"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {123456789012345678.0, "1,23456789012346E17"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(floatToStr(v), text) << v;
    EXPECT_EQ(intToStr(-42), "-42");
}

} // namespace
} // namespace ecf::common

#include "common/text.h"

#include <gtest/gtest.h>

namespace ecf::common {
namespace {

TEST(CodePages, ToUtf8)
{
    EXPECT_EQ(toUtf8("Utilit\xE1rios"), "Utilitários");
    EXPECT_EQ(toUtf8("\x80 \x9C"), "€ œ");
    EXPECT_EQ(toUtf8("A\x87\xC6o", 850), "Ação");
    EXPECT_EQ(toUtf8("\x87\xA0", 437), "çá");
    EXPECT_EQ(toUtf8("\x8F\xE0", 866), "Пр");
    EXPECT_EQ(toUtf8("\xE7", 9999), "ç"); // unknown code pages read as 1252
    EXPECT_EQ(toUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePages, FromUtf8)
{
    EXPECT_EQ(fromUtf8("Utilitários"), "Utilit\xE1rios");
    EXPECT_EQ(fromUtf8("Ação", 850), "A\x87\xC6o");
    EXPECT_EQ(fromUtf8("€"), "\x80");
    EXPECT_EQ(fromUtf8("€", 437), "?");       // not in the code page
    EXPECT_EQ(fromUtf8("日本"), "??");
    EXPECT_EQ(fromUtf8("\xC3"), "?");         // cut sequence
    EXPECT_EQ(fromUtf8("\xC0\xAFx"), "??x");  // overlong form
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), "???"); // a surrogate is not a character
}

TEST(CodePages, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    for (int cp : {1252, 850, 437, 866, 860, 1250, 1251}) {
        SCOPED_TRACE(cp);
        EXPECT_EQ(fromUtf8(toUtf8(all, cp), cp), all);
        EXPECT_EQ(narrow(widen(all, cp), cp), all);
    }
}

TEST(CodePages, WideTexts)
{
    EXPECT_EQ(widen("P\xE7"), u"P\u00E7");
    EXPECT_EQ(widen("\x80"), u"\u20AC");
    EXPECT_EQ(narrow(u"\u20AC\u00E7"), "\x80\xE7");
    EXPECT_EQ(narrow(u"\u4E2D"), "?");
    EXPECT_EQ(narrow(u"\xD83D\xDE00!"), "?!"); // a pair is one character
}

} // namespace
} // namespace ecf::common

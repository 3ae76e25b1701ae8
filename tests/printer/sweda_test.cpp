// The Sweda family: the command channel, start-up with the tax-rate reading, the utilities,
// the payment forms and the coupon, against the emulator and against canned replies.
#include "common/errors.h"
#include "fam_b_rig.h"

#include <gtest/gtest.h>

using namespace ecf;
using ecf::test::famb::FamBRig;
using ecf::test::famb::jsonBytes;
using printer::sweda::SwedaDriver;

namespace {

const std::string esc = "\x1b";

// A canned file whose SwedaRead entries answer in order.
std::string readsJson(const std::vector<std::string>& replies, const std::string& extra = "")
{
    std::string json = R"({"calls": {"SwedaRead": [)";
    for (std::size_t i = 0; i < replies.size(); ++i)
        json += (i ? "," : "") + std::string(R"({"out": )") + jsonBytes(replies[i]) + "}";
    json += "]" + extra + "}}";
    return json;
}

// A 293 reply: 48 characters of head, then 7-character groups.
std::string reply293(const std::vector<std::string>& groups, std::string head = ".+C293")
{
    head.resize(48, '0');
    for (const auto& g : groups)
        head += g;
    return head + "}";
}

} // namespace

TEST(SwedaChannel, OpensOnThePortNumberAndCutsOverlongCommands)
{
    FamBRig rig("SWEDA", "", "3");
    EXPECT_EQ(rig.channel.open("3"), 0);
    EXPECT_THROW(rig.channel.open("COM1"), common::ConversionError);

    // A command longer than the 513-byte buffer is cut to 512 bytes, never written past it.
    const std::string longCommand = esc + ".39" + std::string(600, 'A') + "}";
    rig.channel.send(longCommand);
    EXPECT_EQ(rig.channel.command(), longCommand.substr(0, 512));

    rig.channel.read();
    const auto lines = rig.callLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["args"], nlohmann::json::parse("[3,5,1,1]"));
    EXPECT_EQ(lines[1]["args"][0].get<std::string>().size(), 512u);
    // The read is traced with the reply buffer as passed in and 512; out is the reply.
    EXPECT_EQ(lines[2]["args"], nlohmann::json::parse(R"(["", 512])"));
    EXPECT_EQ(lines[2]["out"], ".+}"); // the cut command lost its closing brace
}

TEST(SwedaChannel, ReplyStopsAtItsFirstNulAndNeverPassesTheBuffer)
{
    FamBRig rig("SWEDA", readsJson({"abc\u0000def", std::string(700, 'x'), "yz"}));
    rig.channel.read();
    EXPECT_EQ(rig.channel.reply(), "abc");
    rig.channel.read();
    EXPECT_EQ(rig.channel.reply(), std::string(512, 'x'));
    rig.channel.read(); // a shorter reply ends with a NUL of its own
    EXPECT_EQ(rig.channel.reply(), "yz");
    const auto lines = rig.callLines();
    EXPECT_EQ(lines[2]["args"][0], std::string(512, 'x')); // what the buffer held when passed in
}

TEST(SwedaStart, OpensThePortAndReadsTheTaxRatesFromTheEmulator)
{
    FamBRig rig("SWEDA");
    SwedaDriver d(rig.ctx);
    d.openPort(0);
    ASSERT_TRUE(d.start(0));
    EXPECT_EQ(rig.calls(), (std::vector<std::string>{
                               "SwedaOpen(1, 5, 1, 1)",
                               "SwedaSend(\"\\u001b.293}\")",
                               "SwedaRead(\"\", 512)",
                               "SwedaSend(\"\\u001b.294}\")",
                               "SwedaRead(" + jsonBytes(rig.callLines()[2]["out"].get<std::string>()) + ", 512)",
                               "SwedaSend(\"\\u001b.295}\")",
                               "SwedaRead(" + jsonBytes(rig.callLines()[4]["out"].get<std::string>()) + ", 512)",
                           }));
    const int expected[] = {18, 12, 7, 25, 5};
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(rig.taxTable.entry(n).rate, common::Money::fromWhole(n <= 5 ? expected[n - 1] : 0)) << n;
    EXPECT_TRUE(rig.messages().empty());
}

TEST(SwedaStart, StatusRepliesAndEmptyTableEndStartUp)
{
    struct Case {
        std::string reply;
        std::string message;
    } cases[] = {
        {".-P0002}", "Erro de timeout - comunicação"},
        {".-P0006}", "Impressora não responde - status"},
        {reply293({"       ", "T021200"}), "Tabela de aliquotas de icms da SWEDA vazia"},
    };
    for (const auto& c : cases) {
        FamBRig rig("SWEDA", readsJson({c.reply}));
        SwedaDriver d(rig.ctx);
        EXPECT_FALSE(d.start(0)) << c.message;
        EXPECT_EQ(rig.messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(rig.calls().size(), 2u) << "no further request";
        EXPECT_TRUE(rig.taxTable.entry(2).rate.isZero());
    }
}

TEST(SwedaStart, ParsesGroupsAtTheirPositionsAndReportsSendFailures)
{
    // Register 1 " 700" (blank removed), register 2 empty by its label, register 3 "1250";
    // 294: registers 5 and 12; 295: register 16.
    const std::string r294 = "." + std::string("T050500") + std::string(6 * 7, ' ') + "T122200}";
    const std::string r295 = "." + std::string(21, ' ') + "T160300" + std::string(6, ' ') + "Dinheiro       }";
    FamBRig rig("SWEDA", readsJson({reply293({"T01 700", "   1800", "T031250", "       "}), r294, r295},
                                   R"(, "SwedaSend": [{"ret": 7}, {"ret": 3}, {"ret": 0}])"));
    SwedaDriver d(rig.ctx);
    ASSERT_TRUE(d.start(0));
    EXPECT_EQ(rig.messages(), (std::vector<std::string>{"Erro de comunicação: 7", "Erro: 3"}));
    auto rate = [&](int n) { return rig.taxTable.entry(n).rate.toString(); };
    EXPECT_EQ(rate(1), "7.0000");
    EXPECT_EQ(rate(2), "0.0000");
    EXPECT_EQ(rate(3), "12.5000");
    EXPECT_EQ(rate(5), "5.0000");
    EXPECT_EQ(rate(12), "22.0000");
    EXPECT_EQ(rate(13), "0.0000");
    EXPECT_EQ(rate(16), "3.0000");
}

TEST(SwedaStart, ARateThatIsNoNumberEndsStartUpWithAConversionError)
{
    FamBRig rig("SWEDA", readsJson({reply293({"T0118x0"})}));
    SwedaDriver d(rig.ctx);
    EXPECT_THROW(d.start(0), common::ConversionError);
}

TEST(SwedaStart, PortThatIsNoNumberOrFailsToOpen)
{
    {
        FamBRig rig("SWEDA", "", "");
        SwedaDriver d(rig.ctx);
        EXPECT_THROW(d.openPort(0), common::ConversionError);
        EXPECT_TRUE(rig.calls().empty());
    }
    FamBRig rig("SWEDA", R"({"calls": {"SwedaOpen": [{"ret": 1}]}})", "2");
    SwedaDriver d(rig.ctx);
    d.openPort(0);
    EXPECT_EQ(rig.calls(), std::vector<std::string>{"SwedaOpen(2, 5, 1, 1)"});
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro ao abrir porta da ECF SWEDA."});
}

TEST(SwedaUtilities, ReadingsAndCancelSendTheirCommandAndReadWithoutLookingAtResults)
{
    FamBRig rig("SWEDA", R"({"calls": {"SwedaSend": [{"ret": 9, "times": "always"}]}})");
    SwedaDriver d(rig.ctx);
    d.xReading();
    d.zReduction();
    d.cancelCoupon(printer::CancelKind::LastCoupon);
    d.cancelCoupon(printer::CancelKind::OpenCoupon);
    d.fiscalMemory("01/12/2026", "07/12/2026"); // nothing for this family
    EXPECT_EQ(rig.callsOf("SwedaSend"), (std::vector<std::string>{
                                            "SwedaSend(\"\\u001b.13N}\")",
                                            "SwedaSend(\"\\u001b.14N}\")",
                                            "SwedaSend(\"\\u001b.05}\")",
                                            "SwedaSend(\"\\u001b.05}\")",
                                        }));
    EXPECT_EQ(rig.callsOf("SwedaRead").size(), 4u);
    EXPECT_TRUE(rig.messages().empty());
}

TEST(SwedaPaymentForms, ListingReadsTheEmulatorsForms)
{
    FamBRig rig("SWEDA");
    SwedaDriver d(rig.ctx);
    std::vector<std::string> items{"old"};
    d.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"Dinheiro       ", "Cheque         ", "Cartao         "}));
    EXPECT_EQ(rig.callsOf("SwedaSend"),
              (std::vector<std::string>{"SwedaSend(\"\\u001b.295}\")", "SwedaSend(\"\\u001b.296}\")"}));
}

TEST(SwedaPaymentForms, ListingPositionsShortRepliesAndSendFailures)
{
    // 295: char 36 not blank, the third entry runs past the end; 296: char 8 blank.
    const std::string r295 = std::string(35, '.') + "Dinheiro       Cheque         Car";
    const std::string r296 = std::string(7, '.') + " Vale";
    FamBRig rig("SWEDA", readsJson({r295, r296}, R"(, "SwedaSend": [{"ret": 5}])"));
    SwedaDriver d(rig.ctx);
    std::vector<std::string> items;
    d.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"Dinheiro       ", "Cheque         ", "Car"}));
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro: 5"});

    // Replies shorter than the positions tested count as not blank: entries cut short.
    FamBRig rig2("SWEDA", readsJson({"short", std::string(10, 'x')}));
    SwedaDriver d2(rig2.ctx);
    d2.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"", "", "", "xxx", "", "", "", "", "", ""}));

    // A blank at char 36 of the first reply and at char 8 of the second: an empty list.
    FamBRig rig3("SWEDA", readsJson({std::string(35, '.') + " X", "1234567 Y"}));
    SwedaDriver d3(rig3.ctx);
    d3.listPaymentForms(items);
    EXPECT_TRUE(items.empty());
}

TEST(SwedaDriver, CommandTextBlanksControlBytesAndTheClosingBrace)
{
    EXPECT_EQ(SwedaDriver::commandText("A\x1b" "B}C|D\x7f\x01\xe7"), "A B C|D  \xe7");
    EXPECT_EQ(SwedaDriver::commandText(""), "");
}

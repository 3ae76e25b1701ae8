// The Sweda family: the command channel, start-up with the tax-rate reading, the utilities,
// the payment forms and the coupon, against the emulator and against canned replies.
#include "common/errors.h"
#include "coupon_tables.h"
#include "printer/sweda/sweda_driver.h"

#include <gtest/gtest.h>

using namespace ecf;
using ecf::test::sale_tables::PrinterRig;
using ecf::test::sale_tables::jsonBytes;
using namespace ecf::test::sale_tables;
using printer::sweda::SwedaDriver;

namespace {
// The Sweda driver's command and reply buffers.
printer::sweda::SwedaChannel& channel(PrinterRig& rig)
{
    return static_cast<SwedaDriver&>(rig.driver()).channel();
}
} // namespace

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
    PrinterRig rig("SWEDA", "", "3");
    EXPECT_EQ(channel(rig).open("3"), 0);
    EXPECT_THROW(channel(rig).open("COM1"), common::ConversionError);

    // A command longer than the 513-byte buffer is cut to 512 bytes, never written past it.
    const std::string longCommand = esc + ".39" + std::string(600, 'A') + "}";
    channel(rig).send(longCommand);
    EXPECT_EQ(channel(rig).command(), longCommand.substr(0, 512));

    channel(rig).read();
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
    PrinterRig rig("SWEDA", readsJson({"abc\u0000def", std::string(700, 'x'), "yz"}));
    channel(rig).read();
    EXPECT_EQ(channel(rig).reply(), "abc");
    channel(rig).read();
    EXPECT_EQ(channel(rig).reply(), std::string(512, 'x'));
    channel(rig).read(); // a shorter reply ends with a NUL of its own
    EXPECT_EQ(channel(rig).reply(), "yz");
    const auto lines = rig.callLines();
    EXPECT_EQ(lines[2]["args"][0], std::string(512, 'x')); // what the buffer held when passed in
}

TEST(SwedaStart, OpensThePortAndReadsTheTaxRatesFromTheEmulator)
{
    PrinterRig rig("SWEDA");
    printer::FamilyDriver& d = rig.driver();
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
        PrinterRig rig("SWEDA", readsJson({c.reply}));
        printer::FamilyDriver& d = rig.driver();
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
    PrinterRig rig("SWEDA", readsJson({reply293({"T01 700", "   1800", "T031250", "       "}), r294, r295},
                                   R"(, "SwedaSend": [{"ret": 7}, {"ret": 3}, {"ret": 0}])"));
    printer::FamilyDriver& d = rig.driver();
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
    PrinterRig rig("SWEDA", readsJson({reply293({"T0118x0"})}));
    printer::FamilyDriver& d = rig.driver();
    EXPECT_THROW(d.start(0), common::ConversionError);
}

TEST(SwedaStart, PortThatIsNoNumberOrFailsToOpen)
{
    {
        PrinterRig rig("SWEDA", "", "");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(d.openPort(0), common::ConversionError);
        EXPECT_TRUE(rig.calls().empty());
    }
    PrinterRig rig("SWEDA", R"({"calls": {"SwedaOpen": [{"ret": 1}]}})", "2");
    printer::FamilyDriver& d = rig.driver();
    d.openPort(0);
    EXPECT_EQ(rig.calls(), std::vector<std::string>{"SwedaOpen(2, 5, 1, 1)"});
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro ao abrir porta da ECF SWEDA."});
}

TEST(SwedaUtilities, ReadingsAndCancelSendTheirCommandAndReadWithoutLookingAtResults)
{
    PrinterRig rig("SWEDA", R"({"calls": {"SwedaSend": [{"ret": 9, "times": "always"}]}})");
    printer::FamilyDriver& d = rig.driver();
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

TEST(SwedaPaymentForms, ListingPositionsShortRepliesAndSendFailures)
{
    // 295: char 36 not blank, the third entry runs past the end; 296: char 8 blank.
    const std::string r295 = std::string(35, '.') + "Dinheiro       Cheque         Car";
    const std::string r296 = std::string(7, '.') + " Vale";
    PrinterRig rig("SWEDA", readsJson({r295, r296}, R"(, "SwedaSend": [{"ret": 5}])"));
    printer::FamilyDriver& d = rig.driver();
    std::vector<std::string> items;
    d.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"Dinheiro       ", "Cheque         ", "Car"}));
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro: 5"});

    // Replies shorter than the positions tested count as not blank: entries cut short.
    PrinterRig rig2("SWEDA", readsJson({"short", std::string(10, 'x')}));
    printer::FamilyDriver& d2 = rig2.driver();
    d2.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"", "", "", "xxx", "", "", "", "", "", ""}));

    // A blank at char 36 of the first reply and at char 8 of the second: an empty list.
    PrinterRig rig3("SWEDA", readsJson({std::string(35, '.') + " X", "1234567 Y"}));
    printer::FamilyDriver& d3 = rig3.driver();
    d3.listPaymentForms(items);
    EXPECT_TRUE(items.empty());
}

// --- coupon

TEST(SwedaCoupon, ItemsPaymentAndClosingToTheByte)
{
    PrinterRig rig("SWEDA");
    loadRates(rig.taxTable, false);
    Item a;
    a.quantidade = 1.5;
    a.precoUnit = 12.345;
    a.bt = 18.5;
    a.bi = 0.02;
    a.vlrDescit = 1.5;
    Item b = a;
    b.numItem = 2;
    b.codReduz = 7;
    b.descr = "UM NOME DE PRODUTO BEM COMPRIDO";
    b.unid = "CAIXA";
    b.aliqIcms = 7;
    b.vlrDescit = 0;
    Header h;
    h.vlrNota = 12.3456;
    h.tipoPagNum = 1;
    CouponTables t(rig, h, {a, b});
    printer::FamilyDriver& d = rig.driver();
    std::vector<std::string> codes;
    ASSERT_TRUE(t.sellItems(d, &codes));
    t.close(d);
    d.receipts(t.sale(d));
    EXPECT_EQ(codes, (std::vector<std::string>{"T01", "T03"}));
    const std::string e = esc;
    std::vector<std::string> sent;
    for (const auto& l : rig.callLines())
        if (l["fn"] == "SwedaSend")
            sent.push_back(printer::jsonTextToBytes(l["args"][0].get<std::string>()));
    EXPECT_EQ(sent, (std::vector<std::string>{
                        e + ".17}",
                        e + ".01" "0000000000123" "0001500" "000001234" "000000001852" "CANETA AZUL         " " UN " "T01}",
                        e + ".02          000000000150}",
                        e + ".01" "0000000000007" "0001500" "000001234" "000000001852" "UM NOME DE PRODUTO B" " CAI" "T03}",
                        e + ".02          000000000000}",
                        e + ".1002000000001234}",
                        e + ".12NN2" + std::string(20, ' ') + "}",
                    }));
    EXPECT_TRUE(rig.callsOf("SwedaRead").empty());
    EXPECT_TRUE(rig.messages().empty());
    EXPECT_FALSE(rig.emu.couponOpen);
}

TEST(SwedaCoupon, DiscountKinds)
{
    struct Case {
        std::string kind;
        double descit, total;
        std::string value;
    } cases[] = {
        {"P", 10, 19.99, "000000000200"},
        {"P", 10, 11.50, "000000000114"}, // R = 1.15, stored just below it, cut to 114 cents
        {"V", 2.345, 10, "000000000234"},
        {"X", 5, 10, "000000000000"},     // neither amount nor percentage: no discount
        {"P", 0, 10, "000000000000"},
    };
    for (const auto& c : cases) {
        PrinterRig rig("SWEDA");
        loadRates(rig.taxTable, false);
        Item i;
        i.vlrDescit = c.descit;
        i.bt = c.total;
        Branch br;
        br.tipoDescIt = c.kind;
        CouponTables t(rig, Header{}, {i}, br);
        printer::FamilyDriver& d = rig.driver();
        ASSERT_TRUE(t.sellItems(d));
        const auto sends = rig.callsOf("SwedaSend");
        ASSERT_EQ(sends.size(), 3u);
        EXPECT_EQ(sends[2], "SwedaSend(\"\\u001b.02          " + c.value + "}\")") << c.kind << " " << c.descit;
    }
}

TEST(SwedaCoupon, ErrorStops)
{
    struct Case {
        std::string sendResults;
        std::size_t sends;
        std::string message;
    } cases[] = {
        {"[{\"ret\": 1}]", 1, "Erro na abertura do cupom fiscal "},
        {"[{\"ret\": 0}, {\"ret\": 2}]", 2, "Erro ao tentar Imprimir o item."},
        {"[{\"ret\": 0}, {\"ret\": 0}, {\"ret\": 3}]", 3, "Erro ao tentar Imprimir o item."},
    };
    for (const auto& c : cases) {
        PrinterRig rig("SWEDA", R"({"calls": {"SwedaSend": )" + c.sendResults + "}}");
        loadRates(rig.taxTable, false);
        Item second;
        second.numItem = 2;
        CouponTables t(rig, Header{}, {Item{}, second});
        printer::FamilyDriver& d = rig.driver();
        EXPECT_FALSE(t.sellItems(d));
        EXPECT_EQ(rig.callsOf("SwedaSend").size(), c.sends);
        EXPECT_EQ(rig.messages(), std::vector<std::string>{c.message});
    }
}

TEST(SwedaCoupon, TaxCodeResolution)
{
    struct Case {
        std::string icms, subst;
        double base, aliqCupom, aliqIcms;
        std::string code;
    } cases[] = {
        {"X", "S", 100, 0, 18, "F  "},
        {"X", "N", 100, 0, 18, "N  "},
        {"T", "N", 0, 0, 18, "I  "},
        {"T", "N", 0, 99, 18, "N  "},
        {"T", "N", 40, 7, 18, "T03"},
        {"T", "N", 40, 0, 12, "T02"},
        {"T", "N", 100, 7, 25, "T04"},
        {"T", "N", 100, 0, 17, "   "},
    };
    for (const auto& c : cases) {
        PrinterRig rig("SWEDA");
        loadRates(rig.taxTable, false);
        Item i;
        i.substTrib = c.subst;
        i.baseIcms = c.base;
        i.aliqCupom = c.aliqCupom;
        i.aliqIcms = c.aliqIcms;
        Header h;
        h.icms = c.icms;
        CouponTables t(rig, h, {i});
        printer::FamilyDriver& d = rig.driver();
        EXPECT_EQ(d.resolveTaxCode(t.sale(d).item(0)).text, c.code) << c.icms << c.subst << c.base << " " << c.aliqCupom;
        EXPECT_EQ(rig.messages().size(), c.code == "   " ? 1u : 0u);
    }
    // Two entries of the same rate: the later one wins.
    PrinterRig rig("SWEDA");
    loadRates(rig.taxTable, false);
    rig.taxTable.entry(9).rate = common::Money::fromWhole(18);
    CouponTables t(rig, Header{}, {Item{}});
    printer::FamilyDriver& d = rig.driver();
    EXPECT_EQ(d.resolveTaxCode(t.sale(d).item(0)).text, "T09");
}

TEST(SwedaCoupon, PaymentVariants)
{
    struct Case {
        int fatModNf, tipoPagNum;
        double ticket, cash, vale;
        std::string payment, closing;
    } cases[] = {
        {0, 0, 0, 0, 0, "01000000001000", "2" + std::string(20, ' ')},
        {150, 0, 0, 0, 0, "", "2" + std::string(20, ' ')},
        {150, 2, 3.5, 6.5, 0, "03000000000350" "03000000000650", "2" + std::string(20, ' ')},
        {150, 0, 0, 6.5, 1234.5, "01000000000650",
         "0" + std::string(40, '-') + "0VALE TICKET NUMERO 000042" + std::string(15, ' ') + "0VALOR     1.234,50" +
             std::string(22, ' ')},
    };
    for (const auto& c : cases) {
        PrinterRig rig("SWEDA");
        rig.config.fatModNf = c.fatModNf;
        Header h;
        h.tipoPagNum = c.tipoPagNum;
        h.vlrTicket = c.ticket;
        h.vlrDinheiro = c.cash;
        h.vlrValeAberto = c.vale;
        h.numValeTroco = 42;
        CouponTables t(rig, h, {});
        printer::FamilyDriver& d = rig.driver();
        t.close(d);
        const auto lines = rig.callLines();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(printer::jsonTextToBytes(lines[0]["args"][0].get<std::string>()), esc + ".10" + c.payment + "}");
        EXPECT_EQ(printer::jsonTextToBytes(lines[1]["args"][0].get<std::string>()), esc + ".12NN" + c.closing + "}");
        if (c.vale != 0) {
            EXPECT_EQ(c.closing.size(), 123u);
        }
    }
}

TEST(SwedaCoupon, FramingBytesFromTablesBecomeBlanks)
{
    PrinterRig rig("SWEDA");
    loadRates(rig.taxTable, false);
    Item i;
    i.descr = "A\x1b" "B|C}D\x0d\x0a" "E";
    i.unid = "}\x1b";
    CouponTables t(rig, Header{}, {i});
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(t.sellItems(d));
    const auto sale = printer::jsonTextToBytes(rig.callLines()[1]["args"][0].get<std::string>());
    EXPECT_EQ(sale.substr(45), "A B|C D  E           " "   T01}");
    // The sale reached the emulated printer whole: the item is on the tape.
    bool printed = false;
    for (const auto& line : rig.emu.tape)
        printed = printed || line.find("A B|C D  E") != std::string::npos;
    EXPECT_TRUE(printed);
}

TEST(SwedaPaymentForms, ProgrammingSendsOneListAndTheListingShowsIt)
{
    PrinterRig rig("SWEDA");
    const std::vector<std::string> forms{"DINHEIRO", "PIX", "CARTAO", "UMA FORMA COM VINTE}"};
    printer::FamilyDriver& d = rig.driver();
    d.programPaymentForms(forms);
    const std::string list = "DINHEIRO       PIX            CARTAO         UMA FORMA COM V";
    EXPECT_EQ(rig.calls(), std::vector<std::string>{"SwedaSend(" + jsonBytes(esc + ".39" + list + "}") + ")"});
    std::vector<std::string> items;
    d.listPaymentForms(items);
    const std::string blank(15, ' ');
    EXPECT_EQ(items, (std::vector<std::string>{"DINHEIRO       ", "PIX            ", "CARTAO         ", "UMA FORMA COM V",
                                               blank, blank, blank, blank, blank, blank}));

    PrinterRig empty("SWEDA");
    const std::vector<std::string> none{};
    printer::FamilyDriver& e = empty.driver();
    e.programPaymentForms(none);
    EXPECT_TRUE(empty.calls().empty());
}

// The Bematech MP-20 family (Mp20fi32.dll, reply file "MP20FI.RET"): start-up, tax codes, item
// commands, closing with the payment-form lookup, receipts, utilities and the listing.
#include "common/errors.h"
#include "printer_rig.h"
#include "printer/mp20/mp20_driver.h"
#include "printer/mp20/mp20_emulator.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ecf;
using namespace ecf::test;

namespace {

const std::string E = "\x1b";

std::string cannedFormataTX(const std::string& entries)
{
    return R"({"calls": {"FormataTX": [)" + entries + "]}}";
}

std::string out(const std::string& reply) { return R"({"out": )" + jsonLatin1(reply) + "}"; }

// A tax-rate reply of full length: two status characters and 16 groups (blank when not given).
std::string rates(const std::string& groups)
{
    std::string r = "00" + groups;
    r.resize(66, ' ');
    return r;
}

} // namespace

TEST(Mp20Start, OpensThePortReadsRatesAndProgramsThePaymentForms)
{
    PrinterRig rig("BEMATECH", "", "2");
    printer::FamilyDriver& d = rig.driver();
    d.openPort(0);
    ASSERT_TRUE(d.start(0));
    ASSERT_TRUE(d.programsPaymentFormsAtStart()); // start-up sends FormaPtg's forms next
    d.programPaymentForms({"Dinheiro", "Vale|Troca\x1b"});
    EXPECT_EQ(rig.argsOf("IniPortaStr"), std::vector<std::string>{"COM2"});
    EXPECT_EQ(rig.argsOf("FormataTX"),
              (std::vector<std::string>{E + "|26|" + E, E + "|71|Dinheiro|" + E, E + "|71|Vale Troca |" + E}));
    const char* rates[] = {"18.0000", "12.0000", "7.0000", "25.0000"};
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(rig.taxTable.entry(n).rate.toString(), rates[n - 1]);
    for (int n = 5; n <= 16; ++n)
        EXPECT_TRUE(rig.taxTable.entry(n).rate.isZero());
    EXPECT_TRUE(rig.messages().empty());
    EXPECT_EQ(rig.emu.paymentForms.back(), "Vale Troca");
}

TEST(Mp20Start, Replies)
{
    struct Case {
        std::string canned;
        bool ok;
        std::vector<std::string> messages;
        std::vector<const char*> rates; // entries 1..n
    };
    const std::vector<Case> cases = {
        {R"({"calls": {"IniPortaStr": [{"ret": 0}]}})", true, {"Erro ao Inicializar Porta Da BEMATECH."},
         {"18.0000"}},
        {cannedFormataTX(R"({"ret": 3, "out": ")" + rates("1800") + R"(\r\n00"})"), true, {"Erro: 3"},
         {"18.0000", "0.0000"}},
        {cannedFormataTX(out(rates("    0700  15"))), true, {}, {"0.0000", "7.0000", "0.1500"}},
        {cannedFormataTX(out("0")), false, {"Tabela de aliquotas de icms da BEMATECH vazia"}, {}},
        {cannedFormataTX(out("")), false, {"Tabela de aliquotas de icms da BEMATECH vazia"}, {}},
    };
    for (const auto& c : cases) {
        PrinterRig rig("BEMATECH", c.canned);
        printer::FamilyDriver& d = rig.driver();
        d.openPort(0);
        EXPECT_EQ(d.start(0), c.ok) << (&c - cases.data());
        EXPECT_EQ(rig.messages(), c.messages) << (&c - cases.data());
        for (std::size_t n = 0; n < c.rates.size(); ++n)
            EXPECT_EQ(rig.taxTable.entry(static_cast<int>(n) + 1).rate.toString(), c.rates[n]) << (&c - cases.data());
        EXPECT_EQ(rig.argsOf("FormataTX").size(), 1u) << (&c - cases.data()); // the rates' command only
    }
    {   // the reply file missing: the message, then the file error ends start-up
        PrinterRig rig("BEMATECH", cannedFormataTX(R"({"out": null})"));
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(d.start(0), common::FileError);
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"Arquivo De Retorno Nao Foi Encontrado"});
    }
    // a group that is no number, or a reply too short for its 16 groups
    for (const std::string& reply : {rates("12a4"), std::string("001800")}) {
        PrinterRig rig("BEMATECH", cannedFormataTX(out(reply)));
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(d.start(0), common::ConversionError) << reply;
    }
}

TEST(Mp20Coupon, TaxCodes)
{
    struct Case {
        FieldValues header, item;
        bool serviceEntry;
        const char* code;
    };
    const std::vector<Case> cases = {
        {{{"Icms", T("N")}}, {{"Subst_Trib", T("S")}}, false, "FF"},
        {{{"Icms", T("N")}}, {}, false, "NN"},
        {{}, {{"BaseIcms", N(0)}}, false, "II"},
        {{}, {{"BaseIcms", N(0)}, {"AliqCupom", N(99)}}, false, "NN"},
        {{}, {{"BaseIcms", N(40)}, {"AliqCupom", N(7)}}, false, "03"},
        {{}, {{"AliqIcms", N(18)}}, false, "05"},   // entries 1 and 5: the last wins
        {{}, {{"AliqIcms", N(4)}}, false, "  "},
        // a service item skips substitution and is looked up among service entries only
        {{}, {{"Nivel1", T("90")}, {"Subst_Trib", T("S")}, {"AliqIcms", N(18)}}, false, "  "},
        {{{"Icms", T("N")}}, {{"Nivel1", T("90")}}, true, "06"},
    };
    for (const auto& c : cases) {
        PrinterRig rig("BEMATECH");
        for (auto [n, rate] : {std::pair{1, 18}, {2, 12}, {3, 7}, {5, 18}, {6, 5}})
            rig.taxTable.entry(n).rate = common::Money::fromWhole(rate);
        if (c.serviceEntry)
            rig.taxTable.entry(6).serviceFlag = common::Money::fromWhole(1);
        rig.makeCoupon(c.header, {c.item}, {{"Perc_Issqn", N(5)}});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        EXPECT_EQ(d.resolveTaxCode(t.sale(d).item(0)).text, c.code) << (&c - cases.data());
        const bool notFound = std::string(c.code) == "  ";
        EXPECT_EQ(rig.messages(), notFound ? std::vector<std::string>{"Percentual de Tributacao nao Encontrado"}
                                           : std::vector<std::string>{})
            << (&c - cases.data());
    }
}

TEST(Mp20Coupon, ItemCommands)
{
    struct Case {
        const char* kind;
        double discount;
        const char* field;
    };
    for (const Case& c : {Case{"P", 12.5, "1250"}, Case{"V", 3.456, "00000345"}, Case{"X", 5, "0000"}}) {
        PrinterRig rig("BEMATECH");
        rig.makeCoupon({}, {{{"Cod_Reduz", I(42)}, {"Quantidade", N(1.5)}, {"Preco_Unit", N(12.345)},
                             {"Vlr_Descit", N(c.discount)}, {"Descr_Prod", T(std::string(30, 'A'))}}},
                       {{"TipoDescIt", T(c.kind)}});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        EXPECT_TRUE(d.registerItem(t.sale(d).item(0), printer::TaxCode{"01", 0}, common::Money::fromWhole(1)));
        EXPECT_EQ(rig.argsOf("FormataTX"),
                  (std::vector<std::string>{E + "|00|" + E, E + "|09|0000000000042|" + std::string(26, 'A') +
                                                                " UN|01|0001500|00001234|" + c.field + "|" + E}))
            << c.kind;
    }
    for (auto [canned, calls, message] :
         {std::tuple{R"({"ret": 1})", 1u, "Erro na Abertura da Impressora Fiscal "},
          std::tuple{R"({}, {"ret": -1})", 2u, "Erro ao tentar Imprimir o item."}}) {
        PrinterRig rig("BEMATECH", cannedFormataTX(canned));
        rig.makeCoupon({}, {{}});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        EXPECT_FALSE(d.registerItem(t.sale(d).item(0), printer::TaxCode{"01", 0}, common::Money::fromWhole(1)));
        EXPECT_EQ(rig.argsOf("FormataTX").size(), calls);
        EXPECT_EQ(rig.messages(), std::vector<std::string>{message});
    }
}

TEST(Mp20Coupon, IssueWithPaymentLookupMessageAndReceipt)
{
    PrinterRig rig("BEMATECH");
    rig.config.fatModNf = 1;
    rig.makeCoupon({{"Vlr_Nota", N(12.3456)}, {"Cod_Vend1", I(5)}, {"FormaPag", T("Cheque")},
                    {"Cliente", T("JOSE|SILVA")}, {"Bairro", T("")}, {"InscrEst", T("")}},
                   {{{"AliqIcms", N(12)}}}, {{"Fil_Cidade", T("CAMPINAS")}});
    rig.op.confirmAnswers = {common::Answer::Yes};
    printer::FamilyDriver& d = rig.driver();
    rig.taxTable.entry(2).rate = common::Money::fromWhole(12);
    ASSERT_TRUE(rig.issue(d));
    const std::string a14 = "00000000001234";
    const std::string message = "Vendedor: 5 - MARIA               \r\nDestinatario:\r\n000077 JOSE SILVA\r\n"
                                "CNPJ/CPF:12345678901 IE:\r\nRUA A 10 01000-000\r\nSAO PAULO/SP FONE:5555\r\n"
                                "VENC 10/01\r\n";
    const std::string receipt = "\nRECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NO\nCUPOM FISCAL Nro 000123.\n"
                                "CAMPINAS , ____ DE _________________ DE ______\n \n"
                                "_______________________________________________\nJOSE SILVA\n";
    const std::vector<std::string> expected = {
        E + "|00|" + E,
        E + "|09|0000000000123|CANETA AZUL                UN|02|0001000|00001999|00000000|" + E,
        E + "|32|A|0000|" + E,
        E + "|71|Cheque|" + E,
        E + "|72|02|" + a14 + "| |" + E,
        E + "|34|" + message + "|" + E,
        E + "|66|Cheque|" + E,
        E + "|67|" + receipt + "|" + E,
        E + "|21|" + E,
    };
    EXPECT_EQ(rig.argsOf("FormataTX"), expected);
    EXPECT_EQ(static_cast<printer::mp20::Mp20Driver&>(d).replyText(), "02"); // the index of "Cheque", the emulator's second form
    EXPECT_TRUE(rig.messages().empty());
}

TEST(Mp20Coupon, ClosingVariants)
{
    struct Case {
        int fatModNf;
        std::string canned;
        common::Answer answer;
        std::vector<std::string> commands; // command numbers in order
        std::vector<std::string> messages;
        std::string payment;               // the payment command, when checked
    };
    const std::vector<Case> cases = {
        // 136: payment by description, no lookup; the closing result is reported as command 1
        {136, cannedFormataTX(R"({}, {}, {"ret": 5})"), common::Answer::Yes, {"32", "33", "34", "20", "21"},
         {"Comando 1: 5"}, E + "|33|Dinheiro           |00000000001999| |" + E},
        // an empty lookup reply: message and form 01
        {1, cannedFormataTX(R"({}, {"out": ""})"), common::Answer::No, {"32", "71", "72", "34"},
         {"Forma de Pagamento Nao Encontrada na BEMATECH "}, E + "|72|01|00000000001999| |" + E},
        // a one-character reply stands alone between the bars
        {1, cannedFormataTX(R"({}, {"out": "7"})"), common::Answer::Close, {"32", "71", "72", "34"}, {},
         E + "|72|7|00000000001999| |" + E},
        // 89 and 50: no question
        {89, "", common::Answer::Yes, {"32", "71", "72", "34"}, {}, ""},
        {50, "", common::Answer::Yes, {"32", "71", "72", "34"}, {}, ""},
        // failing receipt commands are each reported and the next one is sent
        {1, cannedFormataTX(R"({}, {"out": "01"}, {}, {}, {"ret": 2}, {"ret": 3}, {"ret": 4})"), common::Answer::Yes,
         {"32", "71", "72", "34", "66", "67", "21"}, {"Comando 1: 2", "Comando 2: 3", "Comando 3: 4"}, ""},
    };
    for (const auto& c : cases) {
        PrinterRig rig("BEMATECH", c.canned);
        rig.config.fatModNf = c.fatModNf;
        rig.op.confirmAnswers = {c.answer};
        rig.makeCoupon({}, {});
        printer::FamilyDriver& d = rig.driver();
        ASSERT_TRUE(rig.issue(d));
        std::vector<std::string> commands;
        std::string payment, closing;
        for (const auto& a : rig.argsOf("FormataTX")) {
            commands.push_back(a.substr(2, 2));
            if (a.substr(2, 2) == "33" || a.substr(2, 2) == "72")
                payment = a;
            if (a.substr(2, 2) == "34")
                closing = a;
        }
        EXPECT_EQ(commands, c.commands) << (&c - cases.data());
        EXPECT_EQ(rig.messages(), c.messages) << (&c - cases.data());
        if (!c.payment.empty()) {
            EXPECT_EQ(payment, c.payment) << (&c - cases.data());
        }
        EXPECT_EQ(closing.find("VENC 10/01") != std::string::npos, c.fatModNf != 89) << (&c - cases.data());
    }
    {   // the reply file missing after the lookup: message, file error, no payment sent
        PrinterRig rig("BEMATECH", cannedFormataTX(R"({}, {"out": null})"));
        rig.makeCoupon({}, {});
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(rig.issue(d), common::FileError);
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"Arquivo De Retorno Nao Foi Encontrado"});
        EXPECT_EQ(rig.argsOf("FormataTX").size(), 2u);
    }
    {   // the closing message is cut at 492 characters
        PrinterRig rig("BEMATECH");
        rig.makeCoupon({{"LinhaVenc", T(std::string(250, 'V'))}, {"Cod_Vend1", I(1)},
                        {"Cliente", T(std::string(100, 'C'))}, {"Endereco", T(std::string(100, 'E'))}},
                       {});
        printer::FamilyDriver& d = rig.driver();
        ASSERT_TRUE(rig.issue(d));
        const auto all = rig.argsOf("FormataTX");
        const std::string closing = all.back();
        EXPECT_EQ(closing.substr(0, 5), E + "|34|");
        EXPECT_EQ(closing.size(), 5u + 492u + 2u);
        EXPECT_EQ(closing.substr(closing.size() - 5), "VVV|" + E);
    }
}

TEST(Mp20Utilities, ReadingsCancelAndListing)
{
    {
        PrinterRig rig("BEMATECH", cannedFormataTX(R"({"ret": 1}, {"ret": 2}, {"ret": 1}, {"ret": 1})"));
        printer::FamilyDriver& d = rig.driver();
        d.xReading();
        d.xReading();
        d.zReduction();
        d.cancelCoupon(printer::CancelKind::OpenCoupon);
        EXPECT_EQ(rig.argsOf("FormataTX"), (std::vector<std::string>{E + "|06|" + E, E + "|06|" + E,
                                                                     E + "|05|311226235959|" + E, E + "|14|" + E}));
        EXPECT_EQ(rig.messages(), std::vector<std::string>(3, "Erro de comunicação física."));
    }
    {   // the emulator lists what it holds, in 16-character entries
        PrinterRig rig("BEMATECH");
        printer::FamilyDriver& d = rig.driver();
        std::vector<std::string> items{"old"};
        d.listPaymentForms(items);
        EXPECT_EQ(items, (std::vector<std::string>{"Dinheiro        ", "Cheque          ", "Cartao          "}));
    }
    {   // a 34-character line lists characters 2-17 and 18-33
        PrinterRig rig("BEMATECH", cannedFormataTX(out("x" + std::string(16, 'A') + std::string(16, 'B') + "C")));
        printer::FamilyDriver& d = rig.driver();
        std::vector<std::string> items;
        d.listPaymentForms(items);
        EXPECT_EQ(items, (std::vector<std::string>{std::string(16, 'A'), std::string(16, 'B')}));
    }
    {   // the reply file missing: the list stays as it was
        PrinterRig rig("BEMATECH", cannedFormataTX(R"({"out": null})"));
        printer::FamilyDriver& d = rig.driver();
        std::vector<std::string> items{"old"};
        EXPECT_THROW(d.listPaymentForms(items), common::FileError);
        EXPECT_EQ(items, std::vector<std::string>{"old"});
    }
    {   // programming sends every record whole, framing bytes blanked
        PrinterRig rig("BEMATECH");
        printer::FamilyDriver& d = rig.driver();
        d.programPaymentForms({"Cartao de credito 20", "A|B"});
        EXPECT_EQ(rig.argsOf("FormataTX"),
                  (std::vector<std::string>{E + "|71|Cartao de credito 20|" + E, E + "|71|A B|" + E}));
    }
}

TEST(FramingBytes, ControlBytesReachNoFamilyFramingBytesOnlyTheMp20AsBlanks)
{
    const std::string description = "CANETA\x1b|}\x7f" "AZUL";
    auto sold = [&](const char* model, printer::FamilyDriver& (*make)(PrinterRig&), const char* fn, std::size_t arg,
                    const std::string& expected) {
        PrinterRig rig(model);
        rig.makeCoupon({}, {{{"Num_Item", I(2)}, {"Descr_Prod", T(description)}, {"Unid_Pad", T("U|")}}});
        auto& d = make(rig);
        PrinterRig::Open t;
        d.registerItem(t.sale(d).item(0), printer::TaxCode{"01", 0}, common::Money::fromWhole(1));
        bool found = false;
        for (const auto& a : rig.argsOf(fn, arg))
            found = found || a.find(expected) != std::string::npos;
        EXPECT_TRUE(found) << model;
    };
    sold("BEMATECH", [](PrinterRig& r) -> printer::FamilyDriver& { return r.driver(); },
         "FormataTX", 0, "|CANETA  } AZUL" + std::string(12, ' ') + " U |01|");
    sold("SCHALTER2",
         [](PrinterRig& r) -> printer::FamilyDriver& { return r.driver(); },
         "ecfVendaItem", 0, "CANETA |} AZUL");
    sold("FS300",
         [](PrinterRig& r) -> printer::FamilyDriver& { return r.driver(); },
         "SetParameter", 1, "CANETA |} AZUL U|\n\r");
}

TEST(EmulatorTape, EachFamilyPrintsTheCouponForAPersonToRead)
{
    auto printed = [](const char* model) {
        PrinterRig rig(model);
        rig.makeCoupon({{"Cliente", T("Jos\xE9")}}, {{{"Descr_Prod", T("Caf\xE9 torrado")}}});
        rig.makeFormaPtg({"Dinheiro"});
        printer::FamilyDriver* driver = &rig.driver();
        EXPECT_TRUE(driver->start(0)) << model;
        EXPECT_TRUE(rig.issue(*driver)) << model;
        std::string tape;
        for (const auto& line : rig.emu.tape)
            tape += line + "\n";
        EXPECT_NE(tape.find("CUPOM FISCAL 1235"), std::string::npos) << model << tape;
        EXPECT_NE(tape.find("Café torrado"), std::string::npos) << model << tape;
        EXPECT_NE(tape.find("José"), std::string::npos) << model << tape;
        EXPECT_NE(tape.find("FIM DO CUPOM 1235"), std::string::npos) << model << tape;
    };
    printed("SCHALTER30");
    printed("FS345");
    printed("BEMATECH");
}

TEST(EmulatorTape, ALongLineGoesOnInTheNextAtTheLastColumn)
{
    // 47 letters, then an accented one across the cut: cut at characters, not bytes or words.
    printer::EmulatedPrinter p;
    std::vector<std::string> seen;
    p.onLine = [&](const std::string& line) { seen.push_back(line); };
    const std::string line = std::string(47, 'a') + "\xC3\xA9" + "b c " + std::string(45, 'd') + "\xC3\xA7";
    p.print(line);
    ASSERT_EQ(p.tape.size(), 3u);
    EXPECT_EQ(p.tape[0], std::string(47, 'a') + "\xC3\xA9");
    EXPECT_EQ(p.tape[1], "b c " + std::string(44, 'd'));
    EXPECT_EQ(p.tape[2], "d\xC3\xA7");
    EXPECT_EQ(seen, p.tape);
    p.printBanner(std::string(47, 'T'));
    EXPECT_EQ(p.tape.back(), std::string(47, 'T'));
    EXPECT_EQ(p.tape[p.tape.size() - 2], std::string(48, '-'));
}

TEST(Mp20Emulator, ReplyFileHoldsExactlyTheLastReply)
{
    // The file is overwritten in place: a shorter reply after a longer one must not leave the
    // longer one's tail, and a file removed between calls comes back.
    PrinterRig rig("BEMATECH");
    printer::mp20::Mp20Emulator mp20(rig.emu, rig.dir.path());
    const auto file = rig.dir.path() / "MP20FI.RET";
    auto content = [&] { return readFile(file); };
    mp20.FormataTX(E + "|26|" + E);
    ASSERT_GT(content().size(), 60u);
    mp20.FormataTX(E + "|71|Cheque|" + E);
    EXPECT_EQ(content(), "02\r\n");
    std::filesystem::remove(file);
    mp20.FormataTX(E + "|00|" + E);
    EXPECT_EQ(content(), "\r\n");
    // The same reply again: a file removed or rewritten by someone else in between still ends
    // up holding it.
    std::filesystem::remove(file);
    mp20.FormataTX(E + "|32|" + E);
    EXPECT_EQ(content(), "\r\n");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "xy";
    mp20.FormataTX(E + "|21|" + E);
    EXPECT_EQ(content(), "\r\n");
}

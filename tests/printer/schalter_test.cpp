// The Schalter family (dll32phi.dll): start-up and tax rates, tax index, item sale, closing,
// receipts and the utilities, against the emulator and against canned replies.
#include "common/errors.h"
#include "printer_rig.h"

#include <gtest/gtest.h>

using namespace ecf;
using namespace ecf::test;

namespace {

std::string money(const printer::TaxTable& t, int n) { return t.entry(n).rate.toString(); }

// An X-reading text with the given four-character groups at the register positions.
std::string xReading(const std::vector<std::string>& groups, const std::string& head = "")
{
    std::string text(560, ' ');
    text.replace(0, head.size(), head);
    for (std::size_t k = 0; k < groups.size(); ++k) {
        text.replace(172 + 41 * k, 2, groups[k].substr(0, 2));
        text.replace(175 + 41 * k, 2, groups[k].substr(2, 2));
    }
    return text;
}

std::string cannedText(const char* fn, const std::string& text)
{
    return std::string(R"({"calls": {")") + fn + R"(": [{"ret": )" + jsonLatin1(text) + "}]}}";
}

} // namespace

TEST(SchalterStart, Schalter2ReadsTenRegistersFromTheXReadingOfTheEmulator)
{
    PrinterRig rig("SCHALTER2");
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(d.start(0));
    EXPECT_EQ(rig.calls(), (std::vector<std::string>{"ChangePort(0)", "ecfLeituraXSerial()"}));
    EXPECT_EQ(money(rig.taxTable, 1), "18.0000");
    EXPECT_EQ(money(rig.taxTable, 2), "12.0000");
    EXPECT_EQ(money(rig.taxTable, 3), "7.0000");
    EXPECT_EQ(money(rig.taxTable, 4), "25.0000");
    for (int n = 5; n <= 16; ++n)
        EXPECT_TRUE(rig.taxTable.entry(n).rate.isZero()) << n;
    EXPECT_TRUE(rig.messages().empty());
}

TEST(SchalterStart, Schalter2RepliesAndPorts)
{
    {   // port 2: an "Erro" anywhere ends start-up with the first 7 characters
        PrinterRig rig("SCHALTER2", cannedText("ecfLeituraXSerial", "Erro 05 na leitura"), "2");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_FALSE(d.start(0));
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"ECF erro: Erro 05"});
        EXPECT_EQ(rig.callsOf("ChangePort"), std::vector<std::string>{"ChangePort(1)"});
    }
    {   // port 1: not tested for "Erro"; blank groups keep rate 0, all ten registers are read
        std::vector<std::string> g(10, "    ");
        g[0] = "1700";
        g[9] = "0350";
        PrinterRig rig("SCHALTER2", cannedText("ecfLeituraXSerial", xReading(g, "Erro")), "1");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_TRUE(d.start(0));
        EXPECT_EQ(money(rig.taxTable, 1), "17.0000");
        EXPECT_TRUE(rig.taxTable.entry(2).rate.isZero());
        EXPECT_EQ(money(rig.taxTable, 10), "3.5000");
    }
    {   // a failed port selection ends start-up
        PrinterRig rig("SCHALTER2", R"({"calls": {"ChangePort": [{"ret": 1}]}})", "1");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_FALSE(d.start(0));
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro informado: 1"});
        EXPECT_TRUE(rig.callsOf("ecfLeituraXSerial").empty());
    }
    {   // neither port 1 nor 2: no text to read, start-up ends with a message
        PrinterRig rig("SCHALTER2", "", "3");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_FALSE(d.start(0));
        EXPECT_TRUE(rig.calls().empty());
        ASSERT_EQ(rig.messages().size(), 1u);
    }
    {   // a group that is no number is the runtime's conversion error
        std::vector<std::string> g{"18x0"};
        PrinterRig rig("SCHALTER2", cannedText("ecfLeituraXSerial", xReading(g)), "1");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(d.start(0), common::ConversionError);
    }
}

TEST(SchalterStart, Schalter30ReadsSixteenRegistersAndSetsTheRoundingMode)
{
    {
        PrinterRig rig("SCHALTER30", R"({"calls": {"ChangePort": [{"ret": 0}],
            "ecfStatusAliquotas": [{"ret": "0T17,50"}, {"ret": "1T  ,  "}, {"ret": "2T12,00"}, {"ret": "3T07,00"},
                                   {"ret": "4X18,00"}, {"ret": "5T01,00"}]}})", "2");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_TRUE(d.start(0));
        // port 2 failing goes on with the reading
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro informado: 0"});
        EXPECT_EQ(rig.config.roundingMode, "ABNT 5891");
        EXPECT_EQ(rig.callsOf("ecfStatusAliquotas").size(), 16u);
        EXPECT_EQ(money(rig.taxTable, 1), "17.5000");
        EXPECT_TRUE(rig.taxTable.entry(2).rate.isZero());
        EXPECT_TRUE(rig.taxTable.entry(5).rate.isZero()); // char 2 not "T"
        EXPECT_EQ(money(rig.taxTable, 6), "1.0000");
        EXPECT_TRUE(rig.taxTable.entry(7).rate.isZero()); // the emulator: register 7 is empty
    }
    {
        PrinterRig rig("SCHALTER30", R"({"calls": {"ecfStatusAliquotas": [{"ret": "0T18,00"}, {"ret": "Erro 13 xyz"}]}})", "3");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_FALSE(d.start(0));
        EXPECT_TRUE(rig.callsOf("ChangePort").empty());
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"ECF erro: Erro 13"});
        EXPECT_EQ(rig.callsOf("ecfStatusAliquotas").size(), 2u);
    }
    {   // port 1 failing ends start-up
        PrinterRig rig("SCHALTER30", R"({"calls": {"ChangePort": [{"ret": 7}]}})", "1");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_FALSE(d.start(0));
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro informado: 7"});
    }
}

TEST(SchalterCoupon, TaxIndexResolution)
{
    struct Case {
        const char* model;
        FieldValues header, item;
        int index;
        bool notFound;
    };
    const std::vector<Case> cases = {
        {"SCHALTER2", {{"Icms", T("N")}}, {{"Subst_Trib", T("S")}}, 13, false},
        {"SCHALTER30", {{"Icms", T("N")}}, {}, 17, false},
        {"SCHALTER2", {}, {{"Subst_Trib", T("S")}}, 12, false},
        {"SCHALTER30", {}, {{"Subst_Trib", T("S")}}, 16, false},
        {"SCHALTER2", {}, {{"BaseIcms", N(0)}, {"AliqCupom", N(99)}}, 13, false},
        {"SCHALTER2", {}, {{"BaseIcms", N(40)}, {"AliqCupom", N(7)}}, 2, false},
        {"SCHALTER2", {}, {{"BaseIcms", N(40)}, {"AliqCupom", N(0)}, {"AliqIcms", N(12)}}, 1, false},
        {"SCHALTER2", {}, {{"BaseIcms", N(100)}, {"AliqCupom", N(7)}, {"AliqIcms", N(18)}}, 0, false},
        {"SCHALTER2", {}, {{"AliqIcms", N(5)}}, 0, true},        // only in entry 11
        {"SCHALTER30", {}, {{"AliqIcms", N(5)}}, 10, false},
        {"SCHALTER2", {}, {{"AliqIcms", N(25)}}, 3, false},      // 25 in entries 4 and 6: the first
        {"SCHALTER30", {}, {{"AliqIcms", N(17.5)}}, 0, true},
    };
    for (const auto& c : cases) {
        PrinterRig rig(c.model);
        for (int n : {1, 2, 3, 4, 6})
            rig.taxTable.entry(n).rate = common::Money::fromWhole(n == 1 ? 18 : n == 2 ? 12 : n == 3 ? 7 : 25);
        rig.taxTable.entry(11).rate = common::Money::fromWhole(5);
        rig.makeCoupon(c.header, {c.item});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        const auto code = d.resolveTaxCode(t.sale(d).item(0));
        EXPECT_EQ(code.index, c.index) << c.model << " case " << (&c - cases.data());
        EXPECT_EQ(rig.messages(), c.notFound ? std::vector<std::string>{"Taxa não cadastrada"}
                                             : std::vector<std::string>{})
            << (&c - cases.data());
    }
}

TEST(SchalterCoupon, Schalter2ItemsDiscountsAndClosing)
{
    PrinterRig rig("SCHALTER2");
    rig.config.fatModNf = 1;
    rig.taxTable.entry(1).rate = common::Money::fromWhole(18);
    rig.makeCoupon({{"Vlr_Nota", N(12.3456)}, {"Cod_Clifor", I(7)}},
                   {{{"Num_Item", I(2)}, {"Descr_Prod", T("DESCRICAO COM QUARENTA CARACTERES AQUI!!")},
                     {"Quantidade", N(2.5)}, {"Preco_Unit", N(1.005)}, {"BT_ICMS", N(0.125)}},
                    {{"Num_Item", I(1)}, {"Descr_Prod", T("LAPIS")}, {"Vlr_Descit", N(10)}, {"BT_ICMS", N(19.99)}}},
                   {{"TipoDescIt", T("P")}, {"Fil_Cidade", T("")}});
    rig.op.confirmAnswers = {common::Answer::Yes};
    printer::FamilyDriver& d = rig.driver();
    EXPECT_TRUE(rig.issue(d));
    const std::vector<std::string> expected = {
        // an item before Num_Item 1 is sold before the opening; 0.125 rounds half to even
        R"(ecfVendaItem("DESCRICAO COM QUARENTA CARACTE  2,50 x   1,00", "12", 0))",
        "ecfImpCab(0)",
        R"(ecfVendaItem("LAPIS                           1,00 x  19,99", "1999", 0))",
        R"(ecfDescItem(0, "Desconto", "200"))",
        R"(ecfPagCancPag(0, "VALOR PAGO", "1235", 1, 0))",
        R"(ecfImpLinha("Destinatario:"))",
        R"(ecfImpLinha("7  JOSE DA SILVA"))",
        R"(ecfImpLinha("CNPJ/CPF:12345678901 IE:ISENTO"))",
        R"(ecfImpLinha("RUA A  10  01000-000"))",
        R"(ecfImpLinha("5555  SAO PAULO  SP"))",
        R"(ecfImpLinha("VENC 10/01"))",
        R"(ecfFimTrans(""))",
        "ecfImpCab(0)",
        "ecfInicCupomNFiscal(1)",
        R"(ecfImpLinha("COMPROVANTE DE ENTREGA"))",
        R"(ecfImpLinha("RECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NOCUPOM FISCAL Nro 000123"))",
        R"(ecfImpLinha(" , ____ DE _________________ DE ______"))",
        R"(ecfImpLinha(" "))",
        R"(ecfImpLinha("_______________________________________________"))",
        R"(ecfImpLinha("JOSE DA SILVA"))",
        R"(ecfFimTrans(""))",
        "ecfLineFeed(1, 6)",
    };
    EXPECT_EQ(rig.calls(), expected);
    EXPECT_EQ(rig.op.texts("confirm"), std::vector<std::string>{"Emitir comprovante de entrega ?"});
}

TEST(SchalterCoupon, Schalter30ItemFields)
{
    struct Case {
        double qty, price;
        const char* qi;
        const char* qf;
        const char* priceText;
    };
    for (const Case& c : {Case{2.5, 12.345, "002", "500", "000001234"}, Case{0.001, 1, "000", "001", "000000100"},
                          Case{2.3, 0.999, "002", "300", "000000099"}}) {
        PrinterRig rig("SCHALTER30");
        const std::string longText(70, 'X');
        rig.makeCoupon({}, {{{"Num_Item", I(3)}, {"Cod_Reduz", I(42)}, {"Descr_Prod", T(longText)},
                             {"Quantidade", N(c.qty)}, {"Preco_Unit", N(c.price)}}});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        EXPECT_TRUE(d.registerItem(t.sale(d).item(0), printer::TaxCode{"", 4}, common::Money::fromWhole(1)));
        const auto line = rig.callLines().at(0);
        EXPECT_EQ(line["fn"], "ecfVenda_Item");
        EXPECT_EQ(line["args"], nlohmann::json({"0000000000042", longText, c.qi, c.qf, c.priceText, 4}));
    }
}

TEST(SchalterCoupon, DiscountKindsAndErrorStops)
{
    struct Case {
        const char* model;
        const char* kind;
        double discount;
        const char* canned;
        std::vector<std::string> calls;
        std::vector<std::string> messages;
        bool ok;
    };
    const std::vector<Case> cases = {
        {"SCHALTER2", "V", 1.5, "", {"ecfImpCab", "ecfVendaItem", "ecfDescItem:150"}, {}, true},
        {"SCHALTER2", "V", 0, "", {"ecfImpCab", "ecfVendaItem"}, {}, true},
        // a kind other than V or P sends no discount
        {"SCHALTER2", "X", 3, "", {"ecfImpCab", "ecfVendaItem"}, {}, true},
        {"SCHALTER30", "X", 3, "", {"ecfImpCab", "ecfVenda_Item"}, {}, true},
        // 12.5 % of 19.99 = 2.49875: 2.50 by ABNT rounding, sent in cents
        {"SCHALTER30", "P", 12.5, "", {"ecfImpCab", "ecfVenda_Item", "ecfDescItem:250"}, {}, true},
        {"SCHALTER2", "V", 0, R"({"calls": {"ecfImpCab": [{"ret": 3}]}})", {"ecfImpCab"}, {"Ocorreu o erro número 3"}, false},
        {"SCHALTER2", "V", 0, R"({"calls": {"ecfVendaItem": [{"ret": -5}]}})", {"ecfImpCab", "ecfVendaItem"}, {"-5"}, false},
        {"SCHALTER30", "V", 1, R"({"calls": {"ecfDescItem": [{"ret": 9}]}})",
         {"ecfImpCab", "ecfVenda_Item", "ecfDescItem:100"}, {"9"}, false},
    };
    for (const auto& c : cases) {
        PrinterRig rig(c.model, c.canned);
        rig.config.roundingMode = "ABNT 5891";
        rig.makeCoupon({}, {{{"Vlr_Descit", N(c.discount)}}}, {{"TipoDescIt", T(c.kind)}});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        EXPECT_EQ(d.registerItem(t.sale(d).item(0), {}, common::Money::fromDouble(19.99)), c.ok);
        std::vector<std::string> calls;
        for (const auto& l : rig.callLines())
            calls.push_back(l["fn"].get<std::string>() +
                            (l["fn"] == "ecfDescItem" ? ":" + l["args"][2].get<std::string>() : ""));
        EXPECT_EQ(calls, c.calls) << (&c - cases.data());
        EXPECT_EQ(rig.messages(), c.messages) << (&c - cases.data());
    }
}

TEST(SchalterCoupon, ReceiptQuestionAndLineFeed)
{
    for (auto [fatModNf, answer, asked, receipt] :
         {std::tuple{72, common::Answer::Yes, false, false}, std::tuple{1, common::Answer::No, true, false},
          std::tuple{1, common::Answer::Close, true, false}}) {
        PrinterRig rig("SCHALTER30");
        rig.config.fatModNf = fatModNf;
        rig.op.confirmAnswers = {answer};
        rig.makeCoupon({}, {});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        d.receipts(t.sale(d));
        EXPECT_EQ(rig.op.texts("confirm").size(), asked ? 1u : 0u);
        EXPECT_EQ(rig.calls(), std::vector<std::string>{"ecfLineFeed(1, 9)"});
        (void)receipt;
    }
}

TEST(SchalterUtilities, PortSelectionAndResults)
{
    struct Case {
        const char* port;
        const char* canned;
        std::function<void(printer::FamilyDriver&)> op;
        std::vector<std::string> calls, messages;
    };
    auto x = [](printer::FamilyDriver& d) { d.xReading(); };
    auto z = [](printer::FamilyDriver& d) { d.zReduction(); };
    auto last = [](printer::FamilyDriver& d) { d.cancelCoupon(printer::CancelKind::LastCoupon); };
    auto open = [](printer::FamilyDriver& d) { d.cancelCoupon(printer::CancelKind::OpenCoupon); };
    const std::vector<Case> cases = {
        {"1", "", x, {"ChangePort(0)", R"(ecfLeituraX(""))"}, {}},
        {"2", R"({"calls": {"ChangePort": [{"ret": 0}]}})", x, {"ChangePort(1)"}, {"COM2 erro: 0"}},
        {"2", R"({"calls": {"ChangePort": [{"ret": 0}]}})", z, {"ChangePort(1)"}, {"COM2 erro : 0"}},
        {"1", R"({"calls": {"ChangePort": [{"ret": 1}]}})", last, {"ChangePort(0)"}, {"COM1 erro: 1"}},
        {" 1", "", z, {R"(ecfReducaoZ(""))"}, {}},
        {"3", R"({"calls": {"ecfLeituraX": [{"ret": 4}]}})", x, {R"(ecfLeituraX(""))"}, {"ECF erro: 4"}},
        {"3", R"({"calls": {"ecfReducaoZ": [{"ret": 8}]}})", z, {R"(ecfReducaoZ(""))"}, {"ECF erro: 8"}},
        {"2", R"({"calls": {"ecfCancDoc": [{"ret": 2}]}})", last, {"ChangePort(1)", R"(ecfCancDoc(""))"}, {"Retorno: 2"}},
        {"2", "", open, {"ChangePort(1)", R"(ecfCancVenda(""))"}, {}},
    };
    for (const auto& c : cases) {
        PrinterRig rig("SCHALTER2", c.canned, c.port);
        printer::FamilyDriver& d = rig.driver();
        c.op(d);
        EXPECT_EQ(rig.calls(), c.calls) << (&c - cases.data());
        EXPECT_EQ(rig.messages(), c.messages) << (&c - cases.data());
    }
}

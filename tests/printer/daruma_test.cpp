// The Daruma family: start-up with the tax-rate reading, the utilities, the payment-form
// listing and the fiscal-memory reading, against the emulator and canned replies.
#include "common/convert.h"
#include "common/errors.h"
#include "coupon_tables.h"

#include <gtest/gtest.h>

using namespace ecf;
using ecf::test::sale_tables::PrinterRig;
using ecf::test::sale_tables::jsonBytes;
using namespace ecf::test::sale_tables;

TEST(DarumaStart, ReadsTheTaxCodesAndRateTextsFromTheEmulator)
{
    PrinterRig rig("DARUMA345");
    printer::FamilyDriver& d = rig.driver();
    d.openPort(0);
    ASSERT_TRUE(d.start(0));
    const auto calls = rig.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "Daruma_FI_VerificaImpressoraLigada()");
    EXPECT_EQ(calls[1], "Daruma_FI_LerAliquotasComIndice(\"" + std::string(300, ' ') + "\")");
    // ICMS slots fill entries 1-4 in order; the ISS slot ("S...") is skipped.
    const char* codes[] = {"TA", "TB", "TC", "TD"};
    const char* rates[] = {"1800", "1200", "0700", "2500"};
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(rig.taxTable.entry(n).code, codes[n - 1]);
        EXPECT_EQ(rig.taxTable.entry(n).rateText, rates[n - 1]);
        EXPECT_TRUE(rig.taxTable.entry(n).rate.isZero());
    }
    EXPECT_EQ(rig.taxTable.entry(5).rateText, "0");
    EXPECT_TRUE(rig.messages().empty());
}

TEST(DarumaStart, FailuresAndSlotLayouts)
{
    struct Case {
        const char* name;
        std::string canned;
        bool goesOn;
        std::vector<std::string> messages;
    } cases[] = {
        {"printer off", R"({"calls": {"Daruma_FI_VerificaImpressoraLigada": [{"ret": 0}]}})", false,
         {"DARUMA FS345 / FS600 desligada 0"}},
        {"read fails", R"({"calls": {"Daruma_FI_LerAliquotasComIndice": [{"ret": -2}]}})", false,
         {"Impressora fiscal desligada -2"}},
        {"no T slot", R"({"calls": {"Daruma_FI_LerAliquotasComIndice": [{"out": "S11800      "}]}})", false,
         {"Tabela de aliquotas de icms da Daruma vazia"}},
        {"slots 1 and 3", R"({"calls": {"Daruma_FI_LerAliquotasComIndice": [{"out": "TA1700xB1200TC0750"}]}})",
         true, {}},
    };
    for (const auto& c : cases) {
        PrinterRig rig("FS600", c.canned);
        printer::FamilyDriver& d = rig.driver();
        EXPECT_EQ(d.start(0), c.goesOn) << c.name;
        EXPECT_EQ(rig.messages(), c.messages) << c.name;
    }
    PrinterRig rig("FS600", cases[3].canned);
    printer::FamilyDriver& d = rig.driver();
    d.start(0);
    EXPECT_EQ(rig.taxTable.entry(1).code, "TA");
    EXPECT_EQ(rig.taxTable.entry(1).rateText, "1700");
    EXPECT_EQ(rig.taxTable.entry(2).code, "TC");
    EXPECT_EQ(rig.taxTable.entry(2).rateText, "0750");
    EXPECT_EQ(rig.taxTable.entry(3).rateText, "0");
}

TEST(DarumaStart, MoreThanSixteenTaxSlotsFillSixteenEntries)
{
    std::string reply;
    for (int i = 0; i < 50; ++i)
        reply += "T" + std::string(1, static_cast<char>('A' + i % 26)) + common::intToStr(1000 + i);
    PrinterRig rig("DARUMA345", R"({"calls": {"Daruma_FI_LerAliquotasComIndice": [{"out": )" + jsonBytes(reply) + "}]}}");
    printer::FamilyDriver& d = rig.driver();
    EXPECT_TRUE(d.start(0));
    EXPECT_EQ(rig.taxTable.entry(16).rateText, "1015");
    // The buffer is 300 characters: the library's longer reply was cut there, never past it.
    EXPECT_EQ(rig.callLines()[1]["out"].get<std::string>().size(), 300u);
}

TEST(DarumaUtilities, ResultsOtherThanOneShowTheirMessages)
{
    PrinterRig ok("DARUMA345");
    printer::FamilyDriver& d = ok.driver();
    d.xReading();
    d.zReduction();
    d.cancelCoupon(printer::CancelKind::OpenCoupon);
    EXPECT_EQ(ok.calls(), (std::vector<std::string>{"Daruma_FI_LeituraX()", "Daruma_FI_ReducaoZ(\" \", \" \")",
                                                    "Daruma_FI_CancelaCupom()"}));
    EXPECT_TRUE(ok.messages().empty());
    EXPECT_EQ(ok.emu.tape.back().find("CANCELADO") != std::string::npos, true);

    PrinterRig bad("DARUMA345", R"({"calls": {"Daruma_FI_LeituraX": [{"ret": 0}], "Daruma_FI_ReducaoZ": [{"ret": -1}],
                                          "Daruma_FI_CancelaCupom": [{"ret": 0, "times": 2}]}})");
    printer::FamilyDriver& b = bad.driver();
    b.xReading();
    b.zReduction();
    b.cancelCoupon(printer::CancelKind::LastCoupon);
    b.cancelCoupon(printer::CancelKind::OpenCoupon);
    EXPECT_EQ(bad.messages(), (std::vector<std::string>{"Erro na emissão da leitura x", "Erro na emissão da reducao z",
                                                        "Erro no fechamento do cupom", "Erro no fechamento do cupom"}));
}

TEST(DarumaPaymentForms, ListingParsesEntriesUpToAPlaceholder)
{
    PrinterRig rig("DARUMA345");
    printer::FamilyDriver& d = rig.driver();
    std::vector<std::string> items;
    d.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"Dinheiro        ", "Cheque          ", "Cartao          "}));
    EXPECT_EQ(rig.calls(), std::vector<std::string>{"Daruma_FI_VerificaDescricaoFormasPagamento(\"" +
                                                    std::string(275, ' ') + "\")"});

    struct Case {
        std::string out;
        std::vector<std::string> items;
    } cases[] = {
        {"Dinheiro        ;Pagamento Tipo B;Cheque          ;", {"Dinheiro        "}},
        {"Dinheiro        ;Cheque", {"Dinheiro        "}},     // a remainder shorter than 16 stops
        {"Dinheiro        ;Cheque          ", {"Dinheiro        ", "Cheque          "}},
        {"", {}},
    };
    for (const auto& c : cases) {
        PrinterRig r("DARUMA345",
                  R"({"calls": {"Daruma_FI_VerificaDescricaoFormasPagamento": [{"out": )" + jsonBytes(c.out) + "}]}}");
        printer::FamilyDriver& dd = r.driver();
        std::vector<std::string> list{"old"};
        dd.listPaymentForms(list);
        EXPECT_EQ(list, c.items) << c.out;
    }
}

TEST(DarumaPaymentForms, AFailedQueryLeavesTheListAsItWas)
{
    PrinterRig rig("DARUMA345", R"({"calls": {"Daruma_FI_VerificaDescricaoFormasPagamento": [{"ret": 0}]}})");
    printer::FamilyDriver& d = rig.driver();
    std::vector<std::string> items{"Dinheiro"};
    d.listPaymentForms(items);
    EXPECT_EQ(items, std::vector<std::string>{"Dinheiro"});
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro: 0"});
}

TEST(DarumaFiscalMemory, DatesAreSentAsDayCountsFirstThenLast)
{
    PrinterRig rig("DARUMA345", R"({"calls": {"Daruma_FI_LeituraMemoriaFiscalData": [{"ret": 0}]}})");
    printer::FamilyDriver& d = rig.driver();
    d.fiscalMemory("07/12/2026", "01/12/2026"); // sent as typed, the order not checked
    const auto lines = rig.callLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["args"][0].get<double>(), common::encodeDate(2026, 12, 7));
    EXPECT_EQ(lines[0]["args"][1].get<double>(), common::encodeDate(2026, 12, 1));
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro: 0"});
}

TEST(DarumaFiscalMemory, ADateThatDoesNotConvertSendsNothing)
{
    for (auto [first, last] : {std::pair<std::string, std::string>{"  /  /    ", "07/12/2026"},
                               {"01/12/2026", "  /  /    "},
                               {"31/02/2026", "07/12/2026"}}) {
        PrinterRig rig("DARUMA345");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(d.fiscalMemory(first, last), common::ConversionError) << first << " " << last;
        EXPECT_TRUE(rig.calls().empty());
    }
}

// --- coupon

namespace {
// The Daruma tax table as the emulator loads it: codes and rate texts only.
void loadRateTexts(printer::TaxTable& t, std::vector<std::string> texts = {"1800", "1200", "0700", "2500"})
{
    for (std::size_t i = 0; i < texts.size(); ++i) {
        t.entry(static_cast<int>(i) + 1).code = "T" + std::string(1, static_cast<char>('A' + i));
        t.entry(static_cast<int>(i) + 1).rateText = texts[i];
    }
}
} // namespace

TEST(DarumaCoupon, TaxCodeResolution)
{
    struct Case {
        std::string icms, subst;
        double base, aliqCupom, aliqIcms;
        std::string code;
    } cases[] = {
        {"X", "S", 100, 0, 18, "FF"},
        {"X", "N", 100, 0, 18, "NN"},
        {"T", "N", 0, 0, 18, "II"},
        {"T", "N", 0, 99, 18, "NN"},
        {"T", "N", 40, 7.5, 18, "07,50"},
        {"T", "N", 40, 0, 12, "12,00"},
        {"T", "N", 100, 0, 18, "18,00"},
        {"T", "N", 100, 0, 17, "  "},
    };
    for (const auto& c : cases) {
        PrinterRig rig("DARUMA345");
        loadRateTexts(rig.taxTable, {"1800", "1200", "0750"});
        Item i;
        i.substTrib = c.subst;
        i.baseIcms = c.base;
        i.aliqCupom = c.aliqCupom;
        i.aliqIcms = c.aliqIcms;
        Header h;
        h.icms = c.icms;
        CouponTables t(rig, h, {i});
        printer::FamilyDriver& d = rig.driver();
        EXPECT_EQ(d.resolveTaxCode(t.sale(d).item(0)).text, c.code) << c.base << " " << c.aliqCupom << " " << c.aliqIcms;
        EXPECT_EQ(rig.messages(),
                  c.code == "  " ? std::vector<std::string>{"Percentual de Tributacao nao Encontrado"}
                                 : std::vector<std::string>{});
    }
}

TEST(DarumaCoupon, ItemSaleArgumentsAndDiscountKinds)
{
    struct Case {
        std::string kind;
        double descit;
        std::string type, value;
    } cases[] = {
        {"V", 1.5, "$", "1,50"},
        {"V", 0, "$", "0,00"},
        {"P", 10, "%", "0,00"},
        {"X", 5, "%", "0,00"}, // neither amount nor percentage: no discount
    };
    for (const auto& c : cases) {
        PrinterRig rig("FS600");
        loadRateTexts(rig.taxTable);
        Item a;
        a.codReduz = 42;
        a.descr = "  DESCRICAO COM MAIS DE VINTE E NOVE LETRAS";
        a.quantidade = 1.2349;
        a.precoUnit = 12.3456;
        a.vlrDescit = c.descit;
        Item b = a;
        b.numItem = 2;
        Branch br;
        br.tipoDescIt = c.kind;
        CouponTables t(rig, Header{}, {a, b}, br);
        printer::FamilyDriver& d = rig.driver();
        ASSERT_TRUE(t.sellItems(d));
        const std::string sale = "Daruma_FI_VendeItem(\"000042\", \"DESCRICAO COM MAIS DE VINTE\", \"18,00\", \"F\", "
                                 "\"1,234\", 3, \"12,345\", \"" + c.type + "\", \"" + c.value + "\")";
        EXPECT_EQ(rig.calls(), (std::vector<std::string>{"Daruma_FI_AbreCupom(\"12345678909\")", sale, sale}));
    }
}

TEST(DarumaCoupon, AFailedSaleStopsTheCoupon)
{
    PrinterRig rig("DARUMA345", R"({"calls": {"Daruma_FI_VendeItem": [{"ret": 0}]}})");
    loadRateTexts(rig.taxTable);
    Item second;
    second.numItem = 2;
    CouponTables t(rig, Header{}, {Item{}, second});
    printer::FamilyDriver& d = rig.driver();
    EXPECT_FALSE(t.sellItems(d));
    EXPECT_EQ(rig.calls().size(), 2u);
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro na venda do tem:0"});
}

TEST(DarumaCoupon, ClosingNormalizesTheCustomer)
{
    struct Case {
        Header h;
        std::vector<std::string> calls;
    };
    Header blank;
    blank.cliente = "   ";
    blank.endereco = "";
    blank.cnpj = "";
    blank.linhaVenc = "";
    blank.tipoPagNum = -1;
    blank.vlrNota = 1234.5;
    Header named;
    named.cliente = "\t MARIA  ";
    named.tipoPagNum = 3;
    named.formaPag = "Cartao";
    const Case cases[] = {
        {blank,
         {"Daruma_FI_IniciaFechamentoCupom(\"D\", \"%\", \"0000\")",
          "Daruma_FI_EfetuaFormaPagamento(\"Dinheiro\", \"       1234,50\")",
          "Daruma_FI_IdentificaConsumidor(\"CONSUMIDOR\", \".\", \"0000000000   Num.Controle: 123\")",
          "Daruma_FI_TerminaFechamentoCupom(\".\")"}},
        {named,
         {"Daruma_FI_IniciaFechamentoCupom(\"D\", \"%\", \"0000\")",
          "Daruma_FI_EfetuaFormaPagamento(\"Cartao\", \"         10,00\")",
          "Daruma_FI_IdentificaConsumidor(\"MARIA\", \"RUA A\", \"12345678909   Num.Controle: 123\")",
          "Daruma_FI_TerminaFechamentoCupom(\"OBRIGADO\")"}},
    };
    for (const auto& c : cases) {
        PrinterRig rig("DARUMA345");
        CouponTables t(rig, c.h, {});
        printer::FamilyDriver& d = rig.driver();
        t.close(d);
        d.receipts(t.sale(d));
        EXPECT_EQ(rig.calls(), c.calls);
        EXPECT_TRUE(rig.op.events.empty()); // no question, no message
    }
}

TEST(DarumaPaymentForms, ProgrammingThenListing)
{
    PrinterRig rig("DARUMA345");
    const std::vector<std::string> forms{"DINHEIRO", "PIX", "CHEQUE", "UMA FORMA COM VINTE }"};
    printer::FamilyDriver& d = rig.driver();
    d.programPaymentForms(forms);
    const std::string list = "DINHEIRO        ;PIX             ;CHEQUE          ;UMA FORMA COM VI;";
    EXPECT_EQ(rig.calls(), std::vector<std::string>{"Daruma_FI_ProgramaFormasPagamento(" + jsonBytes(list) + ")"});
    std::vector<std::string> items;
    d.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"DINHEIRO        ", "PIX             ", "CHEQUE          ",
                                               "UMA FORMA COM VI"}));

    PrinterRig bad("DARUMA345", R"({"calls": {"Daruma_FI_ProgramaFormasPagamento": [{"ret": 0}]}})");
    const std::vector<std::string> three{"ABCDEFGH", "ABC", "ABCDEF"};
    printer::FamilyDriver& b = bad.driver();
    b.programPaymentForms(three);
    EXPECT_EQ(bad.callLines()[0]["args"][0].get<std::string>().size(), 51u);
    EXPECT_EQ(bad.messages(), std::vector<std::string>{"Erro no cadastro das formas de pagamento"});

    PrinterRig empty("DARUMA345");
    const std::vector<std::string> none{};
    printer::FamilyDriver& e = empty.driver();
    e.programPaymentForms(none);
    EXPECT_TRUE(empty.calls().empty());
}

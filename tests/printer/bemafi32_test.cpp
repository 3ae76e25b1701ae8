// The BemaFI32 family: port, start-up with the tax rates and ISS indices, closing, the
// utilities, the payment forms and the fiscal-memory reading.
#include "common/errors.h"
#include "coupon_tables.h"
#include "printer/daruma/daruma_driver.h"

#include <gtest/gtest.h>

using namespace ecf;
using ecf::test::sale_tables::PrinterRig;
using ecf::test::sale_tables::jsonBytes;
using namespace ecf::test::sale_tables;

namespace {
std::string canned(const std::string& rates, const std::string& iss, const std::string& extra = "")
{
    return R"({"calls": {"Bematech_FI_RetornoAliquotas": [{"out": )" + jsonBytes(rates) +
           R"(}], "Bematech_FI_VerificaIndiceAliquotasIss": [{"out": )" + jsonBytes(iss) + "}]" + extra + "}}";
}
} // namespace

TEST(BemaFI32Port, OnlyAMissingIniFileIsReported)
{
    for (auto [ret, messages] : {std::pair<int, std::vector<std::string>>{-4, {"Falta arquivo BemaFI32.ini na pasta de Sistema do Windows"}},
                                 {-1, {}},
                                 {1, {}}}) {
        PrinterRig rig("BEMAFI32", R"({"calls": {"Bematech_FI_AbrePortaSerial": [{"ret": )" + std::to_string(ret) + "}]}}");
        printer::FamilyDriver& d = rig.driver();
        d.openPort(0);
        EXPECT_EQ(rig.calls(), std::vector<std::string>{"Bematech_FI_AbrePortaSerial()"});
        EXPECT_EQ(rig.messages(), messages) << ret;
    }
}

TEST(BemaFI32Port, ClosingReportsAFailure)
{
    PrinterRig rig("MP2100", R"({"calls": {"Bematech_FI_FechaPortaSerial": [{"ret": 0}]}})");
    printer::FamilyDriver& d = rig.driver();
    d.close();
    d.close();
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro ao Finalizar Porta da BEMAFI32"});
}

TEST(BemaFI32Start, ReadsRatesAndIssIndicesFromTheEmulator)
{
    PrinterRig rig("BEMAFI32");
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(d.start(0));
    EXPECT_EQ(rig.calls(), (std::vector<std::string>{
                               "Bematech_FI_RetornoAliquotas(\"" + std::string(79, ' ') + "\")",
                               "Bematech_FI_RetornoImpressora()",
                               "Bematech_FI_VerificaIndiceAliquotasIss(\"" + std::string(48, ' ') + "\")",
                               "Bematech_FI_RetornoImpressora()",
                           }));
    // The by-reference integers appear as the call's out.
    EXPECT_EQ(rig.callLines()[1]["out"], nlohmann::json::parse("[6,0,0]"));
    const int expected[] = {18, 12, 7, 25, 5};
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(rig.taxTable.entry(n).rate, common::Money::fromWhole(n <= 5 ? expected[n - 1] : 0)) << n;
        EXPECT_EQ(rig.taxTable.entry(n).serviceFlag, common::Money::fromWhole(n == 5 ? 1 : 0)) << n;
    }
    EXPECT_TRUE(rig.messages().empty());
}

TEST(BemaFI32Start, ShortListsIndicesOutOfRangeAndFailedChecks)
{
    PrinterRig rig("BEMAFI32", canned("  1800,1200,0500\r\n", "03,04,17,00,",
                                   R"(, "Bematech_FI_RetornoImpressora": [{"ret": 0}, {"ret": -27}])"));
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(d.start(0));
    EXPECT_EQ(rig.messages(), (std::vector<std::string>{"Erro na Leitura das aliquotas da BemaFI32",
                                                        "Erro na Leitura das aliquotas de issqn da BemaFI32"}));
    EXPECT_EQ(rig.taxTable.entry(1).rate.toString(), "18.0000");
    EXPECT_EQ(rig.taxTable.entry(2).rate.toString(), "12.0000");
    EXPECT_EQ(rig.taxTable.entry(3).rate.toString(), "5.0000");
    EXPECT_TRUE(rig.taxTable.entry(4).rate.isZero());
    for (int n = 1; n <= 16; ++n) // 03 and 04 are ISS entries; 17 and 00 name no entry
        EXPECT_EQ(rig.taxTable.entry(n).serviceFlag.isZero(), n != 3 && n != 4) << n;
}

TEST(BemaFI32Start, AnEmptyRateListIsReportedAndStartUpGoesOn)
{
    PrinterRig rig("BEMAFI32", canned("", ""));
    printer::FamilyDriver& d = rig.driver();
    EXPECT_TRUE(d.start(0));
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Tabela de aliquotas de icms da BemaFI32 vazia"});
}

TEST(BemaFI32Start, GroupsThatAreNoNumbersEndStartUp)
{
    {
        PrinterRig rig("BEMAFI32", canned("1800,12x0", ""));
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(d.start(0), common::ConversionError);
    }
    PrinterRig rig("BEMAFI32", canned("1800", "0a"));
    printer::FamilyDriver& d = rig.driver();
    EXPECT_THROW(d.start(0), common::ConversionError);
}

TEST(BemaFI32Utilities, ResultsOtherThanOneShowTheirMessages)
{
    PrinterRig bad("BEMAFI32", R"({"calls": {"Bematech_FI_LeituraX": [{"ret": 0}], "Bematech_FI_ReducaoZ": [{"ret": 0}],
                                         "Bematech_FI_CancelaCupom": [{"ret": 0}]}})");
    printer::FamilyDriver& b = bad.driver();
    b.xReading();
    b.zReduction();
    b.cancelCoupon(printer::CancelKind::LastCoupon);
    b.xReading(); // the emulator's own answer: no message
    EXPECT_EQ(bad.calls(), (std::vector<std::string>{"Bematech_FI_LeituraX()", "Bematech_FI_ReducaoZ(\" \", \" \")",
                                                     "Bematech_FI_CancelaCupom()", "Bematech_FI_LeituraX()"}));
    EXPECT_EQ(bad.messages(), (std::vector<std::string>{"Erro na emissão da leitura x", "Erro na emissão da reducao z",
                                                        "Erro no fechamento do cupom"}));
}

TEST(BemaFI32FiscalMemory, TextsArePassedAsTheyStand)
{
    PrinterRig rig("BEMAFI32", R"({"calls": {"Bematech_FI_LeituraMemoriaFiscalData": [{"ret": 0}]}})");
    printer::FamilyDriver& d = rig.driver();
    d.fiscalMemory("  /  /    ", "  /  /    ");
    d.fiscalMemory("01/12/2026", "07/12/2026");
    EXPECT_EQ(rig.calls(), (std::vector<std::string>{
                               "Bematech_FI_LeituraMemoriaFiscalData(\"  /  /    \", \"  /  /    \")",
                               "Bematech_FI_LeituraMemoriaFiscalData(\"01/12/2026\", \"07/12/2026\")",
                           }));
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro: 0"});
}

TEST(BemaFI32PaymentForms, ListingAsksTheDarumaLibrary)
{
    PrinterRig rig("BEMAFI32");
    printer::FamilyDriver& d = rig.driver();
    std::vector<std::string> items;
    d.listPaymentForms(items);
    EXPECT_EQ(items.size(), 3u);
    const auto lines = rig.callLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["family"], "daruma");
    EXPECT_EQ(lines[0]["fn"], "Daruma_FI_VerificaDescricaoFormasPagamento");
}

// --- coupon

TEST(BemaFI32Coupon, TaxCodeResolutionWithServiceItems)
{
    struct Case {
        std::string nivel1, icms, subst;
        double base, aliqCupom, aliqIcms, percIssqn;
        std::string code;
    } cases[] = {
        {"90", "T", "S", 100, 0, 18, 5, "05"},  // a service item skips the substitution test
        {"90", "T", "N", 100, 0, 18, 7, "  "},  // 7 is an ICMS rate only
        {"01", "T", "N", 100, 0, 5, 5, "  "},   // 5 is an ISS rate only
        {"01", "T", "N", 100, 0, 7, 5, "03"},
        {"01", "T", "N", 40, 12, 18, 5, "02"},
        {"01", "T", "S", 100, 0, 18, 5, "FF"},
        {"01", "X", "N", 100, 0, 18, 5, "NN"},
        {"01", "T", "N", 0, 0, 18, 5, "II"},
        {"01", "T", "N", 0, 99, 18, 5, "NN"},
    };
    for (const auto& c : cases) {
        PrinterRig rig("BEMAFI32");
        loadRates(rig.taxTable, true);
        Item i;
        i.nivel1 = c.nivel1;
        i.substTrib = c.subst;
        i.baseIcms = c.base;
        i.aliqCupom = c.aliqCupom;
        i.aliqIcms = c.aliqIcms;
        Header h;
        h.icms = c.icms;
        Branch br;
        br.percIssqn = c.percIssqn;
        CouponTables t(rig, h, {i}, br);
        printer::FamilyDriver& d = rig.driver();
        EXPECT_EQ(d.resolveTaxCode(t.sale(d).item(0)).text, c.code) << c.nivel1 << " " << c.aliqIcms << " " << c.percIssqn;
        EXPECT_EQ(rig.messages(), c.code == "  " ? std::vector<std::string>{"Percentual de issqn nao encontrado"}
                                                 : std::vector<std::string>{});
    }
}

TEST(BemaFI32Coupon, RateWithoutAnExactDoubleFindsItsRegister)
{
    PrinterRig rig("BEMAFI32");
    loadRates(rig.taxTable, true);
    rig.taxTable.entry(6).rate = common::Money::fromTenThousandths(40200); // 4,02 %
    Item i;
    i.aliqIcms = 4.02;
    CouponTables t(rig, Header{}, {i}, Branch{});
    printer::FamilyDriver& d = rig.driver();
    EXPECT_EQ(d.resolveTaxCode(t.sale(d).item(0)).text, "06");
    EXPECT_TRUE(rig.messages().empty());
}

TEST(BemaFI32Coupon, SaleAndClosing)
{
    PrinterRig rig("MP2100");
    loadRates(rig.taxTable, true);
    Item a;
    a.quantidade = 2;
    a.precoUnit = 0.5;
    a.vlrDescit = 0.25;
    Header h;
    h.cliente = "";
    h.endereco = " AV. B ";
    CouponTables t(rig, h, {a});
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(t.sellItems(d));
    t.close(d);
    EXPECT_EQ(rig.calls(), (std::vector<std::string>{
                               "Bematech_FI_AbreCupom(\"12345678909\")",
                               "Bematech_FI_VendeItem(\"000123\", \"CANETA AZUL\", \"01\", \"F\", \"2,000\", 3, "
                               "\"0,500\", \"$\", \"0,25\")",
                               "Bematech_FI_IniciaFechamentoCupom(\"D\", \"%\", \"0000\")",
                               "Bematech_FI_EfetuaFormaPagamento(\"Cheque\", \"         10,00\")",
                               "Bematech_FI_TerminaFechamentoCupom(\"Num.Controle: 123\\nCONSUMIDOR\\nAV. B\\n"
                               "12345678909\\nOBRIGADO\")",
                           }));
    EXPECT_TRUE(rig.messages().empty());
}

TEST(BemaFI32Coupon, AFailedSaleStopsTheCoupon)
{
    PrinterRig rig("BEMAFI32", R"({"calls": {"Bematech_FI_VendeItem": [{"ret": -2}]}})");
    loadRates(rig.taxTable, true);
    CouponTables t(rig, Header{}, {Item{}});
    printer::FamilyDriver& d = rig.driver();
    EXPECT_FALSE(t.sellItems(d));
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro na venda do item:-2"});
}

TEST(BemaFI32PaymentForms, ProgrammedFormsShowUpInTheDarumaListing)
{
    PrinterRig rig("BEMAFI32");
    const std::vector<std::string> forms{"VALE", "BOLETO|}"};
    printer::FamilyDriver& d = rig.driver();
    d.programPaymentForms(forms);
    std::vector<std::string> items;
    d.listPaymentForms(items);
    EXPECT_EQ(items, (std::vector<std::string>{"VALE            ", "BOLETO|}        "}));
    EXPECT_EQ(rig.calls()[0], "Bematech_FI_VerificaFormasPagamento(\"VALE            ;BOLETO|}        ;\")");

    PrinterRig bad("BEMAFI32", R"({"calls": {"Bematech_FI_VerificaFormasPagamento": [{"ret": 0}]}})");
    const std::vector<std::string> one{"VALE"};
    printer::FamilyDriver& b = bad.driver();
    b.programPaymentForms(one);
    EXPECT_EQ(bad.messages(), std::vector<std::string>{"Erro no cadastro das formas de pagamento"});
}

TEST(BemaFI32Coupon, ControlBytesBecomeBlanksFramingBytesStay)
{
    // ESC, CR LF or DEL in a table text would be commands of their own; '|' and '}' frame only
    // the MP-20's and the Sweda's commands.
    for (const char* model : {"BEMAFI32", "DARUMA345"}) {
        SCOPED_TRACE(model);
        PrinterRig rig(model);
        loadRates(rig.taxTable, true);
        Item i;
        i.descr = "A|B}C\x1b" "D\r\nE\x7f" "F";
        CouponTables t(rig, Header{}, {i});
        ASSERT_TRUE(t.sellItems(rig.driver()));
        EXPECT_EQ(printer::jsonTextToBytes(rig.callLines().back()["args"][1].get<std::string>()), "A|B}C D  E F");
    }
}

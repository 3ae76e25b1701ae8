// The BemaFI32 family: port, start-up with the tax rates and ISS indices, closing, the
// utilities, the payment forms and the fiscal-memory reading.
#include "common/errors.h"
#include "fam_b_rig.h"

#include <gtest/gtest.h>

using namespace ecf;
using ecf::test::famb::FamBRig;
using ecf::test::famb::jsonBytes;
using printer::bemafi32::BemaFI32Driver;

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
        FamBRig rig("BEMAFI32", R"({"calls": {"Bematech_FI_AbrePortaSerial": [{"ret": )" + std::to_string(ret) + "}]}}");
        BemaFI32Driver d(rig.ctx);
        d.openPort(0);
        EXPECT_EQ(rig.calls(), std::vector<std::string>{"Bematech_FI_AbrePortaSerial()"});
        EXPECT_EQ(rig.messages(), messages) << ret;
    }
}

TEST(BemaFI32Port, ClosingReportsAFailure)
{
    FamBRig rig("MP2100", R"({"calls": {"Bematech_FI_FechaPortaSerial": [{"ret": 0}]}})");
    BemaFI32Driver d(rig.ctx);
    d.close();
    d.close();
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro ao Finalizar Porta da BEMAFI32"});
}

TEST(BemaFI32Start, ReadsRatesAndIssIndicesFromTheEmulator)
{
    FamBRig rig("BEMAFI32");
    BemaFI32Driver d(rig.ctx);
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
    FamBRig rig("BEMAFI32", canned("  1800,1200,0500\r\n", "03,04,17,00,",
                                   R"(, "Bematech_FI_RetornoImpressora": [{"ret": 0}, {"ret": -27}])"));
    BemaFI32Driver d(rig.ctx);
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
    FamBRig rig("BEMAFI32", canned("", ""));
    BemaFI32Driver d(rig.ctx);
    EXPECT_TRUE(d.start(0));
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Tabela de aliquotas de icms da BemaFI32 vazia"});
}

TEST(BemaFI32Start, GroupsThatAreNoNumbersEndStartUp)
{
    {
        FamBRig rig("BEMAFI32", canned("1800,12x0", ""));
        BemaFI32Driver d(rig.ctx);
        EXPECT_THROW(d.start(0), common::ConversionError);
    }
    FamBRig rig("BEMAFI32", canned("1800", "0a"));
    BemaFI32Driver d(rig.ctx);
    EXPECT_THROW(d.start(0), common::ConversionError);
}

TEST(BemaFI32Utilities, ResultsOtherThanOneShowTheirMessages)
{
    FamBRig bad("BEMAFI32", R"({"calls": {"Bematech_FI_LeituraX": [{"ret": 0}], "Bematech_FI_ReducaoZ": [{"ret": 0}],
                                         "Bematech_FI_CancelaCupom": [{"ret": 0}]}})");
    BemaFI32Driver b(bad.ctx);
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
    FamBRig rig("BEMAFI32", R"({"calls": {"Bematech_FI_LeituraMemoriaFiscalData": [{"ret": 0}]}})");
    BemaFI32Driver d(rig.ctx);
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
    FamBRig rig("BEMAFI32");
    BemaFI32Driver d(rig.ctx);
    std::vector<std::string> items;
    d.listPaymentForms(items);
    EXPECT_EQ(items.size(), 3u);
    const auto lines = rig.callLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["family"], "daruma");
    EXPECT_EQ(lines[0]["fn"], "Daruma_FI_VerificaDescricaoFormasPagamento");
}

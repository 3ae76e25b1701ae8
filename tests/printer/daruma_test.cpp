// The Daruma family: start-up with the tax-rate reading, the utilities, the payment-form
// listing and the fiscal-memory reading, against the emulator and canned replies.
#include "common/convert.h"
#include "common/errors.h"
#include "fam_b_rig.h"

#include <gtest/gtest.h>

using namespace ecf;
using ecf::test::famb::FamBRig;
using ecf::test::famb::jsonBytes;
using printer::daruma::DarumaDriver;

TEST(DarumaStart, ReadsTheTaxCodesAndRateTextsFromTheEmulator)
{
    FamBRig rig("DARUMA345");
    DarumaDriver d(rig.ctx);
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
        FamBRig rig("FS600", c.canned);
        DarumaDriver d(rig.ctx);
        EXPECT_EQ(d.start(0), c.goesOn) << c.name;
        EXPECT_EQ(rig.messages(), c.messages) << c.name;
    }
    FamBRig rig("FS600", cases[3].canned);
    DarumaDriver d(rig.ctx);
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
    FamBRig rig("DARUMA345", R"({"calls": {"Daruma_FI_LerAliquotasComIndice": [{"out": )" + jsonBytes(reply) + "}]}}");
    DarumaDriver d(rig.ctx);
    EXPECT_TRUE(d.start(0));
    EXPECT_EQ(rig.taxTable.entry(16).rateText, "1015");
    // The buffer is 300 characters: the library's longer reply was cut there, never past it.
    EXPECT_EQ(rig.callLines()[1]["out"].get<std::string>().size(), 300u);
}

TEST(DarumaUtilities, ResultsOtherThanOneShowTheirMessages)
{
    FamBRig ok("DARUMA345");
    DarumaDriver d(ok.ctx);
    d.xReading();
    d.zReduction();
    d.cancelCoupon(printer::CancelKind::OpenCoupon);
    EXPECT_EQ(ok.calls(), (std::vector<std::string>{"Daruma_FI_LeituraX()", "Daruma_FI_ReducaoZ(\" \", \" \")",
                                                    "Daruma_FI_CancelaCupom()"}));
    EXPECT_TRUE(ok.messages().empty());
    EXPECT_EQ(ok.emu.tape.back().find("CANCELADO") != std::string::npos, true);

    FamBRig bad("DARUMA345", R"({"calls": {"Daruma_FI_LeituraX": [{"ret": 0}], "Daruma_FI_ReducaoZ": [{"ret": -1}],
                                          "Daruma_FI_CancelaCupom": [{"ret": 0, "times": 2}]}})");
    DarumaDriver b(bad.ctx);
    b.xReading();
    b.zReduction();
    b.cancelCoupon(printer::CancelKind::LastCoupon);
    b.cancelCoupon(printer::CancelKind::OpenCoupon);
    EXPECT_EQ(bad.messages(), (std::vector<std::string>{"Erro na emissão da leitura x", "Erro na emissão da reducao z",
                                                        "Erro no fechamento do cupom", "Erro no fechamento do cupom"}));
}

TEST(DarumaPaymentForms, ListingParsesEntriesUpToAPlaceholder)
{
    FamBRig rig("DARUMA345");
    DarumaDriver d(rig.ctx);
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
        FamBRig r("DARUMA345",
                  R"({"calls": {"Daruma_FI_VerificaDescricaoFormasPagamento": [{"out": )" + jsonBytes(c.out) + "}]}}");
        DarumaDriver dd(r.ctx);
        std::vector<std::string> list{"old"};
        dd.listPaymentForms(list);
        EXPECT_EQ(list, c.items) << c.out;
    }

    // Seventeen names: at most 16 entries.
    std::string many;
    for (int i = 0; i < 17; ++i)
        many += "Forma " + common::intToStr(10 + i) + "        ;";
    FamBRig r("DARUMA345",
              R"({"calls": {"Daruma_FI_VerificaDescricaoFormasPagamento": [{"out": )" + jsonBytes(many) + "}]}}");
    DarumaDriver dd(r.ctx);
    dd.listPaymentForms(items);
    EXPECT_EQ(items.size(), 16u);
}

TEST(DarumaPaymentForms, AFailedQueryLeavesTheListAsItWas)
{
    FamBRig rig("DARUMA345", R"({"calls": {"Daruma_FI_VerificaDescricaoFormasPagamento": [{"ret": 0}]}})");
    DarumaDriver d(rig.ctx);
    std::vector<std::string> items{"Dinheiro"};
    d.listPaymentForms(items);
    EXPECT_EQ(items, std::vector<std::string>{"Dinheiro"});
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Erro: 0"});
}

TEST(DarumaFiscalMemory, DatesAreSentAsDayCountsFirstThenLast)
{
    FamBRig rig("DARUMA345", R"({"calls": {"Daruma_FI_LeituraMemoriaFiscalData": [{"ret": 0}]}})");
    DarumaDriver d(rig.ctx);
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
        FamBRig rig("DARUMA345");
        DarumaDriver d(rig.ctx);
        EXPECT_THROW(d.fiscalMemory(first, last), common::ConversionError) << first << " " << last;
        EXPECT_TRUE(rig.calls().empty());
    }
}

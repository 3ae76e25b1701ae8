// The Sigtron family (control TSigDrCm, "FS345" and "FS300"): the opening loop, tax rates,
// coupon number, tax codes, item commands, closing, receipts and utilities.
#include "common/errors.h"
#include "common/text.h"
#include "printer_rig.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>

using namespace ecf;
using namespace ecf::test;

namespace {

// The SetParameter calls as "name=value", between the CmdName named cmd and its Execute.
std::vector<std::string> paramsOf(const PrinterRig& rig, const std::string& cmd, int occurrence = 0)
{
    std::vector<std::string> out;
    bool in = false;
    int seen = 0;
    for (const auto& c : rig.callLines()) {
        if (c["fn"] == "CmdName")
            in = c["args"][0] == cmd && seen++ == occurrence;
        else if (in && c["fn"] == "SetParameter")
            out.push_back(c["args"][0].get<std::string>() + "=" + c["args"][1].get<std::string>());
        else if (in && c["fn"] == "Execute")
            break;
    }
    return out;
}

std::vector<std::string> commandNames(const PrinterRig& rig)
{
    return rig.argsOf("CmdName");
}

std::string valuesCanned(const std::string& valor)
{
    return R"({"calls": {"Execute": [{"values": {"Valor": )" + jsonLatin1(valor) + "}}]}}";
}

} // namespace

TEST(SigtronStart, Fs345OpensReadsRatesAndTheCouponNumber)
{
    PrinterRig rig("FS345");
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(d.start(0));
    const std::vector<std::string> expected = {
        R"(CmdFileName("C:\\ECF\\FS345.CFG"))",
        R"(CommConfig("COM1: baud=9600 parity=N data=8 stop=1"))",
        R"(LibName("Fiscal"))",
        "Close()",
        "Open()",
        R"(LibName("Leitura"))",
        R"(CmdName("LeituraAliquotaFiscalCarregada"))",
        "Execute()",
        R"(ReturnValue("Valor"))",
        R"(LibName("Leitura"))",
        R"(CmdName("LeituraEstadoDocumento"))",
        "Execute()",
        R"(ReturnValue("NumeroCupom"))",
    };
    EXPECT_EQ(rig.calls(), expected);
    EXPECT_EQ(rig.config.couponNumber, 1234);
    EXPECT_TRUE(d.showsCouponNumber());
    const char* codes[] = {"TA", "TB", "TC", "TD"};
    const char* rates[] = {"18", "12", "07", "25"};
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(rig.taxTable.entry(n).code, codes[n - 1]);
        EXPECT_EQ(rig.taxTable.entry(n).rateText, rates[n - 1]);
        EXPECT_TRUE(rig.taxTable.entry(n).rate.isZero());
    }
    EXPECT_EQ(rig.taxTable.entry(5).rateText, "0");
    EXPECT_EQ(rig.callLines().at(4)["ret"], true);
}

TEST(SigtronStart, Fs300SlotsAndPortText)
{
    // slots begin at char 2; "//" and letters after "P" are not stored; a short value ends early
    PrinterRig rig("FS300", valuesCanned("xA1800B//00Q1200D0700E12"), " 1 ");
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(d.start(0));
    EXPECT_FALSE(d.showsCouponNumber());
    EXPECT_EQ(rig.argsOf("CommConfig"), std::vector<std::string>{"COM1: baud=9600 parity=N data=8 stop=1"});
    EXPECT_EQ(rig.argsOf("CmdFileName"), std::vector<std::string>{"C:\\ECF\\FS300.CFG"});
    EXPECT_EQ(rig.taxTable.entry(1).code, "TA");
    EXPECT_EQ(rig.taxTable.entry(1).rateText, "18");
    EXPECT_EQ(rig.taxTable.entry(2).code, "");
    EXPECT_EQ(rig.taxTable.entry(3).code, "");
    EXPECT_EQ(rig.taxTable.entry(4).code, "TD");
    EXPECT_EQ(rig.taxTable.entry(5).code, "TE");
    EXPECT_EQ(rig.taxTable.entry(5).rateText, "12");
    EXPECT_EQ(rig.taxTable.entry(6).code, "");
    EXPECT_TRUE(rig.callsOf("ReturnValue(\"NumeroCupom\"").empty());
    EXPECT_EQ(rig.config.couponNumber, 0);
}

TEST(SigtronStart, EmptyRatesAndCouponNumbers)
{
    {   // ten empty readings: message, control closed, start-up ends
        PrinterRig rig("FS345", R"({"calls": {"Execute": [{"values": {}, "times": "always"}]}})");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_FALSE(d.start(0));
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"Tabela de aliquotas de icms da FS345 vazia"});
        EXPECT_EQ(rig.callsOf("Execute").size(), 10u);
        EXPECT_EQ(rig.calls().back(), "Close()");
    }
    {   // the first non-empty value ends the attempts
        PrinterRig rig("FS300", R"({"calls": {"Execute": [{"values": {"Valor": ""}, "times": 2}, {"values": {"Valor": "0A0500"}}]}})");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_TRUE(d.start(0));
        EXPECT_EQ(rig.callsOf("Execute").size(), 3u);
        EXPECT_EQ(rig.taxTable.entry(1).rateText, "05");
    }
    for (const char* number : {"", "12a"}) {
        PrinterRig rig("FS345", std::string(R"({"calls": {"Execute": [{"values": {"Valor": "A1800"}}, {"values": {"NumeroCupom": ")") +
                                 number + R"("}}]}})");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_THROW(d.start(0), common::ConversionError) << number;
    }
    {
        PrinterRig rig("FS345", R"({"calls": {"Execute": [{"values": {"Valor": "A1800"}}, {"values": {"NumeroCupom": "42"}}]}})");
        printer::FamilyDriver& d = rig.driver();
        EXPECT_TRUE(d.start(0));
        EXPECT_EQ(rig.config.couponNumber, 42);
    }
}

TEST(SigtronStart, FiveHundredThousandFailingOpenAttemptsRunInSeconds)
{
    const std::clock_t started = std::clock();
    PrinterRig rig("FS345", R"({"calls": {"Open": [{"ret": false, "times": "always"}]}})");
    printer::FamilyDriver& d = rig.driver();
    EXPECT_FALSE(d.start(0));
    // processor time, so that a loaded machine does not count (sanitizer builds are slower)
    const double seconds = static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC;
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(seconds, 60.0);
#else
    (void)seconds;
#endif
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Nao foi possivel abrir ECF - FS345"});
    // five calls per attempt, every one traced
    std::ifstream in(rig.tracePath, std::ios::binary);
    std::size_t lines = 0, opens = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
        if (line.find("\"fn\":\"Open\"") != std::string::npos)
            ++opens;
    }
    EXPECT_EQ(opens, 500000u);
    EXPECT_EQ(lines, 2500000u);
}

TEST(SigtronCoupon, TaxCodes)
{
    struct Case {
        const char* model;
        FieldValues header, item;
        const char* code;
    };
    const std::vector<Case> cases = {
        {"FS345", {{"Icms", T("N")}}, {{"Subst_Trib", T("S")}}, "F "},
        {"FS345", {{"Icms", T("N")}}, {}, "N "},
        {"FS300", {}, {{"BaseIcms", N(0)}}, "I "},
        {"FS300", {}, {{"BaseIcms", N(0)}, {"AliqCupom", N(99)}}, "N "},
        {"FS345", {}, {{"BaseIcms", N(40)}, {"AliqCupom", N(17.5)}}, "TC"},
        {"FS345", {}, {{"BaseIcms", N(40)}, {"AliqCupom", N(0)}, {"AliqIcms", N(7)}}, "TB"},
        {"FS345", {}, {{"AliqIcms", N(18)}}, "TE"}, // entries 1 and 5 hold 18: the last wins
        {"FS345", {}, {{"AliqIcms", N(5)}}, "  "},
    };
    for (const auto& c : cases) {
        PrinterRig rig(c.model);
        const std::pair<const char*, const char*> entries[] = {{"TA", "18"}, {"TB", "07"}, {"TC", "17"}, {"TD", "//"}, {"TE", "18"}};
        for (int n = 1; n <= 5; ++n) {
            rig.taxTable.entry(n).code = entries[n - 1].first;
            rig.taxTable.entry(n).rateText = entries[n - 1].second;
        }
        rig.makeCoupon(c.header, {c.item});
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        EXPECT_EQ(d.resolveTaxCode(t.sale(d).item(0)).text, c.code) << (&c - cases.data());
        EXPECT_EQ(rig.messages().size(), std::string(c.code) == "  " ? 1u : 0u);
        if (std::string(c.code) == "  ") {
            EXPECT_EQ(rig.messages().at(0), "Percentual de Tributacao nao Encontrado");
        }
    }
}

TEST(SigtronCoupon, Fs345ItemAndClosing)
{
    PrinterRig rig("FS345");
    rig.config.fatModNf = 1;
    rig.makeCoupon({{"Cod_Vend1", I(5)}, {"Observ", T("OBS")}, {"TipoPagAlf", T("")}, {"Num_Nota", I(99)},
                    {"Bairro", T("")}, {"Cidade", T("")}, {"Estado", T("")}},
                   {{{"Cod_Reduz", I(42)}, {"Unid_Pad", T("PCT")}, {"Preco_Unit", N(1.99)}, {"Quantidade", N(12.25)},
                     {"Descr_Prod", T("CANETA \xC7")}, {"Vlr_Descit", N(12.5)}}},
                   {{"TipoDescIt", T("P")}});
    rig.op.confirmAnswers = {common::Answer::No, common::Answer::No};
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(rig.issue(d));
    EXPECT_EQ(paramsOf(rig, "AberturaCupomFiscal"), std::vector<std::string>{});
    const std::vector<std::string> item = {
        "SituacaoTributaria=  ", "Codigo=000042", "Unidade=PC", "PrecoUnitario=000001990", "Quantidade=012,25",
        "Descricao=CANETA \xC3\x87" + std::string(129, ' '), "DescontoAcrescimo=0", "PorcentagemDescAcres=1250"};
    EXPECT_EQ(paramsOf(rig, "DescricaoProdutoPreco3Decimais"), item);
    EXPECT_EQ(paramsOf(rig, "TotalizacaoCupomFiscal"),
              (std::vector<std::string>{"TipoDescAcres=0", "ValorDescAcres=000000000000"}));
    EXPECT_EQ(paramsOf(rig, "DescricaoPagamento"),
              (std::vector<std::string>{"FormaPagamento=A", "ValorPagamento=000000000000", "LinhaAdicional="}));
    const std::string message = "Operador: 5\r\nDestinatario:\r\n000077 JOSE DA SILVA\r\n"
                                "CNPJ/CPF:12345678901   Num.Controle: 99 IE:ISENTO\r\nRUA A 10 01000-000\r\n"
                                "OBS\r\nVENC 10/01\r\n";
    EXPECT_EQ(paramsOf(rig, "FechamentoCupomComMensagem"), std::vector<std::string>{"Mensagem=" + message});
    EXPECT_EQ(commandNames(rig), (std::vector<std::string>{"AberturaCupomFiscal", "DescricaoProdutoPreco3Decimais",
                                                          "TotalizacaoCupomFiscal", "DescricaoPagamento",
                                                          "FechamentoCupomComMensagem"}));
    // both questions answered No: eight line feeds end the stage
    EXPECT_EQ(rig.op.texts("confirm"),
              (std::vector<std::string>{"Emitir comprovante de entrega ?", "Emitir cupom adicional ?"}));
    EXPECT_EQ(rig.argsOf("SendText"), std::vector<std::string>(8, "\n"));
}

TEST(SigtronCoupon, Fs300ItemAndClosingMessageCut)
{
    PrinterRig rig("FS300");
    rig.config.fatModNf = 40;
    const std::string longLine(390, 'L');
    rig.makeCoupon({{"LinhaVenc", T(std::string(80, 'V'))}, {"Observ", T(longLine.substr(0, 80))},
                    {"Endereco", T("")}},
                   {{{"Cod_Reduz", I(7)}, {"Descr_Prod", T(std::string(40, 'D'))}, {"Unid_Pad", T("UN")},
                     {"Quantidade", N(1.5)}, {"Preco_Unit", N(2.3456)}, {"BT_ICMS", N(3.5199)}, {"Vlr_Descit", N(3)}}},
                   {{"TipoDescIt", T("V")}});
    printer::FamilyDriver& d = rig.driver();
    ASSERT_TRUE(rig.issue(d));
    EXPECT_EQ(paramsOf(rig, "DescricaoProdutoFormatoLivre"),
              (std::vector<std::string>{"Mensagem=000007 " + std::string(33, 'D') + " UN\n\r   1,50        2,346   ",
                                        "SituacaoTribitaria=  ", "PorcentagemDesconto=0000", "TotalItem=000000351"}));
    const auto closing = paramsOf(rig, "FechamentoCupomComDescontoGlobalPercentual");
    ASSERT_EQ(closing.size(), 2u);
    EXPECT_EQ(closing[0], "PorcentagemDesconto=0000");
    const std::string full = "Destinatario:\r\n000077 JOSE DA SILVA\r\nCNPJ/CPF:12345678901   Num.Controle: 123 IE:ISENTO\r\n"
                             "CENTRO SAO PAULO SP\r\n" + longLine.substr(0, 80) + "\r\n" + std::string(80, 'V') + "\r\n";
    EXPECT_EQ(closing[1], "Mensagem=" + full.substr(0, 400).substr(0, full.size()));
    EXPECT_TRUE(paramsOf(rig, "TotalizacaoCupomFiscal").empty());
    // FatModNf 40: no question, the eight line feeds only
    EXPECT_TRUE(rig.op.texts("confirm").empty());
    EXPECT_EQ(rig.argsOf("SendText"), std::vector<std::string>(8, "\n"));
}

TEST(SigtronCoupon, Receipts)
{
    {   // FS345, FatModNf 8, Yes: the receipt with the additional block; no additional question
        PrinterRig rig("FS345");
        rig.config.fatModNf = 8;
        rig.config.couponNumber = 42;
        rig.makeCoupon({{"Vlr_Nota", N(1234.5)}, {"Observ", T("")}}, {}, {{"Fil_Cidade", T("CAMPINAS")}});
        rig.op.confirmAnswers = {common::Answer::Yes};
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        d.receipts(t.sale(d));
        EXPECT_EQ(rig.op.texts("confirm"), std::vector<std::string>{"Emitir comprovante de entrega ?"});
        EXPECT_EQ(paramsOf(rig, "AberturaCNFV"),
                  (std::vector<std::string>{"IdentificacaoCNFV=A", "TipoCNFV=A", "COOorigem=000042",
                                            "ValorVinculado=000000123450"}));
        std::vector<std::string> lines;
        for (int i = 0; i < 13; ++i)
            for (const auto& p : paramsOf(rig, "LinhaTexto", i))
                lines.push_back(p.substr(std::string("TextoLivre=").size()));
        const std::vector<std::string> expected = {
            "RECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NO\n", "CUPOM FISCAL Nro 000123.\n",
            "CAMPINAS , ____ DE _________________ DE ______\n", " \n",
            "_______________________________________________\n", "JOSE DA SILVA\n", "\n", " \n", " \n",
            std::string(47, '*') + "\n", "********* CUPOM ADICIONAL ********* Nro 000042.\n",
            "VALOR R$     1.234,50\n", std::string(47, '*') + "\n"};
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(commandNames(rig).back(), "FechamentoComprovante");
        EXPECT_EQ(rig.argsOf("SendText").size(), 8u);
    }
    {   // FS300, Yes and Yes: receipt text and the additional coupon by SendText
        PrinterRig rig("FS300");
        rig.config.fatModNf = 1;
        rig.makeCoupon({{"Vlr_Nota", N(12.3456)}}, {}, {{"Fil_Cidade", T("")}});
        rig.op.confirmAnswers = {common::Answer::Yes, common::Answer::Yes};
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        d.receipts(t.sale(d));
        EXPECT_EQ(commandNames(rig), (std::vector<std::string>{"AberturaCuposSemICMS", "FechamentoCupomSemICMS",
                                                              "AberturaCuposSemICMS", "FechamentoCupomSemICMS"}));
        std::vector<std::string> texts(7, "\n");
        texts.insert(texts.begin(), "\nRECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NO\nCUPOM FISCAL Nro 000123.\n"
                                    " , ____ DE _________________ DE ______\n \n"
                                    "_______________________________________________\nJOSE DA SILVA\n");
        texts.push_back("\nCUPOM FISCAL ADICIONAL Nro 000123.\nVALOR :       12,35\n");
        for (int i = 0; i < 8; ++i)
            texts.push_back("\n");
        EXPECT_EQ(rig.argsOf("SendText"), texts);
    }
    {   // FS345: the box closed without an answer skips the receipt; Yes on the additional coupon
        PrinterRig rig("FS345");
        rig.makeCoupon({}, {});
        rig.op.confirmAnswers = {common::Answer::Close, common::Answer::Yes};
        printer::FamilyDriver& d = rig.driver();
        PrinterRig::Open t;
        d.receipts(t.sale(d));
        EXPECT_EQ(commandNames(rig), std::vector<std::string>{"EmissaoCupomAdicional"});
        EXPECT_EQ(rig.argsOf("SendText").size(), 15u);
    }
}

TEST(SigtronUtilities, ReadingsAndCancel)
{
    PrinterRig rig("FS300");
    printer::FamilyDriver& d = rig.driver();
    d.xReading();
    d.zReduction();
    d.cancelCoupon(printer::CancelKind::LastCoupon);
    d.cancelCoupon(printer::CancelKind::OpenCoupon);
    EXPECT_EQ(commandNames(rig), (std::vector<std::string>{"LeituraX", "ReducaoZ", "CancelamentoUltimoCupom",
                                                          "CancelamentoUltimoCupom"}));
    EXPECT_EQ(paramsOf(rig, "ReducaoZ"), (std::vector<std::string>{"Dia=31", "Mes=12", "Ano=26", "Hora=23", "Minuto=59",
                                                                   "Segundo=59"}));
    rig.config.modeloEcf = "FS345";
    d.cancelCoupon(printer::CancelKind::OpenCoupon);
    EXPECT_EQ(commandNames(rig).back(), "CancelaDocumento");
    for (const auto& lib : rig.argsOf("LibName"))
        EXPECT_EQ(lib, "Fiscal");
    std::vector<std::string> list{"kept"};
    d.listPaymentForms(list);
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
    EXPECT_TRUE(rig.messages().empty());
}

#include "printer/sigtron/sigtron_driver.h"

#include "common/convert.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/text.h"
#include "printer/sigtron/sigtron_lib.h"
#include "printer/tax_codes.h"

#include <cmath>

namespace ecf::printer::sigtron {

namespace {

using common::Money;

constexpr const char* crlf = "\r\n";
constexpr const char* receiptCityTail = " , ____ DE _________________ DE ______";
constexpr const char* signatureRule = "_______________________________________________";
constexpr const char* asteriskRule = "***********************************************";

std::u16string w(std::string_view ascii) { return common::widen(ascii); }

// A table text as it goes to the printer: control bytes become blanks.
std::string str(const RecordValues& r, const char* field) { return common::blankControls(r.text(field)); }

std::int64_t truncate(long double v)
{
    if (!std::isfinite(v) || v >= 9.2e18L || v <= -9.2e18L)
        throw common::ConversionError("Invalid floating point operation");
    return static_cast<std::int64_t>(std::truncl(v));
}

// The printer's own code of the register whose rate text is the rate's whole percent.
const TaxSpelling taxSpelling{.substituted = {"F "}, .exempt = {"I "}, .nonTaxed = {"N "}, .blank = {"  "},
                               .match = TaxSpelling::Match::RateText, .rateTextDigits = 2,
                               .spell = [](int, const TaxEntry& e) { return e.code; },
                               .notFound = "Percentual de Tributacao nao Encontrado"};

// The closing message: seller, customer, remarks and the due-date line, cut to 400 characters.
std::string closingMessage(const RecordValues& c)
{
    std::string message;
    if (c.integer("Cod_Vend1") != 0)
        message += "Operador: " + str(c, "Cod_Vend1") + crlf;
    const std::string observ = str(c, "Observ");
    if (!observ.empty())
        message += std::string("Destinatario:") + crlf;
    message += common::fmtInt("%6.6d", c.integer("Cod_Clifor")) + " " + str(c, "Cliente") + crlf;
    message += "CNPJ/CPF:" + str(c, "CNPJ") + "   Num.Controle: " + str(c, "Num_Nota") + " IE:" + str(c, "InscrEst") +
               crlf;
    const std::string endereco = str(c, "Endereco");
    if (!endereco.empty())
        message += endereco + " " + str(c, "Numero") + " " + str(c, "CEP") + crlf;
    const std::string bairro = str(c, "Bairro"), cidade = str(c, "Cidade"), estado = str(c, "Estado");
    if (!bairro.empty() || !cidade.empty() || !estado.empty())
        message += bairro + " " + cidade + " " + estado + crlf;
    if (!observ.empty())
        message += observ + crlf;
    message += str(c, "LinhaVenc") + crlf;
    return common::left(message, 400);
}

} // namespace

void SigtronDriver::select(const char* libName, const char* cmd)
{
    lib().LibName(w(libName));
    lib().CmdName(w(cmd));
}

void SigtronDriver::param(const char* name, const std::u16string& value) { lib().SetParameter(w(name), value); }

void SigtronDriver::run(const char* cmd)
{
    select("Fiscal", cmd);
    lib().Execute();
}

void SigtronDriver::printLine(const std::u16string& line)
{
    select("Fiscal", "LinhaTexto");
    param("TextoLivre", line);
    lib().Execute();
}

void SigtronDriver::openPort(int) {}

bool SigtronDriver::open()
{
    const std::string& model = ctx_.config.modeloEcf;
    const std::u16string cmdFile = w("C:\\ECF\\" + model + ".CFG");
    const std::u16string comm =
        common::widen("COM" + common::removeChar(ctx_.config.portaEcf, ' ') + ": baud=9600 parity=N data=8 stop=1");
    const std::u16string fiscal = w("Fiscal");
    SigtronLib& c = lib();
    for (int attempt = 0; attempt < openAttempts; ++attempt) {
        c.CmdFileName(cmdFile);
        c.CommConfig(comm);
        c.LibName(fiscal);
        c.Close();
        if (c.Open())
            return true;
    }
    ctx_.op.message("Nao foi possivel abrir ECF - " + common::toUtf8(model));
    return false;
}

bool SigtronDriver::loadTaxTable()
{
    std::u16string value;
    for (int attempt = 0; attempt < 10 && value.empty(); ++attempt) {
        select("Leitura", "LeituraAliquotaFiscalCarregada");
        lib().Execute();
        value = lib().ReturnValue(w("Valor"));
    }
    if (value.empty()) {
        ctx_.op.message("Tabela de aliquotas de icms da FS345 vazia");
        lib().Close();
        return false;
    }
    // 16 slots of 5 characters: a register letter A..P and the rate's whole percent.
    const std::size_t firstSlot = laterCommands() ? 0 : 1;
    for (std::size_t j = 0; j < 16; ++j) {
        const std::size_t p = firstSlot + 5 * j; // 0-based start of the slot
        if (p >= value.size())
            continue;
        const char16_t letter = value[p];
        if (letter < u'A' || letter > u'P')
            continue;
        const std::u16string rate = value.substr(std::min(p + 1, value.size()), 2);
        if (rate == u"//")
            continue;
        TaxEntry& e = ctx_.taxTable.entry(static_cast<int>(j) + 1);
        e.code = "T" + common::narrow(std::u16string(1, letter));
        e.rateText = common::narrow(rate);
    }
    return true;
}

bool SigtronDriver::start(int)
{
    if (!open() || !loadTaxTable())
        return false;
    if (laterCommands()) {
        select("Leitura", "LeituraEstadoDocumento");
        lib().Execute();
        ctx_.config.couponNumber = common::strToInt(common::narrow(lib().ReturnValue(w("NumeroCupom"))));
    }
    return true;
}

void SigtronDriver::close() { lib().Close(); }

SaleFields SigtronDriver::saleFields() const
{
    using enum SaleTable;
    SaleFields f;
    f.taxCode = taxFields(taxSpelling);
    f.item.push_back({Item, "Num_Item", ReadAs::Integer});
    if (laterCommands())
        f.item.insert(f.item.end(), {{Item, "Cod_Reduz", ReadAs::Integer}, {Item, "Unid_Pad", ReadAs::Text},
                                     {Item, "Preco_Unit", ReadAs::Float}, {Item, "Quantidade", ReadAs::Money},
                                     {Item, "Descr_Prod", ReadAs::Text}});
    else
        f.item.insert(f.item.end(), {{Item, "Cod_Reduz", ReadAs::Integer}, {Item, "Descr_Prod", ReadAs::Text},
                                     {Item, "Unid_Pad", ReadAs::Text}, {Item, "Quantidade", ReadAs::Float},
                                     {Item, "Preco_Unit", ReadAs::Float}});
    f.item.insert(f.item.end(), {{Branch, "TipoDescIt", ReadAs::Text}, {Item, "Vlr_Descit", ReadAs::Float}});
    // The closing message's, then the payment letter and the receipts'.
    f.closing = {{Header, "Cod_Vend1", ReadAs::Integer}, {Header, "Cod_Vend1", ReadAs::Text},
                 {Header, "Observ", ReadAs::Text},       {Header, "Cod_Clifor", ReadAs::Integer}};
    for (const char* name : {"Cliente", "CNPJ", "Num_Nota", "InscrEst", "Endereco", "Numero", "CEP", "Bairro", "Cidade",
                             "Estado", "LinhaVenc"})
        f.closing.push_back({Header, name, ReadAs::Text});
    if (laterCommands())
        f.closing.push_back({Header, "TipoPagAlf", ReadAs::Text});
    if (ctx_.config.fatModNf != 40)
        f.closing.insert(f.closing.end(), {{Header, "Vlr_Nota", ReadAs::Money},
                                           {Header, "Num_Nota", ReadAs::Integer},
                                           {Branch, "Fil_Cidade", ReadAs::Text}});
    return f;
}

TaxCode SigtronDriver::resolveTaxCode(const SaleItem& item)
{
    return classifyTax(taxSpelling, item, ctx_.taxTable, ctx_.op);
}

bool SigtronDriver::registerItem(const SaleItem& item, const TaxCode& taxCode, Money itemTotal)
{
    if (item.item.integer("Num_Item") == 1)
        run("AberturaCupomFiscal");
    FieldCheck sent;
    sale(item, taxCode, itemTotal, sent, true);
    return true;
}

void SigtronDriver::sale(const SaleItem& item, const TaxCode& taxCode, Money itemTotal, FieldCheck& check, bool send)
{
    const RecordValues& it = item.item;
    const int cp = it.codePage;
    auto command = [&](const char* cmd) {
        if (send)
            select("Fiscal", cmd);
    };
    auto put = [&](const char* name, const std::u16string& value) {
        if (send)
            param(name, value);
    };
    auto discountPercent = [&] {
        if (str(item.branch, "TipoDescIt") != "P")
            return std::string("0000");
        const double d = it.floating("Vlr_Descit");
        return check.digits({"Vlr_Descit", 4}, truncate(static_cast<long double>(d) * 100.0L), shownValue(d));
    };
    auto code = [&] {
        const std::int64_t c = it.integer("Cod_Reduz");
        check.product(c);
        return c;
    };
    if (laterCommands()) {
        command("DescricaoProdutoPreco3Decimais");
        put("SituacaoTributaria", common::widen(taxCode.text));
        const std::int64_t c = code();
        put("Codigo", w(check.digits({"Cod_Reduz", 6}, c, std::to_string(c))));
        put("Unidade", common::widen(common::left(str(it, "Unid_Pad"), 2), cp));
        const double price = it.floating("Preco_Unit");
        put("PrecoUnitario", w(check.digits({"Preco_Unit", 9},
                                            truncate((static_cast<long double>(price) + 0.00001L) * 1000.0L),
                                            shownValue(price))));
        const Money quantity = it.money("Quantidade");
        const std::string q = check.digits({"Quantidade", 5}, quantity.scaledTruncated(100), shownValue(quantity));
        put("Quantidade", w(common::chars(q, 1, 3) + "," + common::chars(q, 4, 5)));
        put("Descricao", common::widen(common::left(str(it, "Descr_Prod"), 45) + std::string(129, ' '), cp));
        put("DescontoAcrescimo", w("0"));
        put("PorcentagemDescAcres", w(discountPercent()));
    } else {
        command("DescricaoProdutoFormatoLivre");
        const std::string message = common::fmtInt("%6.6d", code()) + " " +
                                    common::left(str(it, "Descr_Prod"), 33) + " " + str(it, "Unid_Pad") + "\n\r" +
                                    common::fmtFloat("%7.2f", it.floating("Quantidade")) +
                                    common::fmtFloat("%13.3f", it.floating("Preco_Unit")) + "   ";
        put("Mensagem", common::widen(message, cp));
        put("SituacaoTribitaria", common::widen(taxCode.text));
        put("PorcentagemDesconto", w(discountPercent()));
        put("TotalItem", w(check.digits({"Total do item (BT_ICMS + BI_ICMS + BO_ICMS)", 9}, itemTotal.centsTruncated(),
                                        shownValue(itemTotal))));
    }
    if (send)
        lib().Execute();
}

std::string SigtronDriver::checkCoupon(const SaleRecord& sale)
{
    FieldCheck check;
    return checkCouponValues(
        sale, check,
        [&](const SaleItem& item, common::OperatorPort& quiet) { classifyTax(taxSpelling, item, ctx_.taxTable, quiet); },
        [&](const SaleItem& item, Money itemTotal) {
            check.numItem(item.item.integer("Num_Item"));
            this->sale(item, TaxCode{}, itemTotal, check, false);
        },
        [&] {
            // The delivery receipt's amount, when the receipt may be asked for.
            if (laterCommands() && ctx_.config.fatModNf != 40)
                linkedAmount(sale.header, check);
        });
}

std::string SigtronDriver::linkedAmount(const RecordValues& cabec, FieldCheck& check)
{
    const Money total = cabec.money("Vlr_Nota");
    return check.digits({"Vlr_Nota", 12}, total.centsTruncated(), shownValue(total));
}

void SigtronDriver::closeCoupon(const SaleRecord& sale)
{
    const RecordValues& c = sale.header;
    const int cp = c.codePage;
    const std::string message = closingMessage(c);

    if (laterCommands()) {
        paymentLetter_ = str(c, "TipoPagAlf");
        if (paymentLetter_.empty())
            paymentLetter_ = "A";
        select("Fiscal", "TotalizacaoCupomFiscal");
        param("TipoDescAcres", w("0"));
        param("ValorDescAcres", w("000000000000"));
        lib().Execute();
        select("Fiscal", "DescricaoPagamento");
        param("FormaPagamento", common::widen(paymentLetter_, cp));
        param("ValorPagamento", w("000000000000"));
        param("LinhaAdicional", std::u16string());
        lib().Execute();
        select("Fiscal", "FechamentoCupomComMensagem");
        param("Mensagem", common::widen(message, cp));
        lib().Execute();
    } else {
        select("Fiscal", "FechamentoCupomComDescontoGlobalPercentual");
        param("PorcentagemDesconto", w("0000"));
        param("Mensagem", common::widen(message, cp));
        lib().Execute();
    }
}

void SigtronDriver::receipts(const SaleRecord& sale)
{
    const RecordValues& c = sale.header;
    const int cp = c.codePage;
    const int fpc = sale.branch.codePage;
    const std::int32_t model = ctx_.config.fatModNf;
    auto newline = w("\n");
    if (model != 40) {
        if (ctx_.op.confirm("Emitir comprovante de entrega ?") == common::Answer::Yes) {
            const std::string number = common::fmtInt("%6.6d", c.integer("Num_Nota"));
            if (laterCommands()) {
                if (paymentLetter_.empty()) {
                    paymentLetter_ = str(c, "TipoPagAlf");
                    if (paymentLetter_.empty())
                        paymentLetter_ = "A";
                }
                select("Fiscal", "AberturaCNFV");
                param("IdentificacaoCNFV", w("A"));
                param("TipoCNFV", common::widen(paymentLetter_, cp));
                param("COOorigem", w(common::fmtInt("%6.6d", ctx_.config.couponNumber)));
                FieldCheck sent;
                param("ValorVinculado", w(linkedAmount(c, sent)));
                lib().Execute();
                printLine(w("RECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NO\n"));
                printLine(w("CUPOM FISCAL Nro " + number + ".\n"));
                printLine(common::widen(str(sale.branch, "Fil_Cidade") + receiptCityTail + "\n", fpc));
                printLine(w(" \n"));
                printLine(w(std::string(signatureRule) + "\n"));
                printLine(common::widen(str(c, "Cliente") + "\n", cp));
                printLine(common::widen(str(c, "Observ") + "\n", cp));
                if (model == 8) {
                    printLine(w(" \n"));
                    printLine(w(" \n"));
                    printLine(w(std::string(asteriskRule) + "\n"));
                    printLine(w("********* CUPOM ADICIONAL ********* Nro " +
                                common::fmtInt("%6.6d", ctx_.config.couponNumber) + ".\n"));
                    printLine(w("VALOR R$ " + common::fmtMoney("%12.2n", c.money("Vlr_Nota")) + "\n"));
                    printLine(w(std::string(asteriskRule) + "\n"));
                }
                run("FechamentoComprovante");
            } else {
                run("AberturaCuposSemICMS");
                // The receipt text goes as one text; city and customer keep their tables' code pages.
                std::u16string text = w("\nRECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NO\nCUPOM FISCAL Nro " + number + ".\n");
                text += common::widen(str(sale.branch, "Fil_Cidade"), fpc);
                text += w(std::string(receiptCityTail) + "\n \n" + signatureRule + "\n");
                text += common::widen(str(c, "Cliente"), cp);
                text += newline;
                lib().SendText(text);
                run("FechamentoCupomSemICMS");
            }
        }
        if (model != 8 && ctx_.op.confirm("Emitir cupom adicional ?") == common::Answer::Yes) {
            for (int i = 0; i < 7; ++i)
                lib().SendText(newline);
            if (laterCommands()) {
                run("EmissaoCupomAdicional");
            } else {
                const std::string text = "\nCUPOM FISCAL ADICIONAL Nro " +
                                         common::fmtInt("%6.6d", c.integer("Num_Nota")) + ".\nVALOR :" +
                                         common::fmtMoney("%12.2n", c.money("Vlr_Nota")) + "\n";
                run("AberturaCuposSemICMS");
                lib().SendText(w(text));
                run("FechamentoCupomSemICMS");
            }
        }
    }
    for (int i = 0; i < 8; ++i)
        lib().SendText(newline);
}

void SigtronDriver::xReading()
{
    run("LeituraX");
}

void SigtronDriver::zReduction()
{
    const common::DateTime now = ctx_.clock.now();
    select("Fiscal", "ReducaoZ");
    param("Dia", w(common::fmtInt("%2.2d", now.day)));
    param("Mes", w(common::fmtInt("%2.2d", now.month)));
    param("Ano", w(common::fmtInt("%2.2d", now.year % 100)));
    param("Hora", w(common::fmtInt("%2.2d", now.hour)));
    param("Minuto", w(common::fmtInt("%2.2d", now.minute)));
    param("Segundo", w(common::fmtInt("%2.2d", now.second)));
    lib().Execute();
}

void SigtronDriver::cancelCoupon(CancelKind)
{
    run(laterCommands() ? "CancelaDocumento" : "CancelamentoUltimoCupom");
}

void SigtronDriver::programPaymentForms(const std::vector<std::string>&) {}

void SigtronDriver::listPaymentForms(std::vector<std::string>&) {}

void SigtronDriver::fiscalMemory(const std::string&, const std::string&) {}

} // namespace ecf::printer::sigtron

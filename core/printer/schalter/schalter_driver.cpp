#include "printer/schalter/schalter_driver.h"

#include "common/convert.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/rounding.h"
#include "common/text.h"
#include "data/table.h"
#include "printer/schalter/schalter_lib.h"
#include "printer/tax_codes.h"

#include <cmath>
#include <string>

namespace ecf::printer::schalter {

namespace {

using common::Money;

constexpr const char* receiptCityTail = " , ____ DE _________________ DE ______";
constexpr const char* signatureRule = "_______________________________________________";

// A table text as it goes to the printer: control bytes become blanks.
std::string str(data::Table& t, const char* field) { return common::blankControls(t.fieldByName(field).asString()); }

std::string dec(std::int64_t v) { return std::to_string(v); }

// Whole number of a floating value as the runtime's Round (ties to even) and Trunc do it.
std::int64_t checkedWhole(long double v)
{
    if (!std::isfinite(v) || v >= 9.2e18L || v <= -9.2e18L)
        throw common::ConversionError("Invalid floating point operation");
    return static_cast<std::int64_t>(v);
}
std::int64_t roundEven(long double v) { return checkedWhole(std::nearbyintl(v)); }
std::int64_t truncate(long double v) { return checkedWhole(std::truncl(v)); }

// Rate from a group of four digits: N / 100 percent.
Money rateOf(const std::string& group) { return Money::fromDouble(common::strToInt(group) / 100.0); }

// The codes are tax indexes: substituted, exempt and not taxed are fixed registers past the
// rates; a rate is the index of the first register that holds it.
TaxSpelling schalterSpelling(int substituted, int exempt, int registers)
{
    TaxSpelling s;
    s.substituted = TaxCode{"", substituted};
    s.exempt = s.nonTaxed = TaxCode{"", exempt};
    s.icmsBeforeSubstitution = true;
    s.nonTaxedAt99 = false;
    s.firstMatch = true;
    s.registers = registers;
    s.byIndex = true;
    s.notFound = "Taxa não cadastrada";
    return s;
}
const TaxSpelling taxSpelling2 = schalterSpelling(12, 13, 10);
const TaxSpelling taxSpelling30 = schalterSpelling(16, 17, 16);

} // namespace

SchalterLib& SchalterDriver::lib()
{
    if (!ctx_.makers.schalter)
        throw common::Error("The Schalter library is not available");
    return *ctx_.makers.schalter;
}

bool SchalterDriver::laterCommands() const { return ctx_.model().laterCommands; }

void SchalterDriver::openPort(int) {}

bool SchalterDriver::start(int)
{
    const std::string& port = ctx_.config.portaEcf;
    if (!laterCommands()) {
        int r = 0;
        if (port == "1") {
            r = lib().ChangePort(0);
            if (r != 0) {
                ctx_.op.message("Erro informado: " + dec(r));
                return false;
            }
        } else if (port == "2") {
            r = lib().ChangePort(1);
            if (r != 1) {
                ctx_.op.message("Erro informado: " + dec(r));
                return false;
            }
        } else {
            // Only the ports 1 and 2 give the X-reading text that the tax rates come from.
            ctx_.op.message("Porta da ECF SCHALTER2 deve ser 1 ou 2 (informada: \"" + common::toUtf8(port) + "\")");
            return false;
        }
        return loadFromXReading();
    }
    ctx_.config.roundingMode = std::string(common::abnt5891);
    if (port == "1") {
        const int r = lib().ChangePort(0);
        if (r != 0) {
            ctx_.op.message("Erro informado: " + dec(r));
            return false;
        }
    } else if (port == "2") {
        const int r = lib().ChangePort(1);
        if (r != 1)
            ctx_.op.message("Erro informado: " + dec(r));
    }
    return loadFromRegisters();
}

bool SchalterDriver::loadFromXReading()
{
    const std::string text = lib().ecfLeituraXSerial();
    if (ctx_.config.portaEcf == "2" && common::findPos(text, "Erro") > 0) {
        ctx_.op.message("ECF erro: " + common::toUtf8(common::left(text, 7)));
        return false;
    }
    for (std::size_t k = 0; k < 10; ++k) {
        const std::string group =
            common::chars(text, 173 + 41 * k, 174 + 41 * k) + common::chars(text, 176 + 41 * k, 177 + 41 * k);
        if (group != "    ")
            ctx_.taxTable.entry(static_cast<int>(k) + 1).rate = rateOf(group);
    }
    return true;
}

bool SchalterDriver::loadFromRegisters()
{
    for (int i = 0; i < 16; ++i) {
        const std::string text = lib().ecfStatusAliquotas(i);
        if (common::findPos(text, "Erro") > 0) {
            ctx_.op.message("ECF erro: " + common::toUtf8(common::left(text, 7)));
            return false;
        }
        if (common::chars(text, 2, 2) == "T") {
            const std::string group = common::chars(text, 3, 4) + common::chars(text, 6, 7);
            if (group != "    ")
                ctx_.taxTable.entry(i + 1).rate = rateOf(group);
        }
    }
    return true;
}

void SchalterDriver::close() {}

TaxCode SchalterDriver::resolveTaxCode(CouponRecords& rec)
{
    return classifyTax(laterCommands() ? taxSpelling30 : taxSpelling2, rec, ctx_.taxTable, ctx_.op);
}

bool SchalterDriver::registerItem(CouponRecords& rec, const TaxCode& taxCode, Money itemTotal)
{
    data::Table& it = rec.itens;
    const bool m30 = laterCommands();
    std::string description, total, code, qtyInt, qtyFrac, price;
    if (!m30) {
        std::string d = common::left(str(it, "Descr_Prod"), 30);
        d.resize(30, ' ');
        description = d + common::fmtFloat("%6.2f", it.fieldByName("Quantidade").asFloat()) + " x " +
                      common::fmtFloat("%6.2f", it.fieldByName("Preco_Unit").asFloat());
        total = dec(itemTotal.centsRoundedEven());
    } else {
        code = common::fmtInt("%13.13d", it.fieldByName("Cod_Reduz").asInteger());
        const long double q = it.fieldByName("Quantidade").asFloat();
        const long double whole = std::truncl(q);
        qtyInt = common::fmtInt("%3.3d", truncate(whole));
        qtyFrac = common::fmtInt("%3.3d", truncate((q - whole + 0.0001L) * 1000.0L));
        description = common::fmtStr("%-63s", str(it, "Descr_Prod"));
        price = common::fmtInt("%9.9d", it.fieldByName("Preco_Unit").asMoney().scaledTruncated(100));
    }

    if (it.fieldByName("Num_Item").asInteger() == 1) {
        const int r = lib().ecfImpCab(0);
        if (r != 0) {
            ctx_.op.message("Ocorreu o erro número " + dec(r));
            return false;
        }
    }
    const int r = m30 ? lib().ecfVenda_Item(code, description, qtyInt, qtyFrac, price, taxCode.index)
                      : lib().ecfVendaItem(description, total, taxCode.index);
    if (r != 0) {
        ctx_.op.message(dec(r));
        return false;
    }

    // The discount: an amount ("V") or a percentage of the item total ("P"); any other kind
    // sends no discount at all.
    const std::string kind = str(rec.filial, "TipoDescIt");
    const double discount = it.fieldByName("Vlr_Descit").asFloat();
    std::string discountText;
    if (kind == "V") {
        discountText = dec(roundEven(static_cast<long double>(discount) * 100.0L));
    } else if (kind == "P") {
        const long double share = static_cast<long double>(discount) / 100.0L * itemTotal.toLongDouble();
        if (!m30) {
            discountText = dec(roundEven(share * 100.0L));
        } else {
            const double rounded = common::decimalRound(2, static_cast<double>(share), ctx_.config.roundingMode);
            discountText = dec(truncate(static_cast<long double>(rounded) * 100.0L));
        }
    }
    if (discount != 0 && !discountText.empty()) {
        const int d = lib().ecfDescItem(0, "Desconto", discountText);
        if (d != 0) {
            ctx_.op.message(dec(d));
            return false;
        }
    }
    return true;
}

void SchalterDriver::closeCoupon(CouponRecords& rec)
{
    data::Table& c = rec.cabec;
    if (!laterCommands())
        lib().ecfPagCancPag(0, "VALOR PAGO", dec(c.fieldByName("Vlr_Nota").asMoney().centsRoundedEven()), 1, 0);
    lib().ecfImpLinha("Destinatario:");
    lib().ecfImpLinha(dec(c.fieldByName("Cod_Clifor").asInteger()) + "  " + str(c, "Cliente"));
    lib().ecfImpLinha("CNPJ/CPF:" + str(c, "CNPJ") + " IE:" + str(c, "InscrEst"));
    lib().ecfImpLinha(str(c, "Endereco") + "  " + str(c, "Numero") + "  " + str(c, "CEP"));
    lib().ecfImpLinha(str(c, "Telefone") + "  " + str(c, "Cidade") + "  " + str(c, "Estado"));
    lib().ecfImpLinha(str(c, "LinhaVenc"));
    lib().ecfFimTrans("");
}

void SchalterDriver::receipts(CouponRecords& rec)
{
    if (ctx_.config.fatModNf != 72 && ctx_.op.confirm("Emitir comprovante de entrega ?") == common::Answer::Yes) {
        lib().ecfImpCab(0);
        lib().ecfInicCupomNFiscal(1);
        lib().ecfImpLinha("COMPROVANTE DE ENTREGA");
        lib().ecfImpLinha("RECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NOCUPOM FISCAL Nro " +
                          common::fmtInt("%6.6d", rec.cabec.fieldByName("Num_Nota").asInteger()));
        lib().ecfImpLinha(str(rec.filial, "Fil_Cidade") + receiptCityTail);
        lib().ecfImpLinha(" ");
        lib().ecfImpLinha(signatureRule);
        lib().ecfImpLinha(str(rec.cabec, "Cliente"));
        lib().ecfFimTrans("");
    }
    lib().ecfLineFeed(1, ctx_.model().paperFeedLines);
}

bool SchalterDriver::selectPortForUtility(const char* com2Prefix)
{
    const std::string& port = ctx_.config.portaEcf;
    if (port == "1") {
        const int r = lib().ChangePort(0);
        if (r != 0) {
            ctx_.op.message("COM1 erro: " + dec(r));
            return false;
        }
    }
    if (port == "2") {
        const int r = lib().ChangePort(1);
        if (r != 1) {
            ctx_.op.message(com2Prefix + dec(r));
            return false;
        }
    }
    return true;
}

void SchalterDriver::xReading()
{
    if (!selectPortForUtility("COM2 erro: "))
        return;
    const int r = lib().ecfLeituraX("");
    if (r != 0)
        ctx_.op.message("ECF erro: " + dec(r));
}

void SchalterDriver::zReduction()
{
    if (!selectPortForUtility("COM2 erro : "))
        return;
    const int r = lib().ecfReducaoZ("");
    if (r != 0)
        ctx_.op.message("ECF erro: " + dec(r));
}

void SchalterDriver::cancelCoupon(CancelKind kind)
{
    if (!selectPortForUtility("COM2 erro : "))
        return;
    const int r = kind == CancelKind::LastCoupon ? lib().ecfCancDoc("") : lib().ecfCancVenda("");
    if (r != 0)
        ctx_.op.message("Retorno: " + dec(r));
}

void SchalterDriver::programPaymentForms(data::Table&) {}

void SchalterDriver::listPaymentForms(std::vector<std::string>&) {}

void SchalterDriver::fiscalMemory(const std::string&, const std::string&) {}

} // namespace ecf::printer::schalter

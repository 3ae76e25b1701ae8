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

// "VALOR PAGO": the coupon total in cents, rounded.
std::string paidAmount(data::Table& c, FieldCheck& check)
{
    const Money total = c.fieldByName("Vlr_Nota").asMoney();
    return check.decimal({"Vlr_Nota"}, total.centsRoundedEven(), shownValue(total));
}

} // namespace


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

SchalterDriver::ItemArgs SchalterDriver::itemArgs(CouponRecords& rec, Money itemTotal, FieldCheck& check)
{
    data::Table& it = rec.itens;
    ItemArgs a;
    if (!laterCommands()) {
        std::string d = common::left(str(it, "Descr_Prod"), 30);
        d.resize(30, ' ');
        a.description = d + common::fmtFloat("%6.2f", it.fieldByName("Quantidade").asFloat()) + " x " +
                        common::fmtFloat("%6.2f", it.fieldByName("Preco_Unit").asFloat());
        a.total = check.decimal({"Total do item (BT_ICMS + BI_ICMS + BO_ICMS)"}, itemTotal.centsRoundedEven(),
                                shownValue(itemTotal));
    } else {
        const std::int64_t code = it.fieldByName("Cod_Reduz").asInteger();
        check.product(code);
        a.code = check.digits({"Cod_Reduz", 13}, code, dec(code));
        const long double q = it.fieldByName("Quantidade").asFloat();
        const long double whole = std::truncl(q);
        const NumberField quantity{"Quantidade", 3};
        a.qtyInt = check.digits(quantity, truncate(whole), shownValue(static_cast<double>(q)));
        a.qtyFrac = check.digits(quantity, truncate((q - whole + 0.0001L) * 1000.0L), shownValue(static_cast<double>(q)));
        a.description = common::fmtStr("%-63s", str(it, "Descr_Prod"));
        const Money price = it.fieldByName("Preco_Unit").asMoney();
        a.price = check.digits({"Preco_Unit", 9}, price.scaledTruncated(100), shownValue(price));
    }
    return a;
}

std::string SchalterDriver::discountText(CouponRecords& rec, Money itemTotal, FieldCheck& check)
{
    // An amount ("V") or a percentage of the item total ("P"); any other kind sends no
    // discount at all, nor does a discount of 0.
    const std::string kind = str(rec.filial, "TipoDescIt");
    const double discount = rec.itens.fieldByName("Vlr_Descit").asFloat();
    std::string text;
    if (kind == "V") {
        text = check.decimal({"Vlr_Descit"}, roundEven(static_cast<long double>(discount) * 100.0L), shownValue(discount));
    } else if (kind == "P") {
        const NumberField field{"Desconto (Vlr_Descit % do total do item)"};
        const long double share = static_cast<long double>(discount) / 100.0L * itemTotal.toLongDouble();
        if (!laterCommands()) {
            text = check.decimal(field, roundEven(share * 100.0L), shownValue(static_cast<double>(share)));
        } else {
            const double rounded = common::decimalRound(2, static_cast<double>(share), ctx_.config.roundingMode);
            text = check.decimal(field, truncate(static_cast<long double>(rounded) * 100.0L), shownValue(rounded));
        }
    }
    return discount != 0 ? text : std::string();
}

bool SchalterDriver::registerItem(CouponRecords& rec, const TaxCode& taxCode, Money itemTotal)
{
    FieldCheck sent;
    const ItemArgs a = itemArgs(rec, itemTotal, sent);
    if (rec.itens.fieldByName("Num_Item").asInteger() == 1) {
        const int r = lib().ecfImpCab(0);
        if (r != 0) {
            ctx_.op.message("Ocorreu o erro número " + dec(r));
            return false;
        }
    }
    const int r = laterCommands() ? lib().ecfVenda_Item(a.code, a.description, a.qtyInt, a.qtyFrac, a.price, taxCode.index)
                                  : lib().ecfVendaItem(a.description, a.total, taxCode.index);
    if (r != 0) {
        ctx_.op.message(dec(r));
        return false;
    }
    const std::string discount = discountText(rec, itemTotal, sent);
    if (!discount.empty()) {
        const int d = lib().ecfDescItem(0, "Desconto", discount);
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
    if (!laterCommands()) {
        FieldCheck sent;
        lib().ecfPagCancPag(0, "VALOR PAGO", paidAmount(c, sent), 1, 0);
    }
    lib().ecfImpLinha("Destinatario:");
    lib().ecfImpLinha(dec(c.fieldByName("Cod_Clifor").asInteger()) + "  " + str(c, "Cliente"));
    lib().ecfImpLinha("CNPJ/CPF:" + str(c, "CNPJ") + " IE:" + str(c, "InscrEst"));
    lib().ecfImpLinha(str(c, "Endereco") + "  " + str(c, "Numero") + "  " + str(c, "CEP"));
    lib().ecfImpLinha(str(c, "Telefone") + "  " + str(c, "Cidade") + "  " + str(c, "Estado"));
    lib().ecfImpLinha(str(c, "LinhaVenc"));
    lib().ecfFimTrans("");
}

std::string SchalterDriver::checkCoupon(CouponRecords& rec)
{
    FieldCheck check;
    return checkCouponValues(
        rec, check,
        [&](CouponRecords& r, common::OperatorPort& quiet) {
            classifyTax(laterCommands() ? taxSpelling30 : taxSpelling2, r, ctx_.taxTable, quiet);
        },
        [&](Money itemTotal) {
            itemArgs(rec, itemTotal, check);
            check.numItem(rec.itens.fieldByName("Num_Item").asInteger());
            discountText(rec, itemTotal, check);
        },
        [&] {
            data::Table& c = rec.cabec;
            if (!laterCommands())
                paidAmount(c, check);
            c.fieldByName("Cod_Clifor").asInteger();
            for (const char* name : {"Cliente", "CNPJ", "InscrEst", "Endereco", "Numero", "CEP", "Telefone", "Cidade",
                                     "Estado", "LinhaVenc"})
                str(c, name);
        });
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

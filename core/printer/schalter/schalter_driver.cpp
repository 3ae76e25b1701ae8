#include "printer/schalter/schalter_driver.h"

#include "common/convert.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/rounding.h"
#include "common/text.h"
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
std::string str(const RecordValues& r, const char* field) { return common::blankControls(r.text(field)); }

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
std::string paidAmount(const RecordValues& c, FieldCheck& check)
{
    const Money total = c.money("Vlr_Nota");
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

SaleFields SchalterDriver::saleFields() const
{
    using enum SaleTable;
    SaleFields f;
    f.taxCode = taxFields(laterCommands() ? taxSpelling30 : taxSpelling2);
    if (!laterCommands())
        f.item = {{Item, "Descr_Prod", ReadAs::Text}, {Item, "Quantidade", ReadAs::Float}, {Item, "Preco_Unit", ReadAs::Float}};
    else
        f.item = {{Item, "Cod_Reduz", ReadAs::Integer}, {Item, "Quantidade", ReadAs::Float},
                  {Item, "Descr_Prod", ReadAs::Text}, {Item, "Preco_Unit", ReadAs::Money}};
    f.item.insert(f.item.end(), {{Item, "Num_Item", ReadAs::Integer},
                                 {Branch, "TipoDescIt", ReadAs::Text},
                                 {Item, "Vlr_Descit", ReadAs::Float}});
    if (!laterCommands())
        f.closing.push_back({Header, "Vlr_Nota", ReadAs::Money});
    f.closing.push_back({Header, "Cod_Clifor", ReadAs::Integer});
    for (const char* name : {"Cliente", "CNPJ", "InscrEst", "Endereco", "Numero", "CEP", "Telefone", "Cidade", "Estado",
                             "LinhaVenc"})
        f.closing.push_back({Header, name, ReadAs::Text});
    if (ctx_.config.fatModNf != 72) // the delivery receipt's
        f.closing.insert(f.closing.end(), {{Header, "Num_Nota", ReadAs::Integer}, {Branch, "Fil_Cidade", ReadAs::Text}});
    return f;
}

TaxCode SchalterDriver::resolveTaxCode(const SaleItem& item)
{
    return classifyTax(laterCommands() ? taxSpelling30 : taxSpelling2, item, ctx_.taxTable, ctx_.op);
}

SchalterDriver::ItemArgs SchalterDriver::itemArgs(const SaleItem& item, Money itemTotal, FieldCheck& check)
{
    const RecordValues& it = item.item;
    ItemArgs a;
    if (!laterCommands()) {
        std::string d = common::left(str(it, "Descr_Prod"), 30);
        d.resize(30, ' ');
        a.description = d + common::fmtFloat("%6.2f", it.floating("Quantidade")) + " x " +
                        common::fmtFloat("%6.2f", it.floating("Preco_Unit"));
        a.total = check.decimal({"Total do item (BT_ICMS + BI_ICMS + BO_ICMS)"}, itemTotal.centsRoundedEven(),
                                shownValue(itemTotal));
    } else {
        const std::int64_t code = it.integer("Cod_Reduz");
        check.product(code);
        a.code = check.digits({"Cod_Reduz", 13}, code, dec(code));
        const long double q = it.floating("Quantidade");
        const long double whole = std::truncl(q);
        const NumberField quantity{"Quantidade", 3};
        a.qtyInt = check.digits(quantity, truncate(whole), shownValue(static_cast<double>(q)));
        a.qtyFrac = check.digits(quantity, truncate((q - whole + 0.0001L) * 1000.0L), shownValue(static_cast<double>(q)));
        a.description = common::fmtStr("%-63s", str(it, "Descr_Prod"));
        const Money price = it.money("Preco_Unit");
        a.price = check.digits({"Preco_Unit", 9}, price.scaledTruncated(100), shownValue(price));
    }
    return a;
}

std::string SchalterDriver::discountText(const SaleItem& item, Money itemTotal, FieldCheck& check)
{
    // An amount ("V") or a percentage of the item total ("P"); any other kind sends no
    // discount at all, nor does a discount of 0.
    const std::string kind = str(item.branch, "TipoDescIt");
    const double discount = item.item.floating("Vlr_Descit");
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

bool SchalterDriver::registerItem(const SaleItem& item, const TaxCode& taxCode, Money itemTotal)
{
    FieldCheck sent;
    const ItemArgs a = itemArgs(item, itemTotal, sent);
    if (item.item.integer("Num_Item") == 1) {
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
    const std::string discount = discountText(item, itemTotal, sent);
    if (!discount.empty()) {
        const int d = lib().ecfDescItem(0, "Desconto", discount);
        if (d != 0) {
            ctx_.op.message(dec(d));
            return false;
        }
    }
    return true;
}

void SchalterDriver::closeCoupon(const SaleRecord& sale)
{
    const RecordValues& c = sale.header;
    if (!laterCommands()) {
        FieldCheck sent;
        lib().ecfPagCancPag(0, "VALOR PAGO", paidAmount(c, sent), 1, 0);
    }
    lib().ecfImpLinha("Destinatario:");
    lib().ecfImpLinha(dec(c.integer("Cod_Clifor")) + "  " + str(c, "Cliente"));
    lib().ecfImpLinha("CNPJ/CPF:" + str(c, "CNPJ") + " IE:" + str(c, "InscrEst"));
    lib().ecfImpLinha(str(c, "Endereco") + "  " + str(c, "Numero") + "  " + str(c, "CEP"));
    lib().ecfImpLinha(str(c, "Telefone") + "  " + str(c, "Cidade") + "  " + str(c, "Estado"));
    lib().ecfImpLinha(str(c, "LinhaVenc"));
    lib().ecfFimTrans("");
}

std::string SchalterDriver::checkCoupon(const SaleRecord& sale)
{
    FieldCheck check;
    return checkCouponValues(
        sale, check,
        [&](const SaleItem& item, common::OperatorPort& quiet) {
            classifyTax(laterCommands() ? taxSpelling30 : taxSpelling2, item, ctx_.taxTable, quiet);
        },
        [&](const SaleItem& item, Money itemTotal) {
            itemArgs(item, itemTotal, check);
            check.numItem(item.item.integer("Num_Item"));
            discountText(item, itemTotal, check);
        },
        [&] {
            if (!laterCommands())
                paidAmount(sale.header, check);
        });
}

void SchalterDriver::receipts(const SaleRecord& sale)
{
    if (ctx_.config.fatModNf != 72 && ctx_.op.confirm("Emitir comprovante de entrega ?") == common::Answer::Yes) {
        lib().ecfImpCab(0);
        lib().ecfInicCupomNFiscal(1);
        lib().ecfImpLinha("COMPROVANTE DE ENTREGA");
        lib().ecfImpLinha("RECEBEMOS A(S) MERCADORIA(S) CONSTANTE(S) NOCUPOM FISCAL Nro " +
                          common::fmtInt("%6.6d", sale.header.integer("Num_Nota")));
        lib().ecfImpLinha(str(sale.branch, "Fil_Cidade") + receiptCityTail);
        lib().ecfImpLinha(" ");
        lib().ecfImpLinha(signatureRule);
        lib().ecfImpLinha(str(sale.header, "Cliente"));
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

void SchalterDriver::programPaymentForms(const std::vector<std::string>&) {}

void SchalterDriver::listPaymentForms(std::vector<std::string>&) {}

void SchalterDriver::fiscalMemory(const std::string&, const std::string&) {}

} // namespace ecf::printer::schalter

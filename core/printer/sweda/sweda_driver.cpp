#include "printer/sweda/sweda_driver.h"

#include "common/convert.h"
#include "common/format.h"
#include "common/rounding.h"
#include "common/text.h"
#include "printer/sweda/sweda_channel.h"
#include "printer/tax_codes.h"

#include <cmath>
#include <stdexcept>

namespace ecf::printer::sweda {

using common::chars;
using common::fmtInt;
using common::fmtStr;

namespace {

constexpr const char* blankCode = "   ";
constexpr const char* esc = "\033";

std::string dec(long long v)
{
    return std::to_string(v);
}

// A rate group of digits (blanks removed) as a rate in percent: 1800 gives 18.0000.
common::Money rateOf(const std::string& group)
{
    const int n = common::strToInt(common::removeChar(group, ' '));
    return common::Money::fromDouble(static_cast<double>(n) / 100.0);
}


// Cents of an amount rounded to two decimals, cut toward zero in extended precision as the
// printers have always received it: 1.15 (stored as 1.1499999999999999) gives 114.
std::int64_t centsOfRounded(double value)
{
    return static_cast<std::int64_t>(std::trunc(static_cast<long double>(value) * 100.0L));
}

// "T" and the register number.
const TaxSpelling taxSpelling{.substituted = {"F  "}, .exempt = {"I  "}, .nonTaxed = {"N  "}, .blank = {"   "},
                               .spell = [](int n, const TaxEntry&) { return "T" + TaxSpelling::registerNumber(n, {}); },
                               .notFound = "Percentual de Tributacao nao Encontrado"};

} // namespace

std::string SwedaDriver::commandText(std::string_view bytes)
{
    std::string out(bytes);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '}')
            c = ' ';
    }
    return out;
}

SwedaChannel& SwedaDriver::channel()
{
    if (!channel_)
        channel_ = std::make_unique<SwedaChannel>(lib_);
    return *channel_;
}

// --- start-up and exit

void SwedaDriver::openPort(int)
{
    if (channel().open(ctx_.config.portaEcf) != 0)
        ctx_.op.message("Erro ao abrir porta da ECF SWEDA.");
}

bool SwedaDriver::start(int)
{
    auto& ch = channel();
    auto& table = ctx_.taxTable;

    int r = ch.request(std::string(esc) + ".293}");
    if (r != 0)
        ctx_.op.message("Erro de comunicação: " + dec(r));
    std::string reply = ch.reply();
    const std::string status = chars(reply, 1, 8);
    if (status == ".-P0002}") {
        ctx_.op.message("Erro de timeout - comunicação");
        return false;
    }
    if (status == ".-P0006}") {
        ctx_.op.message("Impressora não responde - status");
        return false;
    }
    if (chars(reply, 49, 51) == blankCode) {
        ctx_.op.message("Tabela de aliquotas de icms da SWEDA vazia");
        return false;
    }
    for (std::size_t k = 0; k < 4; ++k)
        if (chars(reply, 49 + 7 * k, 51 + 7 * k) != blankCode)
            table.entry(static_cast<int>(k) + 1).rate = rateOf(chars(reply, 52 + 7 * k, 55 + 7 * k));

    // Registers 5 to 12, then 13 to 16: a one-character head, then 7-character groups.
    auto readGroups = [&](const char* command, int firstEntry, std::size_t count) {
        const int rr = ch.request(command);
        if (rr != 0)
            ctx_.op.message("Erro: " + dec(rr));
        const std::string text = ch.reply();
        for (std::size_t k = 0; k < count; ++k)
            if (chars(text, 2 + 7 * k, 4 + 7 * k) != blankCode)
                table.entry(firstEntry + static_cast<int>(k)).rate = rateOf(chars(text, 5 + 7 * k, 8 + 7 * k));
    };
    readGroups("\033.294}", 5, 8);
    readGroups("\033.295}", 13, 4);
    return true;
}

void SwedaDriver::close() {}

// --- coupon issue

SaleFields SwedaDriver::saleFields() const
{
    using enum SaleTable;
    SaleFields f;
    f.taxCode = taxFields(taxSpelling);
    f.item = {{Item, "Num_Item", ReadAs::Integer},  {Item, "Cod_Reduz", ReadAs::Integer},
              {Item, "Quantidade", ReadAs::Money},  {Item, "Preco_Unit", ReadAs::Money},
              {Item, "Descr_Prod", ReadAs::Text},   {Item, "Unid_Pad", ReadAs::Text},
              {Branch, "TipoDescIt", ReadAs::Text}, {Item, "Vlr_Descit", ReadAs::Float},
              {Item, "Vlr_Descit", ReadAs::Money}};
    if (ctx_.config.fatModNf != 150)
        f.closing = {{Header, "TipoPagNum", ReadAs::Integer}, {Header, "Vlr_Nota", ReadAs::Money}};
    else
        f.closing = {{Header, "VlrTicket", ReadAs::Money}, {Header, "VlrDinheiro", ReadAs::Money},
                     {Header, "TipoPagNum", ReadAs::Integer}};
    f.closing.insert(f.closing.end(), {{Header, "VlrValeAberto", ReadAs::Money}, {Header, "NumValeTroco", ReadAs::Integer}});
    return f;
}

TaxCode SwedaDriver::resolveTaxCode(const SaleItem& item)
{
    return classifyTax(taxSpelling, item, ctx_.taxTable, ctx_.op);
}

std::string SwedaDriver::saleCommand(const RecordValues& item, const TaxCode& taxCode, common::Money itemTotal,
                                     FieldCheck& check)
{
    std::string sale = "\033.01";
    const std::int64_t code = item.integer("Cod_Reduz");
    check.product(code);
    sale += check.digits({"Cod_Reduz", 13}, code, dec(code));
    const common::Money q = item.money("Quantidade");
    sale += check.digits({"Quantidade", 7}, q.scaledTruncated(1000), shownValue(q));
    const common::Money price = item.money("Preco_Unit");
    sale += "0" + check.digits({"Preco_Unit", 8}, price.centsTruncated(), shownValue(price));
    sale += "0000" + check.digits({"Total do item (BT_ICMS + BI_ICMS + BO_ICMS)", 8}, itemTotal.centsTruncated(),
                                  shownValue(itemTotal));
    sale += fmtStr("%-20.20s", commandText(item.text("Descr_Prod"))) + " ";
    sale += fmtStr("%-3.3s", commandText(item.text("Unid_Pad")));
    sale += taxCode.text;
    sale += "}";
    return sale;
}

std::string SwedaDriver::discountValue(const SaleItem& item, common::Money itemTotal, FieldCheck& check)
{
    // Twelve zeros when there is no discount (also for a discount kind other than "V" and "P").
    const std::string kind = item.branch.text("TipoDescIt");
    if (kind == "P") {
        const double r = common::decimalRound(
            2, item.item.floating("Vlr_Descit") / 100.0 * itemTotal.toDouble(), ctx_.config.roundingMode);
        return check.digits({"Desconto (Vlr_Descit % do total do item)", 12}, centsOfRounded(r), shownValue(r));
    }
    if (kind == "V") {
        const common::Money d = item.item.money("Vlr_Descit");
        return check.digits({"Vlr_Descit", 12}, d.centsTruncated(), shownValue(d));
    }
    return "000000000000";
}

bool SwedaDriver::registerItem(const SaleItem& item, const TaxCode& taxCode, common::Money itemTotal)
{
    auto& ch = channel();
    if (item.item.integer("Num_Item") == 1) {
        if (ch.send("\033.17}") != 0) {
            ctx_.op.message("Erro na abertura do cupom fiscal ");
            return false;
        }
    }
    FieldCheck sent;
    if (ch.send(saleCommand(item.item, taxCode, itemTotal, sent)) != 0) {
        ctx_.op.message("Erro ao tentar Imprimir o item.");
        return false;
    }
    // The discount command goes for every item.
    if (ch.send("\033.02          " + discountValue(item, itemTotal, sent) + "}") != 0) {
        ctx_.op.message("Erro ao tentar Imprimir o item.");
        return false;
    }
    return true;
}

std::string SwedaDriver::payment(const RecordValues& cabec, FieldCheck& check)
{
    auto paymentCode = [&] {
        const std::int64_t n = cabec.integer("TipoPagNum");
        return n == 0 ? std::string("01") : check.digits({"Código do pagamento (TipoPagNum + 1)", 2}, n + 1, dec(n + 1));
    };
    auto amount = [&](const char* name, common::Money v) {
        return check.digits({name, 12}, v.centsTruncated(), shownValue(v));
    };
    std::string payment;
    if (ctx_.config.fatModNf != 150) {
        const std::string code = paymentCode();
        payment = code + amount("Vlr_Nota", cabec.money("Vlr_Nota"));
    } else {
        const common::Money ticket = cabec.money("VlrTicket");
        if (!ticket.isZero())
            payment += "03" + amount("VlrTicket", ticket);
        const common::Money cash = cabec.money("VlrDinheiro");
        if (!cash.isZero()) {
            const std::string code = paymentCode();
            payment += code + amount("VlrDinheiro", cash);
        }
    }
    return payment;
}

std::string SwedaDriver::closingMessage(const RecordValues& cabec, FieldCheck& check)
{
    // Three lines of 41 characters for an open voucher.
    const common::Money vale = cabec.money("VlrValeAberto");
    if (vale.isZero())
        return "2" + std::string(20, ' ');
    std::string message = "0" + std::string(40, '-');
    const std::int64_t number = cabec.integer("NumValeTroco");
    message += "0VALE TICKET NUMERO " + check.digits({"NumValeTroco", 6}, number, dec(number)) + std::string(15, ' ');
    message += "0VALOR " + check.formatted({"VlrValeAberto", 12}, common::fmtMoney("%12.2n", vale), shownValue(vale)) +
               std::string(22, ' ');
    return message;
}

void SwedaDriver::closeCoupon(const SaleRecord& sale)
{
    auto& ch = channel();
    FieldCheck sent;
    ch.send("\033.10" + payment(sale.header, sent) + "}");
    ch.send("\033.12NN" + closingMessage(sale.header, sent) + "}");
}

std::string SwedaDriver::checkCoupon(const SaleRecord& sale)
{
    FieldCheck check;
    return checkCouponValues(
        sale, check,
        [&](const SaleItem& item, common::OperatorPort& quiet) { classifyTax(taxSpelling, item, ctx_.taxTable, quiet); },
        [&](const SaleItem& item, common::Money itemTotal) {
            check.numItem(item.item.integer("Num_Item"));
            saleCommand(item.item, TaxCode{}, itemTotal, check);
            discountValue(item, itemTotal, check);
        },
        [&] {
            payment(sale.header, check);
            closingMessage(sale.header, check);
        });
}

void SwedaDriver::receipts(const SaleRecord&) {}

// --- utilities

void SwedaDriver::xReading()
{
    channel().request("\033.13N}");
}

void SwedaDriver::zReduction()
{
    channel().request("\033.14N}");
}

void SwedaDriver::cancelCoupon(CancelKind)
{
    channel().request("\033.05}");
}

void SwedaDriver::programPaymentForms(const std::vector<std::string>& descriptions)
{
    std::string list;
    for (const std::string& d : descriptions)
        list += fmtStr("%-15.15s", commandText(d));
    if (!list.empty())
        channel().send("\033.39" + list + "}");
}

void SwedaDriver::listPaymentForms(std::vector<std::string>& items)
{
    auto& ch = channel();
    // A reply shorter than the position tested counts as not blank.
    auto notBlankAt = [](const std::string& text, std::size_t pos) {
        return text.size() < pos || text[pos - 1] != ' ';
    };
    auto query = [&](const char* command) {
        const int r = ch.request(command);
        if (r != 0)
            ctx_.op.message("Erro: " + dec(r));
        return ch.reply();
    };

    std::string reply = query("\033.295}");
    items.clear();
    if (notBlankAt(reply, 36))
        for (std::size_t p : {36u, 51u, 66u})
            items.push_back(chars(reply, p, p + 14));

    reply = query("\033.296}");
    if (notBlankAt(reply, 8))
        for (std::size_t i = 0; i < 7; ++i)
            items.push_back(chars(reply, 8 + 15 * i, 22 + 15 * i));
}

void SwedaDriver::fiscalMemory(const std::string&, const std::string&) {}

} // namespace ecf::printer::sweda

#include "printer/sweda/sweda_driver.h"

#include "common/convert.h"
#include "common/format.h"
#include "common/rounding.h"
#include "common/text.h"
#include "data/table.h"
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
    if (!channel_) {
        if (!ctx_.makers.sweda)
            throw std::logic_error("Sweda driver without the Sweda library");
        channel_ = std::make_unique<SwedaChannel>(*ctx_.makers.sweda);
    }
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

TaxCode SwedaDriver::resolveTaxCode(CouponRecords& rec)
{
    return classifyTax(taxSpelling, rec, ctx_.taxTable, ctx_.op);
}

bool SwedaDriver::registerItem(CouponRecords& rec, const TaxCode& taxCode, common::Money itemTotal)
{
    auto& ch = channel();
    if (rec.itens.fieldByName("Num_Item").asInteger() == 1) {
        if (ch.send("\033.17}") != 0) {
            ctx_.op.message("Erro na abertura do cupom fiscal ");
            return false;
        }
    }
    std::string sale = "\033.01";
    sale += fmtInt("%13.13d", rec.itens.fieldByName("Cod_Reduz").asInteger());
    sale += fmtInt("%7.7d", rec.itens.fieldByName("Quantidade").asMoney().scaledTruncated(1000));
    sale += "0" + fmtInt("%8.8d", rec.itens.fieldByName("Preco_Unit").asMoney().centsTruncated());
    sale += "0000" + fmtInt("%8.8d", itemTotal.centsTruncated());
    sale += fmtStr("%-20.20s", commandText(rec.itens.fieldByName("Descr_Prod").asString())) + " ";
    sale += fmtStr("%-3.3s", commandText(rec.itens.fieldByName("Unid_Pad").asString()));
    sale += taxCode.text;
    sale += "}";
    if (ch.send(sale) != 0) {
        ctx_.op.message("Erro ao tentar Imprimir o item.");
        return false;
    }

    // The discount command goes for every item; twelve zeros when there is no discount (also
    // for a discount kind other than "V" and "P").
    std::string discount = "000000000000";
    const std::string kind = rec.filial.fieldByName("TipoDescIt").asString();
    if (kind == "P") {
        const double r = common::decimalRound(
            2, rec.itens.fieldByName("Vlr_Descit").asFloat() / 100.0 * itemTotal.toDouble(), ctx_.config.roundingMode);
        discount = fmtInt("%12.12d", centsOfRounded(r));
    } else if (kind == "V") {
        discount = fmtInt("%12.12d", rec.itens.fieldByName("Vlr_Descit").asMoney().centsTruncated());
    }
    if (ch.send("\033.02          " + discount + "}") != 0) {
        ctx_.op.message("Erro ao tentar Imprimir o item.");
        return false;
    }
    return true;
}

void SwedaDriver::closeCoupon(CouponRecords& rec)
{
    auto& ch = channel();
    auto& cabec = rec.cabec;
    auto paymentCode = [&] {
        const int n = cabec.fieldByName("TipoPagNum").asInteger();
        return n == 0 ? std::string("01") : fmtInt("%2.2d", static_cast<std::int64_t>(n) + 1);
    };
    std::string payment;
    if (ctx_.config.fatModNf != 150) {
        const std::string code = paymentCode();
        payment = code + fmtInt("%12.12d", cabec.fieldByName("Vlr_Nota").asMoney().centsTruncated());
    } else {
        const common::Money ticket = cabec.fieldByName("VlrTicket").asMoney();
        if (!ticket.isZero())
            payment += "03" + fmtInt("%12.12d", ticket.centsTruncated());
        const common::Money cash = cabec.fieldByName("VlrDinheiro").asMoney();
        if (!cash.isZero()) {
            const std::string code = paymentCode();
            payment += code + fmtInt("%12.12d", cash.centsTruncated());
        }
    }
    ch.send("\033.10" + payment + "}");

    std::string message;
    const common::Money vale = cabec.fieldByName("VlrValeAberto").asMoney();
    if (vale.isZero()) {
        message = "2" + std::string(20, ' ');
    } else {
        message = "0" + std::string(40, '-');
        message += "0VALE TICKET NUMERO " + fmtInt("%6.6d", cabec.fieldByName("NumValeTroco").asInteger()) +
                   std::string(15, ' ');
        message += "0VALOR " + common::fmtMoney("%12.2n", vale) + std::string(22, ' ');
    }
    ch.send("\033.12NN" + message + "}");
}

void SwedaDriver::receipts(CouponRecords&) {}

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

void SwedaDriver::programPaymentForms(data::Table& formaPtg)
{
    std::string list;
    for (formaPtg.first(); !formaPtg.eof(); formaPtg.next())
        list += fmtStr("%-15.15s", commandText(formaPtg.fieldByName("Descricao").asString()));
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

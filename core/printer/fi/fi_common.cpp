#include "printer/fi/fi_common.h"

#include "common/format.h"
#include "common/text.h"
#include "data/table.h"

#include <cstring>
#include <stdexcept>

namespace ecf::printer::fi {

using common::fmtFloat;
using common::fmtInt;
using common::fmtStr;
using common::trim;

namespace {
// Int(value * 1000) / 1000 of a money value, as "%N.3f" (cut, not rounded, to 3 decimals).
std::string thousandths(std::string_view pattern, common::Money value)
{
    return fmtFloat(pattern, static_cast<double>(value.scaledTruncated(1000)) / 1000.0);
}
} // namespace

ItemSale buildItemSale(CouponRecords& rec, const TaxCode& taxCode, FieldCheck& check)
{
    ItemSale s;
    const std::int64_t code = rec.itens.fieldByName("Cod_Reduz").asInteger();
    check.product(code);
    s.code = trim(check.formatted({"Cod_Reduz"}, fmtInt("%6.6d", code), std::to_string(code)));
    s.description = trim(common::left(common::blankControls(rec.itens.fieldByName("Descr_Prod").asString()), 29));
    s.taxCode = trim(taxCode.text);
    s.qtyType = "F";
    const common::Money q = rec.itens.fieldByName("Quantidade").asMoney();
    s.quantity = trim(check.formatted({"Quantidade"}, thousandths("%7.3f", q), shownValue(q)));
    s.decimals = 3;
    const common::Money price = rec.itens.fieldByName("Preco_Unit").asMoney();
    s.unitPrice = trim(check.formatted({"Preco_Unit"}, thousandths("%8.3f", price), shownValue(price)));
    s.discountType = "%";
    s.discountValue = "0,00";
    if (rec.filial.fieldByName("TipoDescIt").asString() == "V") {
        s.discountType = "$";
        const double d = rec.itens.fieldByName("Vlr_Descit").asFloat();
        s.discountValue = trim(check.formatted({"Vlr_Descit"}, fmtFloat("%7.2f", d), shownValue(d)));
    }
    return s;
}

std::string paymentAmount(data::Table& cabec, FieldCheck& check)
{
    const common::Money total = cabec.fieldByName("Vlr_Nota").asMoney();
    return check.formatted({"Vlr_Nota", 14}, common::fmtMoney("%14.2f", total), shownValue(total));
}

std::string checkCoupon(CouponRecords& rec, const std::function<void(common::OperatorPort&)>& taxCode)
{
    FieldCheck check;
    return checkCouponValues(
        rec, check, [&](CouponRecords&, common::OperatorPort& quiet) { taxCode(quiet); },
        [&](common::Money) {
            const std::int64_t numItem = rec.itens.fieldByName("Num_Item").asInteger();
            check.numItem(numItem);
            if (numItem == 1)
                rec.cabec.fieldByName("CGC").asString();
            buildItemSale(rec, TaxCode{}, check);
        },
        [&] {
            paymentFormName(rec.cabec);
            paymentAmount(rec.cabec, check);
            for (const char* name : {"Cliente", "Endereco", "CNPJ"})
                rec.cabec.fieldByName(name).asString();
            rec.cabec.fieldByName("Num_Nota").asString();
            rec.cabec.fieldByName("LinhaVenc").asString();
        });
}

Customer normalizeCustomer(data::Table& cabec)
{
    auto normalize = [&](const char* name, const char* whenEmpty) {
        auto field = cabec.fieldByName(name);
        std::string v = trim(field.asString());
        field.setString(v);
        if (v.empty())
            field.setString(whenEmpty);
    };
    normalize("Cliente", "CONSUMIDOR");
    normalize("Endereco", ".");
    normalize("CNPJ", "0000000000");
    Customer c;
    c.cliente = common::blankControls(cabec.fieldByName("Cliente").asString());
    c.endereco = common::blankControls(cabec.fieldByName("Endereco").asString());
    c.cnpj = common::blankControls(cabec.fieldByName("CNPJ").asString());
    return c;
}

std::string paymentFormName(data::Table& cabec)
{
    if (cabec.fieldByName("TipoPagNum").asInteger() != -1)
        return common::blankControls(cabec.fieldByName("FormaPag").asString());
    return "Dinheiro";
}

std::string paymentFormList(data::Table& formaPtg)
{
    std::string list;
    for (formaPtg.first(); !formaPtg.eof(); formaPtg.next())
        list += fmtStr("%-16.16s", common::blankControls(formaPtg.fieldByName("Descricao").asString())) + ";";
    return list;
}

std::vector<std::string> parsePaymentForms(std::string text)
{
    std::vector<std::string> items;
    for (int i = 0; i < 16; ++i) {
        if (text.size() < 16 || text.compare(0, 14, "Pagamento Tipo") == 0)
            break;
        items.push_back(text.substr(0, 16));
        text.erase(0, std::min<std::size_t>(17, text.size()));
    }
    return items;
}

void listPaymentForms(FamilyContext& ctx, std::vector<std::string>& items)
{
    if (!ctx.describePaymentForms)
        throw std::logic_error("payment-form listing without the Daruma library");
    std::string buffer(275, ' ');
    const int r = ctx.describePaymentForms(buffer);
    common::OperatorPort& op = ctx.op;
    if (r != 1) {
        op.message("Erro: " + dec(r));
        return;
    }
    items = parsePaymentForms(replyText(buffer));
}

} // namespace ecf::printer::fi

#include "printer/fi/fi_common.h"

#include "common/format.h"
#include "common/text.h"

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

SaleFields saleFields(std::vector<FieldRead> taxCode)
{
    using enum SaleTable;
    return {std::move(taxCode),
            {{Item, "Num_Item", ReadAs::Integer},
             {Header, "CGC", ReadAs::Text},
             {Item, "Cod_Reduz", ReadAs::Integer},
             {Item, "Descr_Prod", ReadAs::Text},
             {Item, "Quantidade", ReadAs::Money},
             {Item, "Preco_Unit", ReadAs::Money},
             {Branch, "TipoDescIt", ReadAs::Text},
             {Item, "Vlr_Descit", ReadAs::Float}},
            {{Header, "TipoPagNum", ReadAs::Integer},
             {Header, "FormaPag", ReadAs::Text},
             {Header, "Vlr_Nota", ReadAs::Money},
             {Header, "Cliente", ReadAs::CustomerText, "CONSUMIDOR"},
             {Header, "Endereco", ReadAs::CustomerText, "."},
             {Header, "CNPJ", ReadAs::CustomerText, "0000000000"},
             {Header, "Num_Nota", ReadAs::Text},
             {Header, "LinhaVenc", ReadAs::Text}}};
}

ItemSale buildItemSale(const SaleItem& item, const TaxCode& taxCode, FieldCheck& check)
{
    const RecordValues& it = item.item;
    ItemSale s;
    const std::int64_t code = it.integer("Cod_Reduz");
    check.product(code);
    s.code = trim(check.formatted({"Cod_Reduz"}, fmtInt("%6.6d", code), std::to_string(code)));
    s.description = trim(common::left(common::blankControls(it.text("Descr_Prod")), 29));
    s.taxCode = trim(taxCode.text);
    s.qtyType = "F";
    const common::Money q = it.money("Quantidade");
    s.quantity = trim(check.formatted({"Quantidade"}, thousandths("%7.3f", q), shownValue(q)));
    s.decimals = 3;
    const common::Money price = it.money("Preco_Unit");
    s.unitPrice = trim(check.formatted({"Preco_Unit"}, thousandths("%8.3f", price), shownValue(price)));
    s.discountType = "%";
    s.discountValue = "0,00";
    if (item.branch.text("TipoDescIt") == "V") {
        s.discountType = "$";
        const double d = it.floating("Vlr_Descit");
        s.discountValue = trim(check.formatted({"Vlr_Descit"}, fmtFloat("%7.2f", d), shownValue(d)));
    }
    return s;
}

std::string paymentAmount(const RecordValues& header, FieldCheck& check)
{
    const common::Money total = header.money("Vlr_Nota");
    return check.formatted({"Vlr_Nota", 14}, common::fmtMoney("%14.2f", total), shownValue(total));
}

std::string checkCoupon(const SaleRecord& sale,
                        const std::function<void(const SaleItem&, common::OperatorPort&)>& taxCode)
{
    FieldCheck check;
    return checkCouponValues(
        sale, check, taxCode,
        [&](const SaleItem& item, common::Money) {
            check.numItem(item.item.integer("Num_Item"));
            buildItemSale(item, TaxCode{}, check);
        },
        [&] { paymentAmount(sale.header, check); });
}

Customer customer(const RecordValues& header)
{
    return {common::blankControls(header.customerText("Cliente")), common::blankControls(header.customerText("Endereco")),
            common::blankControls(header.customerText("CNPJ"))};
}

std::string paymentFormName(const RecordValues& header)
{
    if (header.integer("TipoPagNum") != -1)
        return common::blankControls(header.text("FormaPag"));
    return "Dinheiro";
}

std::string paymentFormList(const std::vector<std::string>& descriptions)
{
    std::string list;
    for (const std::string& d : descriptions)
        list += fmtStr("%-16.16s", common::blankControls(d)) + ";";
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

#include "printer/fi/fi_common.h"

#include "common/format.h"
#include "common/text.h"
#include "data/table.h"
#include "printer/daruma/daruma_lib.h"

#include <cstring>

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

ItemSale buildItemSale(CouponRecords& rec, const TaxCode& taxCode)
{
    ItemSale s;
    s.code = trim(fmtInt("%6.6d", rec.itens.fieldByName("Cod_Reduz").asInteger()));
    s.description = trim(common::left(common::blankControls(rec.itens.fieldByName("Descr_Prod").asString()), 29));
    s.taxCode = trim(taxCode.text);
    s.qtyType = "F";
    s.quantity = trim(thousandths("%7.3f", rec.itens.fieldByName("Quantidade").asMoney()));
    s.decimals = 3;
    s.unitPrice = trim(thousandths("%8.3f", rec.itens.fieldByName("Preco_Unit").asMoney()));
    s.discountType = "%";
    s.discountValue = "0,00";
    if (rec.filial.fieldByName("TipoDescIt").asString() == "V") {
        s.discountType = "$";
        s.discountValue = trim(fmtFloat("%7.2f", rec.itens.fieldByName("Vlr_Descit").asFloat()));
    }
    return s;
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

void listPaymentForms(daruma::DarumaLib& lib, common::OperatorPort& op, std::vector<std::string>& items)
{
    std::string buffer(275, ' ');
    const int r = lib.Daruma_FI_VerificaDescricaoFormasPagamento(buffer);
    if (r != 1) {
        op.message("Erro: " + dec(r));
        return;
    }
    items = parsePaymentForms(replyText(buffer));
}

} // namespace ecf::printer::fi

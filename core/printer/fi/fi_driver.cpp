#include "printer/fi/fi_driver.h"

#include "common/text.h"

namespace ecf::printer::fi {

SaleFields FiDriver::saleFields() const { return fi::saleFields(taxFields(spelling_)); }

TaxCode FiDriver::resolveTaxCode(const SaleItem& item)
{
    return classifyTax(spelling_, item, ctx_.taxTable, ctx_.op);
}

bool FiDriver::registerItem(const SaleItem& item, const TaxCode& taxCode, common::Money)
{
    if (item.item.integer("Num_Item") == 1)
        calls_.AbreCupom(common::blankControls(item.header.text("CGC")));
    FieldCheck sent;
    const ItemSale s = buildItemSale(item, taxCode, sent);
    const int r = calls_.VendeItem(s.code, s.description, s.taxCode, s.qtyType, s.quantity, s.decimals, s.unitPrice,
                                   s.discountType, s.discountValue);
    if (r != 1) {
        ctx_.op.message(saleError_ + dec(r));
        return false;
    }
    return true;
}

void FiDriver::closeCoupon(const SaleRecord& sale)
{
    const RecordValues& cabec = sale.header;
    calls_.IniciaFechamentoCupom("D", "%", "0000");
    const std::string form = paymentFormName(cabec);
    FieldCheck sent;
    calls_.EfetuaFormaPagamento(form, paymentAmount(cabec, sent));
    finishClosing(cabec, customer(cabec));
}

std::string FiDriver::checkCoupon(const SaleRecord& sale)
{
    return fi::checkCoupon(sale, [&](const SaleItem& item, common::OperatorPort& quiet) {
        classifyTax(spelling_, item, ctx_.taxTable, quiet);
    });
}

void FiDriver::xReading()
{
    if (calls_.LeituraX() != 1)
        ctx_.op.message("Erro na emissão da leitura x");
}

void FiDriver::zReduction()
{
    if (calls_.ReducaoZ(" ", " ") != 1)
        ctx_.op.message("Erro na emissão da reducao z");
}

void FiDriver::cancelCoupon(CancelKind)
{
    if (calls_.CancelaCupom() != 1)
        ctx_.op.message("Erro no fechamento do cupom");
}

void FiDriver::listPaymentForms(std::vector<std::string>& items)
{
    fi::listPaymentForms(ctx_, items);
}

} // namespace ecf::printer::fi

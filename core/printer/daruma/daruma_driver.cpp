#include "printer/daruma/daruma_driver.h"

#include "common/convert.h"
#include "common/format.h"
#include "common/text.h"
#include "printer/daruma/daruma_lib.h"
#include "printer/fi/fi_common.h"
#include "printer/tax_codes.h"

#include <cmath>
#include <stdexcept>

namespace ecf::printer::daruma {

using fi::dec;

namespace {

// The register's rate as the printer wrote it ("1700"), found by the item rate in hundredths
// of a percent, spelt "17,00".
const TaxSpelling taxSpelling{
    .substituted = {"FF"}, .exempt = {"II"}, .nonTaxed = {"NN"}, .blank = {"  "},
    .unit = TaxSpelling::RateUnit::Hundredths, .match = TaxSpelling::Match::RateText, .rateTextDigits = 4,
    .spell = [](int, const TaxEntry& e) { return e.rateText.substr(0, 2) + "," + e.rateText.substr(2); },
    .notFound = "Percentual de Tributacao nao Encontrado"};

} // namespace


// --- start-up and exit

void DarumaDriver::openPort(int) {}

bool DarumaDriver::start(int)
{
    int r = lib().Daruma_FI_VerificaImpressoraLigada();
    if (r != 1) {
        ctx_.op.message("DARUMA FS345 / FS600 desligada " + dec(r));
        return false;
    }
    std::string buffer(300, ' ');
    r = lib().Daruma_FI_LerAliquotasComIndice(buffer);
    if (r != 1) {
        ctx_.op.message("Impressora fiscal desligada " + dec(r));
        return false;
    }
    // 50 slots of 6 characters; each slot beginning with "T" fills the next entry (entry code
    // and rate text). The table has 16 entries: further slots have nowhere to go.
    const std::string text = fi::replyText(buffer);
    int count = 0;
    for (std::size_t s = 0; s < 50; ++s) {
        const std::string slot = common::chars(text, 1 + 6 * s, 6 + 6 * s);
        if (slot.empty() || slot[0] != 'T')
            continue;
        if (count < TaxTable::size) {
            auto& e = ctx_.taxTable.entry(count + 1);
            e.code = slot.substr(0, 2);
            e.rateText = common::chars(slot, 3, 6);
        }
        ++count;
    }
    if (count == 0) {
        ctx_.op.message("Tabela de aliquotas de icms da Daruma vazia");
        return false;
    }
    return true;
}

void DarumaDriver::close() {}

// --- coupon issue

SaleFields DarumaDriver::saleFields() const { return fi::saleFields(taxFields(taxSpelling)); }

TaxCode DarumaDriver::resolveTaxCode(const SaleItem& item)
{
    return classifyTax(taxSpelling, item, ctx_.taxTable, ctx_.op);
}

bool DarumaDriver::registerItem(const SaleItem& item, const TaxCode& taxCode, common::Money)
{
    if (item.item.integer("Num_Item") == 1)
        lib().Daruma_FI_AbreCupom(common::blankControls(item.header.text("CGC")));
    FieldCheck sent;
    const fi::ItemSale s = fi::buildItemSale(item, taxCode, sent);
    const int r = lib().Daruma_FI_VendeItem(s.code, s.description, s.taxCode, s.qtyType, s.quantity, s.decimals,
                                            s.unitPrice, s.discountType, s.discountValue);
    if (r != 1) {
        ctx_.op.message("Erro na venda do tem:" + dec(r));
        return false;
    }
    return true;
}

void DarumaDriver::closeCoupon(const SaleRecord& sale)
{
    const RecordValues& cabec = sale.header;
    lib().Daruma_FI_IniciaFechamentoCupom("D", "%", "0000");
    const std::string form = fi::paymentFormName(cabec);
    FieldCheck sent;
    lib().Daruma_FI_EfetuaFormaPagamento(form, fi::paymentAmount(cabec, sent));
    const fi::Customer c = fi::customer(cabec);
    lib().Daruma_FI_IdentificaConsumidor(c.cliente, c.endereco,
                                         c.cnpj + "   Num.Controle: " + common::blankControls(cabec.text("Num_Nota")));
    std::string linha = common::blankControls(cabec.text("LinhaVenc"));
    lib().Daruma_FI_TerminaFechamentoCupom(linha.empty() ? "." : linha);
}

void DarumaDriver::receipts(const SaleRecord&) {}

std::string DarumaDriver::checkCoupon(const SaleRecord& sale)
{
    return fi::checkCoupon(sale, [&](const SaleItem& item, common::OperatorPort& quiet) {
        classifyTax(taxSpelling, item, ctx_.taxTable, quiet);
    });
}

// --- utilities

void DarumaDriver::xReading()
{
    if (lib().Daruma_FI_LeituraX() != 1)
        ctx_.op.message("Erro na emissão da leitura x");
}

void DarumaDriver::zReduction()
{
    if (lib().Daruma_FI_ReducaoZ(" ", " ") != 1)
        ctx_.op.message("Erro na emissão da reducao z");
}

void DarumaDriver::cancelCoupon(CancelKind)
{
    if (lib().Daruma_FI_CancelaCupom() != 1)
        ctx_.op.message("Erro no fechamento do cupom");
}

void DarumaDriver::programPaymentForms(const std::vector<std::string>& descriptions)
{
    const std::string list = fi::paymentFormList(descriptions);
    if (!list.empty() && lib().Daruma_FI_ProgramaFormasPagamento(list) != 1)
        ctx_.op.message("Erro no cadastro das formas de pagamento");
}

void DarumaDriver::listPaymentForms(std::vector<std::string>& items)
{
    fi::listPaymentForms(ctx_, items);
}

void DarumaDriver::fiscalMemory(const std::string& first, const std::string& last)
{
    // The last date converts first; a date that does not convert sends nothing.
    const double lastDate = common::strToDate(last);
    const double firstDate = common::strToDate(first);
    const int r = lib().Daruma_FI_LeituraMemoriaFiscalData(firstDate, lastDate);
    if (r != 1)
        ctx_.op.message("Erro: " + dec(r));
}

} // namespace ecf::printer::daruma

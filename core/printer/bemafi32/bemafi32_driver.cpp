#include "printer/bemafi32/bemafi32_driver.h"

#include "common/convert.h"
#include "common/format.h"
#include "common/text.h"
#include "data/table.h"
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/daruma/daruma_driver.h"
#include "printer/daruma/fi_common.h"
#include "printer/port_pause.h"

#include <stdexcept>

namespace ecf::printer::bemafi32 {

using fi::dec;

namespace {
constexpr const char* blankCode = "  ";

} // namespace

BemaFI32Lib& BemaFI32Driver::lib()
{
    if (!ctx_.makers.bemafi32)
        throw std::logic_error("BemaFI32 driver without the BemaFI32 library");
    return *ctx_.makers.bemafi32;
}

void BemaFI32Driver::pause(int milliseconds) const
{
    portPause(milliseconds, "bemafi32", ctx_.pipeline);
}

bool BemaFI32Driver::replyCheck()
{
    int ack = 0, st1 = 0, st2 = 0;
    return lib().Bematech_FI_RetornoImpressora(ack, st1, st2) == 1;
}

// --- start-up and exit

void BemaFI32Driver::openPort(int velPortSer)
{
    pause(velPortSer);
    if (lib().Bematech_FI_AbrePortaSerial() == -4)
        ctx_.op.message("Falta arquivo BemaFI32.ini na pasta de Sistema do Windows");
}

bool BemaFI32Driver::start(int velPortSer)
{
    auto& table = ctx_.taxTable;

    std::string rates(79, ' ');
    pause(velPortSer);
    lib().Bematech_FI_RetornoAliquotas(rates);
    if (!replyCheck())
        ctx_.op.message("Erro na Leitura das aliquotas da BemaFI32");
    std::string text = common::trim(fi::replyText(rates));
    if (text.empty())
        ctx_.op.message("Tabela de aliquotas de icms da BemaFI32 vazia");
    for (int k = 0; k < TaxTable::size; ++k) {
        const std::string group = common::left(text, 4);
        if (!group.empty())
            table.entry(k + 1).rate = common::Money::fromDouble(common::strToInt(group) / 100.0);
        text.erase(0, std::min<std::size_t>(5, text.size()));
    }

    std::string iss(48, ' ');
    lib().Bematech_FI_VerificaIndiceAliquotasIss(iss);
    if (!replyCheck())
        ctx_.op.message("Erro na Leitura das aliquotas de issqn da BemaFI32");
    text = common::trim(fi::replyText(iss));
    for (int k = 0; k < TaxTable::size; ++k) {
        if (!common::left(text, 3).empty()) {
            // An index outside 1 to 16 names no entry and is ignored.
            const int n = common::strToInt(common::left(text, 2));
            if (n >= 1 && n <= TaxTable::size)
                table.entry(n).serviceFlag = common::Money::fromWhole(1);
        }
        text.erase(0, std::min<std::size_t>(3, text.size()));
    }
    return true;
}

void BemaFI32Driver::close()
{
    if (lib().Bematech_FI_FechaPortaSerial() != 1)
        ctx_.op.message("Erro ao Finalizar Porta da BEMAFI32");
}

// --- coupon issue

TaxCode BemaFI32Driver::resolveTaxCode(CouponRecords& rec)
{
    TaxCode tc;
    tc.text = blankCode;
    double itemRate = 0;
    const bool service = rec.itens.fieldByName("Nivel1").asString() == "90";
    if (!service) {
        if (rec.itens.fieldByName("Subst_Trib").asString() == "S") {
            tc.text = "FF";
        } else if (rec.cabec.fieldByName("Icms").asString() == "T") {
            const double base = rec.itens.fieldByName("BaseIcms").asFloat();
            if (base == 0)
                tc.text = "II";
            if (base > 0 && base < 100)
                itemRate = rec.itens.fieldByName("AliqCupom").asFloat();
            if (rec.itens.fieldByName("AliqCupom").asFloat() == 99)
                tc.text = "NN";
        } else {
            tc.text = "NN";
        }
    }
    if (tc.text == blankCode) {
        const common::Money one = common::Money::fromWhole(1);
        if (service) {
            itemRate = rec.filial.fieldByName("Perc_Issqn").asMoney().toDouble();
            for (int n = 1; n <= TaxTable::size; ++n) {
                const auto& e = ctx_.taxTable.entry(n);
                if (!e.serviceFlag.isZero() && sameRate(itemRate, e.rate))
                    tc.text = common::fmtInt("%2.2d", n);
            }
        } else {
            if (itemRate == 0)
                itemRate = rec.itens.fieldByName("AliqIcms").asMoney().toDouble();
            for (int n = 1; n <= TaxTable::size; ++n) {
                const auto& e = ctx_.taxTable.entry(n);
                if (e.serviceFlag != one && sameRate(itemRate, e.rate))
                    tc.text = common::fmtInt("%2.2d", n);
            }
        }
    }
    if (tc.text == blankCode)
        ctx_.op.message("Percentual de issqn nao encontrado");
    return tc;
}

bool BemaFI32Driver::registerItem(CouponRecords& rec, const TaxCode& taxCode, common::Money)
{
    if (rec.itens.fieldByName("Num_Item").asInteger() == 1)
        lib().Bematech_FI_AbreCupom(rec.cabec.fieldByName("CGC").asString());
    const fi::ItemSale s = fi::buildItemSale(rec, taxCode);
    const int r = lib().Bematech_FI_VendeItem(s.code, s.description, s.taxCode, s.qtyType, s.quantity, s.decimals,
                                              s.unitPrice, s.discountType, s.discountValue);
    if (r != 1) {
        ctx_.op.message("Erro na venda do item:" + dec(r));
        return false;
    }
    return true;
}

void BemaFI32Driver::closeCoupon(CouponRecords& rec)
{
    auto& cabec = rec.cabec;
    lib().Bematech_FI_IniciaFechamentoCupom("D", "%", "0000");
    const std::string form = fi::paymentFormName(cabec);
    lib().Bematech_FI_EfetuaFormaPagamento(form,
                                           common::fmtMoney("%14.2f", cabec.fieldByName("Vlr_Nota").asMoney()));
    const fi::Customer c = fi::normalizeCustomer(cabec);
    std::string message = "Num.Controle: " + cabec.fieldByName("Num_Nota").asString();
    message += "\n" + c.cliente + "\n" + c.endereco + "\n" + c.cnpj;
    message += "\n" + cabec.fieldByName("LinhaVenc").asString();
    lib().Bematech_FI_TerminaFechamentoCupom(message);
}

void BemaFI32Driver::receipts(CouponRecords&) {}

// --- utilities

void BemaFI32Driver::xReading()
{
    if (lib().Bematech_FI_LeituraX() != 1)
        ctx_.op.message("Erro na emissão da leitura x");
}

void BemaFI32Driver::zReduction()
{
    if (lib().Bematech_FI_ReducaoZ(" ", " ") != 1)
        ctx_.op.message("Erro na emissão da reducao z");
}

void BemaFI32Driver::cancelCoupon(CancelKind)
{
    if (lib().Bematech_FI_CancelaCupom() != 1)
        ctx_.op.message("Erro no fechamento do cupom");
}

void BemaFI32Driver::programPaymentForms(data::Table& formaPtg)
{
    const std::string list = fi::paymentFormList(formaPtg);
    if (!list.empty() && lib().Bematech_FI_VerificaFormasPagamento(list) != 1)
        ctx_.op.message("Erro no cadastro das formas de pagamento");
}

void BemaFI32Driver::listPaymentForms(std::vector<std::string>& items)
{
    // The listing asks the Daruma library (the emulators share one printer, so what was
    // programmed above shows up there).
    if (!ctx_.makers.daruma)
        throw std::logic_error("BemaFI32 listing without the Daruma library");
    daruma::listPaymentFormsDaruma(*ctx_.makers.daruma, ctx_.op, items);
}

void BemaFI32Driver::fiscalMemory(const std::string& first, const std::string& last)
{
    const int r = lib().Bematech_FI_LeituraMemoriaFiscalData(first, last);
    if (r != 1)
        ctx_.op.message("Erro: " + dec(r));
}

} // namespace ecf::printer::bemafi32

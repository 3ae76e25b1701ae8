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

DarumaDriver::DarumaDriver(FamilyContext& ctx, DarumaLib& lib)
    : DarumaCalls(lib), FiDriver(ctx, *this, taxSpelling, "Erro na venda do tem:")
{
}

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




void DarumaDriver::finishClosing(const RecordValues& cabec, const fi::Customer& c)
{
    lib().Daruma_FI_IdentificaConsumidor(c.cliente, c.endereco,
                                         c.cnpj + "   Num.Controle: " + common::blankControls(cabec.text("Num_Nota")));
    std::string linha = common::blankControls(cabec.text("LinhaVenc"));
    lib().Daruma_FI_TerminaFechamentoCupom(linha.empty() ? "." : linha);
}



// --- utilities




void DarumaDriver::programPaymentForms(const std::vector<std::string>& descriptions)
{
    const std::string list = fi::paymentFormList(descriptions);
    if (!list.empty() && lib().Daruma_FI_ProgramaFormasPagamento(list) != 1)
        ctx_.op.message("Erro no cadastro das formas de pagamento");
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

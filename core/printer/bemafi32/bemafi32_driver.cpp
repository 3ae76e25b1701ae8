#include "printer/bemafi32/bemafi32_driver.h"

#include "common/convert.h"
#include "common/format.h"
#include "common/text.h"
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/port_pause.h"
#include "printer/fi/fi_common.h"
#include "printer/tax_codes.h"

#include <stdexcept>

namespace ecf::printer::bemafi32 {

using fi::dec;

namespace {
// The register number; an item of Nivel1 "90" is looked up among the ISS registers, any
// other among the registers not flagged as ISS.
const TaxSpelling taxSpelling{.substituted = {"FF"}, .exempt = {"II"}, .nonTaxed = {"NN"}, .blank = {"  "},
                               .servicesByLevel = true, .icmsSkipsServiceRegisters = true,
                               .spell = TaxSpelling::registerNumber, .notFound = "Percentual de issqn nao encontrado"};

} // namespace

BemaFI32Driver::BemaFI32Driver(FamilyContext& ctx, BemaFI32Lib& lib)
    : BemaFI32Calls(lib), FiDriver(ctx, *this, taxSpelling, "Erro na venda do item:")
{
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




void BemaFI32Driver::finishClosing(const RecordValues& cabec, const fi::Customer& c)
{
    std::string message = "Num.Controle: " + common::blankControls(cabec.text("Num_Nota"));
    message += "\n" + c.cliente + "\n" + c.endereco + "\n" + c.cnpj;
    message += "\n" + common::blankControls(cabec.text("LinhaVenc"));
    lib().Bematech_FI_TerminaFechamentoCupom(message);
}



// --- utilities




void BemaFI32Driver::programPaymentForms(const std::vector<std::string>& descriptions)
{
    const std::string list = fi::paymentFormList(descriptions);
    if (!list.empty() && lib().Bematech_FI_VerificaFormasPagamento(list) != 1)
        ctx_.op.message("Erro no cadastro das formas de pagamento");
}


void BemaFI32Driver::fiscalMemory(const std::string& first, const std::string& last)
{
    const int r = lib().Bematech_FI_LeituraMemoriaFiscalData(first, last);
    if (r != 1)
        ctx_.op.message("Erro: " + dec(r));
}

} // namespace ecf::printer::bemafi32

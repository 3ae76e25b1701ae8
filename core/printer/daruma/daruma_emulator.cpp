#include "printer/daruma/daruma_emulator.h"

#include "common/convert.h"
#include "common/format.h"
#include "common/text.h"
#include "printer/fi/fi_common.h"
#include "printer/fi/fi_emulation.h"

namespace ecf::printer::daruma {

namespace {
constexpr int ok = 1;

std::string dateText(double days)
{
    int y = 0, m = 0, d = 0;
    common::decodeDate(days, y, m, d);
    return common::fmtInt("%2.2d", d) + "/" + common::fmtInt("%2.2d", m) + "/" + common::fmtInt("%4.4d", y);
}
} // namespace

int DarumaEmulator::Daruma_FI_VerificaImpressoraLigada()
{
    printer_.portOpen = true;
    return ok;
}

int DarumaEmulator::Daruma_FI_LerAliquotasComIndice(std::string& buffer)
{
    // One slot of 6 characters per register: "T" (ICMS) or "S" (ISS), the register's letter
    // and the rate in hundredths; an empty register is blank.
    std::string reply;
    for (std::size_t i = 0; i < printer_.taxRegisters.size(); ++i) {
        const auto& r = printer_.taxRegisters[i];
        if (r.rate.isZero()) {
            reply += "      ";
            continue;
        }
        reply += r.service ? 'S' : 'T';
        reply += static_cast<char>('A' + i);
        reply += common::fmtInt("%4.4d", r.rate.tenThousandths() / 100);
    }
    fi::writeReply(buffer, reply);
    return ok;
}

int DarumaEmulator::Daruma_FI_IdentificaConsumidor(const std::string& name, const std::string& address,
                                                   const std::string& document)
{
    printer_.print("Consumidor: " + common::toUtf8(name));
    printer_.print("Endereco: " + common::toUtf8(address));
    printer_.print("CPF/CNPJ: " + common::toUtf8(document));
    return ok;
}

int DarumaEmulator::Daruma_FI_ProgramaFormasPagamento(const std::string& list)
{
    fi::programForms(printer_, list);
    return ok;
}

int DarumaEmulator::Daruma_FI_VerificaDescricaoFormasPagamento(std::string& buffer)
{
    fi::writeReply(buffer, fi::formsDescription(printer_));
    return ok;
}

int DarumaEmulator::Daruma_FI_LeituraMemoriaFiscalData(double first, double last)
{
    printer_.nonFiscalReport("LEITURA MEMORIA FISCAL " + dateText(first) + " A " + dateText(last));
    return ok;
}

ECF_FI_SHARED_EMULATION(DarumaEmulator, Daruma_FI_)

} // namespace ecf::printer::daruma

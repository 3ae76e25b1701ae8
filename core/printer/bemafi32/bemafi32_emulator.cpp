#include "printer/bemafi32/bemafi32_emulator.h"

#include "common/format.h"
#include "common/text.h"
#include "printer/fi/fi_common.h"
#include "printer/fi/fi_emulation.h"

namespace ecf::printer::bemafi32 {

namespace {
constexpr int ok = 1;
} // namespace

int BemaFI32Emulator::Bematech_FI_AbrePortaSerial()
{
    printer_.portOpen = true;
    return ok;
}

int BemaFI32Emulator::Bematech_FI_FechaPortaSerial()
{
    printer_.portOpen = false;
    return ok;
}

int BemaFI32Emulator::Bematech_FI_RetornoImpressora(int& ack, int& st1, int& st2)
{
    ack = 6; // ACK: the last command was taken
    st1 = 0;
    st2 = 0;
    return ok;
}

int BemaFI32Emulator::Bematech_FI_RetornoAliquotas(std::string& buffer)
{
    // 16 rates in hundredths, 4 digits each, separated by commas (79 characters).
    std::string reply;
    for (std::size_t i = 0; i < printer_.taxRegisters.size(); ++i) {
        if (i > 0)
            reply += ',';
        reply += common::fmtInt("%4.4d", printer_.taxRegisters[i].rate.tenThousandths() / 100);
    }
    fi::writeReply(buffer, reply);
    return ok;
}

int BemaFI32Emulator::Bematech_FI_VerificaIndiceAliquotasIss(std::string& buffer)
{
    // The numbers of the ISS registers, two digits each, separated by commas.
    std::string reply;
    for (std::size_t i = 0; i < printer_.taxRegisters.size(); ++i) {
        if (!printer_.taxRegisters[i].service || printer_.taxRegisters[i].rate.isZero())
            continue;
        if (!reply.empty())
            reply += ',';
        reply += common::fmtInt("%2.2d", static_cast<std::int64_t>(i + 1));
    }
    fi::writeReply(buffer, reply);
    return ok;
}

int BemaFI32Emulator::Bematech_FI_VerificaFormasPagamento(const std::string& list)
{
    fi::programForms(printer_, list);
    return ok;
}

int BemaFI32Emulator::Bematech_FI_LeituraMemoriaFiscalData(const std::string& first, const std::string& last)
{
    printer_.nonFiscalReport("LEITURA MEMORIA FISCAL " + common::toUtf8(first) + " A " + common::toUtf8(last));
    return ok;
}

ECF_FI_SHARED_EMULATION(BemaFI32Emulator, Bematech_FI_)

} // namespace ecf::printer::bemafi32

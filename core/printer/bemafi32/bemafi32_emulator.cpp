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

int BemaFI32Emulator::Bematech_FI_AbreCupom(const std::string& cgc)
{
    printer_.openCoupon();
    if (!common::trim(cgc).empty())
        printer_.print("CPF/CNPJ consumidor: " + common::toUtf8(cgc));
    return ok;
}

int BemaFI32Emulator::Bematech_FI_VendeItem(const std::string& code, const std::string& description,
                                            const std::string& taxCode, const std::string&,
                                            const std::string& quantity, int, const std::string& unitPrice,
                                            const std::string& discountType, const std::string& discountValue)
{
    fi::printSale(printer_, code, description, taxCode, quantity, unitPrice, discountType, discountValue);
    return ok;
}

int BemaFI32Emulator::Bematech_FI_IniciaFechamentoCupom(const std::string&, const std::string&,
                                                        const std::string&)
{
    fi::printSubtotal(printer_);
    return ok;
}

int BemaFI32Emulator::Bematech_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value)
{
    fi::printPayment(printer_, form, value);
    return ok;
}

int BemaFI32Emulator::Bematech_FI_TerminaFechamentoCupom(const std::string& message)
{
    fi::printClosing(printer_, message);
    return ok;
}

int BemaFI32Emulator::Bematech_FI_LeituraX()
{
    printer_.nonFiscalReport("LEITURA X");
    return ok;
}

int BemaFI32Emulator::Bematech_FI_ReducaoZ(const std::string&, const std::string&)
{
    printer_.nonFiscalReport("REDUCAO Z");
    return ok;
}

int BemaFI32Emulator::Bematech_FI_CancelaCupom()
{
    printer_.cancelCoupon();
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

} // namespace ecf::printer::bemafi32

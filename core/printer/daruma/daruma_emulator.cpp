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

int DarumaEmulator::Daruma_FI_AbreCupom(const std::string& cgc)
{
    printer_.openCoupon();
    if (!common::trim(cgc).empty())
        printer_.print("CPF/CNPJ consumidor: " + common::toUtf8(cgc));
    return ok;
}

int DarumaEmulator::Daruma_FI_VendeItem(const std::string& code, const std::string& description,
                                        const std::string& taxCode, const std::string&, const std::string& quantity,
                                        int, const std::string& unitPrice, const std::string& discountType,
                                        const std::string& discountValue)
{
    fi::printSale(printer_, code, description, taxCode, quantity, unitPrice, discountType, discountValue);
    return ok;
}

int DarumaEmulator::Daruma_FI_IniciaFechamentoCupom(const std::string&, const std::string&, const std::string&)
{
    fi::printSubtotal(printer_);
    return ok;
}

int DarumaEmulator::Daruma_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value)
{
    fi::printPayment(printer_, form, value);
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

int DarumaEmulator::Daruma_FI_TerminaFechamentoCupom(const std::string& message)
{
    fi::printClosing(printer_, message);
    return ok;
}

int DarumaEmulator::Daruma_FI_LeituraX()
{
    printer_.nonFiscalReport("LEITURA X");
    return ok;
}

int DarumaEmulator::Daruma_FI_ReducaoZ(const std::string&, const std::string&)
{
    printer_.nonFiscalReport("REDUCAO Z");
    return ok;
}

int DarumaEmulator::Daruma_FI_CancelaCupom()
{
    printer_.cancelCoupon();
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

} // namespace ecf::printer::daruma

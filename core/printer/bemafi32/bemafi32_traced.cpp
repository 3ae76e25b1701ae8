#include "printer/bemafi32/bemafi32_traced.h"

namespace ecf::printer::bemafi32 {

namespace {
constexpr int success = 1;
const char* const family = "bemafi32";
} // namespace

template <class Inner>
int BemaFI32Traced::call(const char* fn, std::vector<CallArg> args, Inner&& inner)
{
    return pipe_.callInteger(family, fn, std::move(args), success, std::forward<Inner>(inner));
}

template <class Inner>
int BemaFI32Traced::callBuffer(const char* fn, std::string& buffer, Inner&& inner)
{
    // The buffer as passed is the argument; what it holds after the call is the out.
    return pipe_.callBuffer(family, fn, {CallPipeline::replyText(buffer.data(), buffer.size())}, success,
                            buffer.data(), buffer.size(), std::forward<Inner>(inner));
}

int BemaFI32Traced::Bematech_FI_AbrePortaSerial()
{
    return call("Bematech_FI_AbrePortaSerial", {}, [&] { return inner_.Bematech_FI_AbrePortaSerial(); });
}

int BemaFI32Traced::Bematech_FI_FechaPortaSerial()
{
    return call("Bematech_FI_FechaPortaSerial", {}, [&] { return inner_.Bematech_FI_FechaPortaSerial(); });
}

int BemaFI32Traced::Bematech_FI_RetornoImpressora(int& ack, int& st1, int& st2)
{
    // The three by-reference integers are not arguments in the trace; they are its "out".
    return pipe_.call(
        CallRecord{family, "Bematech_FI_RetornoImpressora", {}, {}, {}},
        [](const CannedEntry& e) { return e.resultCode(success); },
        [&] { return inner_.Bematech_FI_RetornoImpressora(ack, st1, st2); },
        [&](CallRecord& rec, int r) {
            rec.ret = std::int64_t{r};
            rec.out = std::vector<std::int64_t>{ack, st1, st2};
        });
}

int BemaFI32Traced::Bematech_FI_RetornoAliquotas(std::string& buffer)
{
    return callBuffer("Bematech_FI_RetornoAliquotas", buffer,
                      [&] { return inner_.Bematech_FI_RetornoAliquotas(buffer); });
}

int BemaFI32Traced::Bematech_FI_VerificaIndiceAliquotasIss(std::string& buffer)
{
    return callBuffer("Bematech_FI_VerificaIndiceAliquotasIss", buffer,
                      [&] { return inner_.Bematech_FI_VerificaIndiceAliquotasIss(buffer); });
}

int BemaFI32Traced::Bematech_FI_AbreCupom(const std::string& cgc)
{
    return call("Bematech_FI_AbreCupom", {cgc}, [&] { return inner_.Bematech_FI_AbreCupom(cgc); });
}

int BemaFI32Traced::Bematech_FI_VendeItem(const std::string& code, const std::string& description,
                                          const std::string& taxCode, const std::string& qtyType,
                                          const std::string& quantity, int decimals, const std::string& unitPrice,
                                          const std::string& discountType, const std::string& discountValue)
{
    return call("Bematech_FI_VendeItem",
                {code, description, taxCode, qtyType, quantity, std::int64_t{decimals}, unitPrice, discountType,
                 discountValue},
                [&] {
                    return inner_.Bematech_FI_VendeItem(code, description, taxCode, qtyType, quantity, decimals,
                                                        unitPrice, discountType, discountValue);
                });
}

int BemaFI32Traced::Bematech_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b,
                                                      const std::string& c)
{
    return call("Bematech_FI_IniciaFechamentoCupom", {a, b, c},
                [&] { return inner_.Bematech_FI_IniciaFechamentoCupom(a, b, c); });
}

int BemaFI32Traced::Bematech_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value)
{
    return call("Bematech_FI_EfetuaFormaPagamento", {form, value},
                [&] { return inner_.Bematech_FI_EfetuaFormaPagamento(form, value); });
}

int BemaFI32Traced::Bematech_FI_TerminaFechamentoCupom(const std::string& message)
{
    return call("Bematech_FI_TerminaFechamentoCupom", {message},
                [&] { return inner_.Bematech_FI_TerminaFechamentoCupom(message); });
}

int BemaFI32Traced::Bematech_FI_LeituraX()
{
    return call("Bematech_FI_LeituraX", {}, [&] { return inner_.Bematech_FI_LeituraX(); });
}

int BemaFI32Traced::Bematech_FI_ReducaoZ(const std::string& date, const std::string& time)
{
    return call("Bematech_FI_ReducaoZ", {date, time}, [&] { return inner_.Bematech_FI_ReducaoZ(date, time); });
}

int BemaFI32Traced::Bematech_FI_CancelaCupom()
{
    return call("Bematech_FI_CancelaCupom", {}, [&] { return inner_.Bematech_FI_CancelaCupom(); });
}

int BemaFI32Traced::Bematech_FI_VerificaFormasPagamento(const std::string& list)
{
    return call("Bematech_FI_VerificaFormasPagamento", {list},
                [&] { return inner_.Bematech_FI_VerificaFormasPagamento(list); });
}

int BemaFI32Traced::Bematech_FI_LeituraMemoriaFiscalData(const std::string& first, const std::string& last)
{
    return call("Bematech_FI_LeituraMemoriaFiscalData", {first, last},
                [&] { return inner_.Bematech_FI_LeituraMemoriaFiscalData(first, last); });
}

} // namespace ecf::printer::bemafi32

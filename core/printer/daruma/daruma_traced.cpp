#include "printer/daruma/daruma_traced.h"

namespace ecf::printer::daruma {

namespace {
constexpr int success = 1;
const char* const family = "daruma";
} // namespace

template <class Inner>
int DarumaTraced::call(const char* fn, std::vector<CallArg> args, Inner&& inner)
{
    return pipe_.callInteger(family, fn, std::move(args), success, std::forward<Inner>(inner));
}

template <class Inner>
int DarumaTraced::callBuffer(const char* fn, std::string& buffer, Inner&& inner)
{
    // The buffer as passed is the argument; what it holds after the call is the out.
    return pipe_.callBuffer(family, fn, {CallPipeline::replyText(buffer.data(), buffer.size())}, success,
                            buffer.data(), buffer.size(), std::forward<Inner>(inner));
}

int DarumaTraced::Daruma_FI_VerificaImpressoraLigada()
{
    return call("Daruma_FI_VerificaImpressoraLigada", {}, [&] { return inner_.Daruma_FI_VerificaImpressoraLigada(); });
}

int DarumaTraced::Daruma_FI_LerAliquotasComIndice(std::string& buffer)
{
    return callBuffer("Daruma_FI_LerAliquotasComIndice", buffer,
                      [&] { return inner_.Daruma_FI_LerAliquotasComIndice(buffer); });
}

int DarumaTraced::Daruma_FI_AbreCupom(const std::string& cgc)
{
    return call("Daruma_FI_AbreCupom", {cgc}, [&] { return inner_.Daruma_FI_AbreCupom(cgc); });
}

int DarumaTraced::Daruma_FI_VendeItem(const std::string& code, const std::string& description,
                                      const std::string& taxCode, const std::string& qtyType,
                                      const std::string& quantity, int decimals, const std::string& unitPrice,
                                      const std::string& discountType, const std::string& discountValue)
{
    return call("Daruma_FI_VendeItem",
                {code, description, taxCode, qtyType, quantity, std::int64_t{decimals}, unitPrice, discountType,
                 discountValue},
                [&] {
                    return inner_.Daruma_FI_VendeItem(code, description, taxCode, qtyType, quantity, decimals,
                                                      unitPrice, discountType, discountValue);
                });
}

int DarumaTraced::Daruma_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b, const std::string& c)
{
    return call("Daruma_FI_IniciaFechamentoCupom", {a, b, c},
                [&] { return inner_.Daruma_FI_IniciaFechamentoCupom(a, b, c); });
}

int DarumaTraced::Daruma_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value)
{
    return call("Daruma_FI_EfetuaFormaPagamento", {form, value},
                [&] { return inner_.Daruma_FI_EfetuaFormaPagamento(form, value); });
}

int DarumaTraced::Daruma_FI_IdentificaConsumidor(const std::string& name, const std::string& address,
                                                 const std::string& document)
{
    return call("Daruma_FI_IdentificaConsumidor", {name, address, document},
                [&] { return inner_.Daruma_FI_IdentificaConsumidor(name, address, document); });
}

int DarumaTraced::Daruma_FI_TerminaFechamentoCupom(const std::string& message)
{
    return call("Daruma_FI_TerminaFechamentoCupom", {message},
                [&] { return inner_.Daruma_FI_TerminaFechamentoCupom(message); });
}

int DarumaTraced::Daruma_FI_LeituraX()
{
    return call("Daruma_FI_LeituraX", {}, [&] { return inner_.Daruma_FI_LeituraX(); });
}

int DarumaTraced::Daruma_FI_ReducaoZ(const std::string& date, const std::string& time)
{
    return call("Daruma_FI_ReducaoZ", {date, time}, [&] { return inner_.Daruma_FI_ReducaoZ(date, time); });
}

int DarumaTraced::Daruma_FI_CancelaCupom()
{
    return call("Daruma_FI_CancelaCupom", {}, [&] { return inner_.Daruma_FI_CancelaCupom(); });
}

int DarumaTraced::Daruma_FI_ProgramaFormasPagamento(const std::string& list)
{
    return call("Daruma_FI_ProgramaFormasPagamento", {list},
                [&] { return inner_.Daruma_FI_ProgramaFormasPagamento(list); });
}

int DarumaTraced::Daruma_FI_VerificaDescricaoFormasPagamento(std::string& buffer)
{
    return callBuffer("Daruma_FI_VerificaDescricaoFormasPagamento", buffer,
                      [&] { return inner_.Daruma_FI_VerificaDescricaoFormasPagamento(buffer); });
}

int DarumaTraced::Daruma_FI_LeituraMemoriaFiscalData(double first, double last)
{
    return call("Daruma_FI_LeituraMemoriaFiscalData", {first, last},
                [&] { return inner_.Daruma_FI_LeituraMemoriaFiscalData(first, last); });
}

} // namespace ecf::printer::daruma

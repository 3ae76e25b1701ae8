#pragma once
// Daruma32.dll through the call pipeline: every call is recorded, served by a canned entry or
// by the implementation behind it, and traced under the family "daruma".
#include "printer/daruma/daruma_lib.h"
#include "printer/pipeline.h"

namespace ecf::printer::daruma {

class DarumaTraced : public DarumaLib {
public:
    DarumaTraced(CallPipeline& pipe, DarumaLib& inner) : pipe_(pipe), inner_(inner) {}

    int Daruma_FI_VerificaImpressoraLigada() override;
    int Daruma_FI_LerAliquotasComIndice(std::string& buffer) override;
    int Daruma_FI_AbreCupom(const std::string& cgc) override;
    int Daruma_FI_VendeItem(const std::string& code, const std::string& description, const std::string& taxCode,
                            const std::string& qtyType, const std::string& quantity, int decimals,
                            const std::string& unitPrice, const std::string& discountType,
                            const std::string& discountValue) override;
    int Daruma_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b, const std::string& c) override;
    int Daruma_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value) override;
    int Daruma_FI_IdentificaConsumidor(const std::string& name, const std::string& address,
                                       const std::string& document) override;
    int Daruma_FI_TerminaFechamentoCupom(const std::string& message) override;
    int Daruma_FI_LeituraX() override;
    int Daruma_FI_ReducaoZ(const std::string& date, const std::string& time) override;
    int Daruma_FI_CancelaCupom() override;
    int Daruma_FI_ProgramaFormasPagamento(const std::string& list) override;
    int Daruma_FI_VerificaDescricaoFormasPagamento(std::string& buffer) override;
    int Daruma_FI_LeituraMemoriaFiscalData(double first, double last) override;

private:
    template <class Inner>
    int call(const char* fn, std::vector<CallArg> args, Inner&& inner);
    template <class Inner>
    int callBuffer(const char* fn, std::string& buffer, Inner&& inner);

    CallPipeline& pipe_;
    DarumaLib& inner_;
};

} // namespace ecf::printer::daruma

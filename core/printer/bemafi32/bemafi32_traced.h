#pragma once
// BEMAFI32.DLL through the call pipeline, traced under the family "bemafi32".
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/pipeline.h"

namespace ecf::printer::bemafi32 {

class BemaFI32Traced : public BemaFI32Lib {
public:
    BemaFI32Traced(CallPipeline& pipe, BemaFI32Lib& inner) : pipe_(pipe), inner_(inner) {}

    int Bematech_FI_AbrePortaSerial() override;
    int Bematech_FI_FechaPortaSerial() override;
    int Bematech_FI_RetornoImpressora(int& ack, int& st1, int& st2) override;
    int Bematech_FI_RetornoAliquotas(std::string& buffer) override;
    int Bematech_FI_VerificaIndiceAliquotasIss(std::string& buffer) override;
    int Bematech_FI_AbreCupom(const std::string& cgc) override;
    int Bematech_FI_VendeItem(const std::string& code, const std::string& description, const std::string& taxCode,
                              const std::string& qtyType, const std::string& quantity, int decimals,
                              const std::string& unitPrice, const std::string& discountType,
                              const std::string& discountValue) override;
    int Bematech_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b, const std::string& c) override;
    int Bematech_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value) override;
    int Bematech_FI_TerminaFechamentoCupom(const std::string& message) override;
    int Bematech_FI_LeituraX() override;
    int Bematech_FI_ReducaoZ(const std::string& date, const std::string& time) override;
    int Bematech_FI_CancelaCupom() override;
    int Bematech_FI_VerificaFormasPagamento(const std::string& list) override;
    int Bematech_FI_LeituraMemoriaFiscalData(const std::string& first, const std::string& last) override;

private:
    template <class Inner>
    int call(const char* fn, std::vector<CallArg> args, Inner&& inner);
    template <class Inner>
    int callBuffer(const char* fn, std::string& buffer, Inner&& inner);

    CallPipeline& pipe_;
    BemaFI32Lib& inner_;
};

} // namespace ecf::printer::bemafi32

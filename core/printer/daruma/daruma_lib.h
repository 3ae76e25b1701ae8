#pragma once
// The Daruma library Daruma32.dll. 1 is success. Buffers that the library fills are passed
// with their prepared content and hold the reply after the call.
#include <string>

namespace ecf::printer::daruma {

class DarumaLib {
public:
    virtual ~DarumaLib() = default;
    virtual int Daruma_FI_VerificaImpressoraLigada() = 0;
    virtual int Daruma_FI_LerAliquotasComIndice(std::string& buffer) = 0;   // 300 characters
    virtual int Daruma_FI_AbreCupom(const std::string& cgc) = 0;
    virtual int Daruma_FI_VendeItem(const std::string& code, const std::string& description, const std::string& taxCode,
                                    const std::string& qtyType, const std::string& quantity, int decimals,
                                    const std::string& unitPrice, const std::string& discountType,
                                    const std::string& discountValue) = 0;
    virtual int Daruma_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b, const std::string& c) = 0;
    virtual int Daruma_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value) = 0;
    virtual int Daruma_FI_IdentificaConsumidor(const std::string& name, const std::string& address,
                                               const std::string& document) = 0;
    virtual int Daruma_FI_TerminaFechamentoCupom(const std::string& message) = 0;
    virtual int Daruma_FI_LeituraX() = 0;
    virtual int Daruma_FI_ReducaoZ(const std::string& date, const std::string& time) = 0;
    virtual int Daruma_FI_CancelaCupom() = 0;
    virtual int Daruma_FI_ProgramaFormasPagamento(const std::string& list) = 0;
    virtual int Daruma_FI_VerificaDescricaoFormasPagamento(std::string& buffer) = 0; // 275 characters
    virtual int Daruma_FI_LeituraMemoriaFiscalData(double first, double last) = 0;   // days since 30/12/1899
};

} // namespace ecf::printer::daruma

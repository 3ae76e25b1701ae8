#pragma once
// The Bematech library BEMAFI32.DLL (it reads its own "BemaFI32.ini"). 1 is success.
#include <string>

namespace ecf::printer::bemafi32 {

class BemaFI32Lib {
public:
    virtual ~BemaFI32Lib() = default;
    virtual int Bematech_FI_AbrePortaSerial() = 0;             // -4: BemaFI32.ini missing
    virtual int Bematech_FI_FechaPortaSerial() = 0;
    virtual int Bematech_FI_RetornoImpressora(int& ack, int& st1, int& st2) = 0;
    virtual int Bematech_FI_RetornoAliquotas(std::string& buffer) = 0;           // 79 characters
    virtual int Bematech_FI_VerificaIndiceAliquotasIss(std::string& buffer) = 0; // 48 characters
    virtual int Bematech_FI_AbreCupom(const std::string& cgc) = 0;
    virtual int Bematech_FI_VendeItem(const std::string& code, const std::string& description,
                                      const std::string& taxCode, const std::string& qtyType,
                                      const std::string& quantity, int decimals, const std::string& unitPrice,
                                      const std::string& discountType, const std::string& discountValue) = 0;
    virtual int Bematech_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b, const std::string& c) = 0;
    virtual int Bematech_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value) = 0;
    virtual int Bematech_FI_TerminaFechamentoCupom(const std::string& message) = 0;
    virtual int Bematech_FI_LeituraX() = 0;
    virtual int Bematech_FI_ReducaoZ(const std::string& date, const std::string& time) = 0;
    virtual int Bematech_FI_CancelaCupom() = 0;
    virtual int Bematech_FI_VerificaFormasPagamento(const std::string& list) = 0;
    virtual int Bematech_FI_LeituraMemoriaFiscalData(const std::string& first, const std::string& last) = 0;
};

} // namespace ecf::printer::bemafi32

#pragma once
// The maker interfaces of the five library families served by the maker's own library, loaded
// in the helper process (MakerHost). Each call is the family table's function of the same name.
#include "printer/bemafi32/bemafi32_lib.h"
#include "printer/daruma/daruma_lib.h"
#include "printer/library/maker_host.h"
#include "printer/mp20/mp20_lib.h"
#include "printer/schalter/schalter_lib.h"
#include "printer/sigtron/sigtron_lib.h"
#include "printer/sweda/sweda_lib.h"

#include <initializer_list>

namespace ecf::printer::library {

// What the five share: a call with its arguments, giving the result.
class HostedLibrary {
public:
    explicit HostedLibrary(MakerHost& host) : host_(host) {}
    MakerHost& host() { return host_; }

protected:
    static wire::Value num(int v) { wire::Value x; x.i = v; return x; }
    static wire::Value real(double v) { wire::Value x; x.d = v; return x; }
    static wire::Value text(const std::string& v) { wire::Value x; x.s = v; return x; }
    int callInt(const char* fn, std::initializer_list<wire::Value> args);
    // A call whose only argument is a buffer the library fills (its bytes are kept in place).
    int callBuffer(const char* fn, std::string& buffer);

    MakerHost& host_;
};

class HostedSchalter : public schalter::SchalterLib, public HostedLibrary {
public:
    using HostedLibrary::HostedLibrary;
    int ChangePort(int port) override;
    std::string ecfLeituraXSerial() override;
    std::string ecfStatusAliquotas(int reg) override;
    int ecfImpCab(int n) override;
    int ecfVendaItem(const std::string& description, const std::string& total, int taxIndex) override;
    int ecfVenda_Item(const std::string& code, const std::string& description, const std::string& qtyInt,
                      const std::string& qtyFrac, const std::string& price, int taxIndex) override;
    int ecfDescItem(int kind, const std::string& label, const std::string& value) override;
    int ecfPagCancPag(int a, const std::string& label, const std::string& value, int b, int c) override;
    int ecfImpLinha(const std::string& line) override;
    int ecfFimTrans(const std::string& t) override;
    int ecfInicCupomNFiscal(int n) override;
    int ecfLineFeed(int a, int lines) override;
    int ecfLeituraX(const std::string& t) override;
    int ecfReducaoZ(const std::string& t) override;
    int ecfCancDoc(const std::string& t) override;
    int ecfCancVenda(const std::string& t) override;
};

class HostedMp20 : public mp20::Mp20Lib, public HostedLibrary {
public:
    using HostedLibrary::HostedLibrary;
    int IniPortaStr(const std::string& port) override;
    int FormataTX(const std::string& command) override;
};

class HostedSweda : public sweda::SwedaLib, public HostedLibrary {
public:
    using HostedLibrary::HostedLibrary;
    int SwedaOpen(int port, int a, int b, int c) override;
    int SwedaSend(const char* command) override;
    int SwedaRead(char* reply, int maxLength) override;
};

class HostedDaruma : public daruma::DarumaLib, public HostedLibrary {
public:
    using HostedLibrary::HostedLibrary;
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
};

class HostedBemaFI32 : public bemafi32::BemaFI32Lib, public HostedLibrary {
public:
    using HostedLibrary::HostedLibrary;
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
};

// The Sigtron control in the Windows helper: wide texts travel as their UTF-16 bytes.
class HostedSigtron : public sigtron::SigtronLib, public HostedLibrary {
public:
    using HostedLibrary::HostedLibrary;
    void CmdFileName(const std::u16string& value) override;
    void CommConfig(const std::u16string& value) override;
    void LibName(const std::u16string& value) override;
    void CmdName(const std::u16string& value) override;
    bool Open() override;
    void Close() override;
    int SendText(const std::u16string& text) override;
    int Execute() override;
    void SetParameter(const std::u16string& name, const std::u16string& value) override;
    std::u16string ReturnValue(const std::u16string& name) override;

private:
    static wire::Value wide(const std::u16string& v);
};

} // namespace ecf::printer::library

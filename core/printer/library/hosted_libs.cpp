#include "printer/library/hosted_libs.h"

#include <algorithm>
#include <cstring>

namespace ecf::printer::library {

int HostedLibrary::callInt(const char* fn, std::initializer_list<wire::Value> args)
{
    std::vector<wire::Value> a(args);
    return static_cast<int>(host_.call(fn, a).i);
}

int HostedLibrary::callBuffer(const char* fn, std::string& buffer)
{
    std::vector<wire::Value> a{text(buffer)};
    const int r = static_cast<int>(host_.call(fn, a).i);
    // In place: the caller may hold the buffer's address.
    std::memcpy(buffer.data(), a[0].s.data(), std::min(buffer.size(), a[0].s.size()));
    return r;
}

// --- Schalter

int HostedSchalter::ChangePort(int port) { return callInt("ChangePort", {num(port)}); }

std::string HostedSchalter::ecfLeituraXSerial()
{
    std::vector<wire::Value> a;
    return host_.call("ecfLeituraXSerial", a).s;
}

std::string HostedSchalter::ecfStatusAliquotas(int reg)
{
    std::vector<wire::Value> a{num(reg)};
    return host_.call("ecfStatusAliquotas", a).s;
}

int HostedSchalter::ecfImpCab(int n) { return callInt("ecfImpCab", {num(n)}); }

int HostedSchalter::ecfVendaItem(const std::string& description, const std::string& total, int taxIndex)
{
    return callInt("ecfVendaItem", {text(description), text(total), num(taxIndex)});
}

int HostedSchalter::ecfVenda_Item(const std::string& code, const std::string& description, const std::string& qtyInt,
                                  const std::string& qtyFrac, const std::string& price, int taxIndex)
{
    return callInt("ecfVenda_Item",
                   {text(code), text(description), text(qtyInt), text(qtyFrac), text(price), num(taxIndex)});
}

int HostedSchalter::ecfDescItem(int kind, const std::string& label, const std::string& value)
{
    return callInt("ecfDescItem", {num(kind), text(label), text(value)});
}

int HostedSchalter::ecfPagCancPag(int a, const std::string& label, const std::string& value, int b, int c)
{
    return callInt("ecfPagCancPag", {num(a), text(label), text(value), num(b), num(c)});
}

int HostedSchalter::ecfImpLinha(const std::string& line) { return callInt("ecfImpLinha", {text(line)}); }
int HostedSchalter::ecfFimTrans(const std::string& t) { return callInt("ecfFimTrans", {text(t)}); }
int HostedSchalter::ecfInicCupomNFiscal(int n) { return callInt("ecfInicCupomNFiscal", {num(n)}); }
int HostedSchalter::ecfLineFeed(int a, int lines) { return callInt("ecfLineFeed", {num(a), num(lines)}); }
int HostedSchalter::ecfLeituraX(const std::string& t) { return callInt("ecfLeituraX", {text(t)}); }
int HostedSchalter::ecfReducaoZ(const std::string& t) { return callInt("ecfReducaoZ", {text(t)}); }
int HostedSchalter::ecfCancDoc(const std::string& t) { return callInt("ecfCancDoc", {text(t)}); }
int HostedSchalter::ecfCancVenda(const std::string& t) { return callInt("ecfCancVenda", {text(t)}); }

// --- MP-20 (the library itself writes "MP20FI.RET" in the current folder, which the helper shares)

int HostedMp20::IniPortaStr(const std::string& port) { return callInt("IniPortaStr", {text(port)}); }
int HostedMp20::FormataTX(const std::string& command) { return callInt("FormataTX", {text(command)}); }

// --- Sweda

int HostedSweda::SwedaOpen(int port, int a, int b, int c)
{
    return callInt("SwedaOpen", {num(port), num(a), num(b), num(c)});
}

int HostedSweda::SwedaSend(const char* command) { return callInt("SwedaSend", {text(command)}); }

int HostedSweda::SwedaRead(char* reply, int maxLength)
{
    // The bytes the read may fill go over and come back; the rest of the buffer is not touched.
    const std::size_t n = static_cast<std::size_t>(std::max(maxLength, 0));
    std::vector<wire::Value> a{text(std::string(reply, n)), num(maxLength)};
    const int r = static_cast<int>(host_.call("SwedaRead", a).i);
    std::memcpy(reply, a[0].s.data(), std::min(n, a[0].s.size()));
    return r;
}

// --- Daruma

int HostedDaruma::Daruma_FI_VerificaImpressoraLigada() { return callInt("Daruma_FI_VerificaImpressoraLigada", {}); }

int HostedDaruma::Daruma_FI_LerAliquotasComIndice(std::string& buffer)
{
    return callBuffer("Daruma_FI_LerAliquotasComIndice", buffer);
}

int HostedDaruma::Daruma_FI_AbreCupom(const std::string& cgc) { return callInt("Daruma_FI_AbreCupom", {text(cgc)}); }

int HostedDaruma::Daruma_FI_VendeItem(const std::string& code, const std::string& description,
                                      const std::string& taxCode, const std::string& qtyType,
                                      const std::string& quantity, int decimals, const std::string& unitPrice,
                                      const std::string& discountType, const std::string& discountValue)
{
    return callInt("Daruma_FI_VendeItem", {text(code), text(description), text(taxCode), text(qtyType),
                                           text(quantity), num(decimals), text(unitPrice), text(discountType),
                                           text(discountValue)});
}

int HostedDaruma::Daruma_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b, const std::string& c)
{
    return callInt("Daruma_FI_IniciaFechamentoCupom", {text(a), text(b), text(c)});
}

int HostedDaruma::Daruma_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value)
{
    return callInt("Daruma_FI_EfetuaFormaPagamento", {text(form), text(value)});
}

int HostedDaruma::Daruma_FI_IdentificaConsumidor(const std::string& name, const std::string& address,
                                                 const std::string& document)
{
    return callInt("Daruma_FI_IdentificaConsumidor", {text(name), text(address), text(document)});
}

int HostedDaruma::Daruma_FI_TerminaFechamentoCupom(const std::string& message)
{
    return callInt("Daruma_FI_TerminaFechamentoCupom", {text(message)});
}

int HostedDaruma::Daruma_FI_LeituraX() { return callInt("Daruma_FI_LeituraX", {}); }

int HostedDaruma::Daruma_FI_ReducaoZ(const std::string& date, const std::string& time)
{
    return callInt("Daruma_FI_ReducaoZ", {text(date), text(time)});
}

int HostedDaruma::Daruma_FI_CancelaCupom() { return callInt("Daruma_FI_CancelaCupom", {}); }

int HostedDaruma::Daruma_FI_ProgramaFormasPagamento(const std::string& list)
{
    return callInt("Daruma_FI_ProgramaFormasPagamento", {text(list)});
}

int HostedDaruma::Daruma_FI_VerificaDescricaoFormasPagamento(std::string& buffer)
{
    return callBuffer("Daruma_FI_VerificaDescricaoFormasPagamento", buffer);
}

int HostedDaruma::Daruma_FI_LeituraMemoriaFiscalData(double first, double last)
{
    return callInt("Daruma_FI_LeituraMemoriaFiscalData", {real(first), real(last)});
}

// --- BemaFI32

int HostedBemaFI32::Bematech_FI_AbrePortaSerial() { return callInt("Bematech_FI_AbrePortaSerial", {}); }
int HostedBemaFI32::Bematech_FI_FechaPortaSerial() { return callInt("Bematech_FI_FechaPortaSerial", {}); }

int HostedBemaFI32::Bematech_FI_RetornoImpressora(int& ack, int& st1, int& st2)
{
    std::vector<wire::Value> a{num(ack), num(st1), num(st2)};
    const int r = static_cast<int>(host_.call("Bematech_FI_RetornoImpressora", a).i);
    ack = static_cast<int>(a[0].i);
    st1 = static_cast<int>(a[1].i);
    st2 = static_cast<int>(a[2].i);
    return r;
}

int HostedBemaFI32::Bematech_FI_RetornoAliquotas(std::string& buffer)
{
    return callBuffer("Bematech_FI_RetornoAliquotas", buffer);
}

int HostedBemaFI32::Bematech_FI_VerificaIndiceAliquotasIss(std::string& buffer)
{
    return callBuffer("Bematech_FI_VerificaIndiceAliquotasIss", buffer);
}

int HostedBemaFI32::Bematech_FI_AbreCupom(const std::string& cgc)
{
    return callInt("Bematech_FI_AbreCupom", {text(cgc)});
}

int HostedBemaFI32::Bematech_FI_VendeItem(const std::string& code, const std::string& description,
                                          const std::string& taxCode, const std::string& qtyType,
                                          const std::string& quantity, int decimals, const std::string& unitPrice,
                                          const std::string& discountType, const std::string& discountValue)
{
    return callInt("Bematech_FI_VendeItem", {text(code), text(description), text(taxCode), text(qtyType),
                                             text(quantity), num(decimals), text(unitPrice), text(discountType),
                                             text(discountValue)});
}

int HostedBemaFI32::Bematech_FI_IniciaFechamentoCupom(const std::string& a, const std::string& b,
                                                      const std::string& c)
{
    return callInt("Bematech_FI_IniciaFechamentoCupom", {text(a), text(b), text(c)});
}

int HostedBemaFI32::Bematech_FI_EfetuaFormaPagamento(const std::string& form, const std::string& value)
{
    return callInt("Bematech_FI_EfetuaFormaPagamento", {text(form), text(value)});
}

int HostedBemaFI32::Bematech_FI_TerminaFechamentoCupom(const std::string& message)
{
    return callInt("Bematech_FI_TerminaFechamentoCupom", {text(message)});
}

int HostedBemaFI32::Bematech_FI_LeituraX() { return callInt("Bematech_FI_LeituraX", {}); }

int HostedBemaFI32::Bematech_FI_ReducaoZ(const std::string& date, const std::string& time)
{
    return callInt("Bematech_FI_ReducaoZ", {text(date), text(time)});
}

int HostedBemaFI32::Bematech_FI_CancelaCupom() { return callInt("Bematech_FI_CancelaCupom", {}); }

int HostedBemaFI32::Bematech_FI_VerificaFormasPagamento(const std::string& list)
{
    return callInt("Bematech_FI_VerificaFormasPagamento", {text(list)});
}

int HostedBemaFI32::Bematech_FI_LeituraMemoriaFiscalData(const std::string& first, const std::string& last)
{
    return callInt("Bematech_FI_LeituraMemoriaFiscalData", {text(first), text(last)});
}

// --- Sigtron

wire::Value HostedSigtron::wide(const std::u16string& v)
{
    wire::Value x;
    for (const char16_t c : v) { // UTF-16LE, as the helper makes its BSTR
        x.s.push_back(static_cast<char>(c & 0xFF));
        x.s.push_back(static_cast<char>(c >> 8));
    }
    return x;
}

void HostedSigtron::CmdFileName(const std::u16string& value) { callInt("CmdFileName", {wide(value)}); }
void HostedSigtron::CommConfig(const std::u16string& value) { callInt("CommConfig", {wide(value)}); }
void HostedSigtron::LibName(const std::u16string& value) { callInt("LibName", {wide(value)}); }
void HostedSigtron::CmdName(const std::u16string& value) { callInt("CmdName", {wide(value)}); }
bool HostedSigtron::Open() { return callInt("Open", {}) != 0; }
void HostedSigtron::Close() { callInt("Close", {}); }
int HostedSigtron::SendText(const std::u16string& text) { return callInt("SendText", {wide(text)}); }
int HostedSigtron::Execute() { return callInt("Execute", {}); }
void HostedSigtron::SetParameter(const std::u16string& name, const std::u16string& value)
{
    callInt("SetParameter", {wide(name), wide(value)});
}

std::u16string HostedSigtron::ReturnValue(const std::u16string& name)
{
    std::vector<wire::Value> a{wide(name)};
    const std::string bytes = host_.call("ReturnValue", a).s;
    std::u16string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
}

} // namespace ecf::printer::library

#pragma once
// The Schalter library dll32phi.dll: ChangePort and the functions whose names begin with ecf.
// Texts are zero-terminated 8-bit texts; 0 is success unless said otherwise.
#include <string>

namespace ecf::printer::schalter {

class SchalterLib {
public:
    virtual ~SchalterLib() = default;
    virtual int ChangePort(int port) = 0;                 // returns the port now in use (0 or 1)
    virtual std::string ecfLeituraXSerial() = 0;          // the X-reading text
    virtual std::string ecfStatusAliquotas(int reg) = 0;  // register 0..15
    virtual int ecfImpCab(int n) = 0;
    virtual int ecfVendaItem(const std::string& description, const std::string& total, int taxIndex) = 0;
    virtual int ecfVenda_Item(const std::string& code, const std::string& description, const std::string& qtyInt,
                              const std::string& qtyFrac, const std::string& price, int taxIndex) = 0;
    virtual int ecfDescItem(int kind, const std::string& label, const std::string& value) = 0;
    virtual int ecfPagCancPag(int a, const std::string& label, const std::string& value, int b, int c) = 0;
    virtual int ecfImpLinha(const std::string& line) = 0;
    virtual int ecfFimTrans(const std::string& text) = 0;
    virtual int ecfInicCupomNFiscal(int n) = 0;
    virtual int ecfLineFeed(int a, int lines) = 0;
    virtual int ecfLeituraX(const std::string& text) = 0;
    virtual int ecfReducaoZ(const std::string& text) = 0;
    virtual int ecfCancDoc(const std::string& text) = 0;
    virtual int ecfCancVenda(const std::string& text) = 0;
};

} // namespace ecf::printer::schalter

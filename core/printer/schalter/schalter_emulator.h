#pragma once
// The emulated Schalter printer behind dll32phi.dll: every call succeeds (0; ChangePort(n)
// returns n), the X-reading and register texts describe the emulated printer's tax
// registers, and what a real printer would print goes to the emulated paper tape.
#include "printer/emulated_printer.h"
#include "printer/schalter/schalter_lib.h"

namespace ecf::printer::schalter {

class SchalterEmulator : public SchalterLib {
public:
    explicit SchalterEmulator(EmulatedPrinter& printer) : p_(printer) {}

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
    int ecfFimTrans(const std::string& text) override;
    int ecfInicCupomNFiscal(int n) override;
    int ecfLineFeed(int a, int lines) override;
    int ecfLeituraX(const std::string& text) override;
    int ecfReducaoZ(const std::string& text) override;
    int ecfCancDoc(const std::string& text) override;
    int ecfCancVenda(const std::string& text) override;

private:
    EmulatedPrinter& p_;
};

} // namespace ecf::printer::schalter

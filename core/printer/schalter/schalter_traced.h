#pragma once
// The Schalter library as the program calls it: every call passes the call pipeline (canned
// result or the inner implementation) and is written to the trace as family "schalter".
#include "printer/pipeline.h"
#include "printer/schalter/schalter_lib.h"

namespace ecf::printer::schalter {

class SchalterTraced : public SchalterLib {
public:
    SchalterTraced(CallPipeline& pipe, SchalterLib& inner) : pipe_(pipe), inner_(inner) {}

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
    template <class Call>
    int intCall(const char* fn, std::vector<CallArg> args, int success, Call&& call);
    template <class Call>
    std::string textCall(const char* fn, std::vector<CallArg> args, Call&& call);

    CallPipeline& pipe_;
    SchalterLib& inner_;
};

} // namespace ecf::printer::schalter

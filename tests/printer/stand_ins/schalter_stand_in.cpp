// Stand-in for the Schalter library: the maker's functions, answered by our emulator.
#include "printer/schalter/schalter_emulator.h"
#include "stand_in.h"

namespace {
ecf::printer::schalter::SchalterEmulator& emu()
{
    static ecf::printer::schalter::SchalterEmulator e(standin::printer());
    return e;
}
const char* keep(std::string text)
{
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}
} // namespace

STANDIN_EXPORT int STANDIN_CALL ChangePort(int port) { return CALL(ChangePort, port); }
STANDIN_EXPORT const char* STANDIN_CALL ecfLeituraXSerial() { return keep(CALL(ecfLeituraXSerial)); }
STANDIN_EXPORT const char* STANDIN_CALL ecfStatusAliquotas(int reg) { return keep(CALL(ecfStatusAliquotas, reg)); }
STANDIN_EXPORT int STANDIN_CALL ecfImpCab(int n) { return CALL(ecfImpCab, n); }
STANDIN_EXPORT int STANDIN_CALL ecfVendaItem(const char* d, const char* t, int tax) { return CALL(ecfVendaItem, d, t, tax); }
STANDIN_EXPORT int STANDIN_CALL ecfVenda_Item(const char* c, const char* d, const char* qi, const char* qf, const char* p, int tax)
{
    return CALL(ecfVenda_Item, c, d, qi, qf, p, tax);
}
STANDIN_EXPORT int STANDIN_CALL ecfDescItem(int k, const char* l, const char* v) { return CALL(ecfDescItem, k, l, v); }
STANDIN_EXPORT int STANDIN_CALL ecfPagCancPag(int a, const char* l, const char* v, int b, int c)
{
    return CALL(ecfPagCancPag, a, l, v, b, c);
}
STANDIN_EXPORT int STANDIN_CALL ecfImpLinha(const char* l) { return CALL(ecfImpLinha, l); }
STANDIN_EXPORT int STANDIN_CALL ecfFimTrans(const char* t) { return CALL(ecfFimTrans, t); }
STANDIN_EXPORT int STANDIN_CALL ecfInicCupomNFiscal(int n) { return CALL(ecfInicCupomNFiscal, n); }
STANDIN_EXPORT int STANDIN_CALL ecfLineFeed(int a, int n) { return CALL(ecfLineFeed, a, n); }
STANDIN_EXPORT int STANDIN_CALL ecfLeituraX(const char* t) { return CALL(ecfLeituraX, t); }
STANDIN_EXPORT int STANDIN_CALL ecfReducaoZ(const char* t) { return CALL(ecfReducaoZ, t); }
STANDIN_EXPORT int STANDIN_CALL ecfCancDoc(const char* t) { return CALL(ecfCancDoc, t); }
STANDIN_EXPORT int STANDIN_CALL ecfCancVenda(const char* t) { return CALL(ecfCancVenda, t); }

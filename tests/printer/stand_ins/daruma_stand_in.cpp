// Stand-in for the Daruma library.
#include "printer/daruma/daruma_emulator.h"
#include "stand_in.h"

namespace {
ecf::printer::daruma::DarumaEmulator& emu()
{
    static ecf::printer::daruma::DarumaEmulator e(standin::printer());
    return e;
}
} // namespace

STANDIN_EXPORT int STANDIN_CALL Daruma_FI_VerificaImpressoraLigada() { return CALL(Daruma_FI_VerificaImpressoraLigada); }
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_LerAliquotasComIndice(char* b)
{
    standin::enter("Daruma_FI_LerAliquotasComIndice", b);
    return standin::filled(b, 300, [](std::string& s) { return emu().Daruma_FI_LerAliquotasComIndice(s); });
}
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_AbreCupom(const char* cgc) { return CALL(Daruma_FI_AbreCupom, cgc); }
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_VendeItem(const char* c, const char* d, const char* t, const char* qt, const char* q,
                                       int dec, const char* p, const char* dt, const char* dv)
{
    return CALL(Daruma_FI_VendeItem, c, d, t, qt, q, dec, p, dt, dv);
}
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_IniciaFechamentoCupom(const char* a, const char* b, const char* c)
{
    return CALL(Daruma_FI_IniciaFechamentoCupom, a, b, c);
}
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_EfetuaFormaPagamento(const char* f, const char* v)
{
    return CALL(Daruma_FI_EfetuaFormaPagamento, f, v);
}
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_IdentificaConsumidor(const char* n, const char* a, const char* d)
{
    return CALL(Daruma_FI_IdentificaConsumidor, n, a, d);
}
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_TerminaFechamentoCupom(const char* m) { return CALL(Daruma_FI_TerminaFechamentoCupom, m); }
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_LeituraX() { return CALL(Daruma_FI_LeituraX); }
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_ReducaoZ(const char* d, const char* t) { return CALL(Daruma_FI_ReducaoZ, d, t); }
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_CancelaCupom() { return CALL(Daruma_FI_CancelaCupom); }
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_ProgramaFormasPagamento(const char* l) { return CALL(Daruma_FI_ProgramaFormasPagamento, l); }
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_VerificaDescricaoFormasPagamento(char* b)
{
    standin::enter("Daruma_FI_VerificaDescricaoFormasPagamento", b);
    return standin::filled(b, 275, [](std::string& s) { return emu().Daruma_FI_VerificaDescricaoFormasPagamento(s); });
}
STANDIN_EXPORT int STANDIN_CALL Daruma_FI_LeituraMemoriaFiscalData(double first, double last)
{
    return CALL(Daruma_FI_LeituraMemoriaFiscalData, first, last);
}

// Stand-in for the BemaFI32 library.
#include "printer/bemafi32/bemafi32_emulator.h"
#include "stand_in.h"

namespace {
ecf::printer::bemafi32::BemaFI32Emulator& emu()
{
    static ecf::printer::bemafi32::BemaFI32Emulator e(standin::printer());
    return e;
}
} // namespace

STANDIN_EXPORT int STANDIN_CALL Bematech_FI_AbrePortaSerial() { return CALL(Bematech_FI_AbrePortaSerial); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_FechaPortaSerial() { return CALL(Bematech_FI_FechaPortaSerial); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_RetornoImpressora(int* ack, int* st1, int* st2)
{
    return CALL(Bematech_FI_RetornoImpressora, *ack, *st1, *st2);
}
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_RetornoAliquotas(char* b)
{
    standin::enter("Bematech_FI_RetornoAliquotas", b);
    return standin::filled(b, 79, [](std::string& s) { return emu().Bematech_FI_RetornoAliquotas(s); });
}
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_VerificaIndiceAliquotasIss(char* b)
{
    standin::enter("Bematech_FI_VerificaIndiceAliquotasIss", b);
    return standin::filled(b, 48, [](std::string& s) { return emu().Bematech_FI_VerificaIndiceAliquotasIss(s); });
}
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_AbreCupom(const char* cgc) { return CALL(Bematech_FI_AbreCupom, cgc); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_VendeItem(const char* c, const char* d, const char* t, const char* qt, const char* q,
                                         int dec, const char* p, const char* dt, const char* dv)
{
    return CALL(Bematech_FI_VendeItem, c, d, t, qt, q, dec, p, dt, dv);
}
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_IniciaFechamentoCupom(const char* a, const char* b, const char* c)
{
    return CALL(Bematech_FI_IniciaFechamentoCupom, a, b, c);
}
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_EfetuaFormaPagamento(const char* f, const char* v)
{
    return CALL(Bematech_FI_EfetuaFormaPagamento, f, v);
}
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_TerminaFechamentoCupom(const char* m) { return CALL(Bematech_FI_TerminaFechamentoCupom, m); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_LeituraX() { return CALL(Bematech_FI_LeituraX); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_ReducaoZ(const char* d, const char* t) { return CALL(Bematech_FI_ReducaoZ, d, t); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_CancelaCupom() { return CALL(Bematech_FI_CancelaCupom); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_VerificaFormasPagamento(const char* l) { return CALL(Bematech_FI_VerificaFormasPagamento, l); }
STANDIN_EXPORT int STANDIN_CALL Bematech_FI_LeituraMemoriaFiscalData(const char* f, const char* l)
{
    return CALL(Bematech_FI_LeituraMemoriaFiscalData, f, l);
}

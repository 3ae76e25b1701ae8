// A 32-bit stand-in for the Daruma library (built with -m32, without our emulator): each
// function answers from its arguments, so that a test sees every kind of argument arrive.
#include <cstring>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

STANDIN_EXPORT int Daruma_FI_VerificaImpressoraLigada() { return 1; }
STANDIN_EXPORT int Daruma_FI_LerAliquotasComIndice(char* b)
{
    std::memcpy(b, "T11800T21200", 12);
    return 1;
}
STANDIN_EXPORT int Daruma_FI_AbreCupom(const char* cgc) { return static_cast<int>(std::strlen(cgc)); }
STANDIN_EXPORT int Daruma_FI_VendeItem(const char* c, const char*, const char*, const char*, const char*, int dec,
                                       const char*, const char*, const char* dv)
{
    // The first text, the integer and the last text: 100 * code length + 10 * decimals + value length.
    return static_cast<int>(100 * std::strlen(c) + 10 * dec + std::strlen(dv));
}
STANDIN_EXPORT int Daruma_FI_IniciaFechamentoCupom(const char*, const char*, const char*) { return 1; }
STANDIN_EXPORT int Daruma_FI_EfetuaFormaPagamento(const char*, const char*) { return 1; }
STANDIN_EXPORT int Daruma_FI_IdentificaConsumidor(const char*, const char*, const char*) { return 1; }
STANDIN_EXPORT int Daruma_FI_TerminaFechamentoCupom(const char*) { return 1; }
STANDIN_EXPORT int Daruma_FI_LeituraX() { return 1; }
STANDIN_EXPORT int Daruma_FI_ReducaoZ(const char*, const char*) { return 1; }
STANDIN_EXPORT int Daruma_FI_CancelaCupom() { return 1; }
STANDIN_EXPORT int Daruma_FI_ProgramaFormasPagamento(const char*) { return 1; }
STANDIN_EXPORT int Daruma_FI_VerificaDescricaoFormasPagamento(char* b)
{
    std::memcpy(b, "Dinheiro", 8);
    return 1;
}
STANDIN_EXPORT int Daruma_FI_LeituraMemoriaFiscalData(double first, double last)
{
    return static_cast<int>(last - first);
}

#include "printer/library/maker_signatures.h"

#include <array>

namespace ecf::printer::library {

namespace {

// dll32phi.dll: 0 is success; the two text functions return a text.
constexpr Signature schalter[] = {
    {"ChangePort", "ChangePort", "i", 'i', 0, -1, 0},
    {"ecfLeituraXSerial", "ecfLeituraXSerial", "", 's', 0, 0, 0},
    {"ecfStatusAliquotas", "ecfStatusAliquotas", "i", 's', 0, 0, 0},
    {"ecfImpCab", "ecfImpCab", "i", 'i', 0, -1, 0},
    {"ecfVendaItem", "ecfVendaItem", "ssi", 'i', 0, -1, 0},
    {"ecfVenda_Item", "ecfVenda_Item", "sssssi", 'i', 0, -1, 0},
    {"ecfDescItem", "ecfDescItem", "iss", 'i', 0, -1, 0},
    {"ecfPagCancPag", "ecfPagCancPag", "issii", 'i', 0, -1, 0},
    {"ecfImpLinha", "ecfImpLinha", "s", 'i', 0, -1, 0},
    {"ecfFimTrans", "ecfFimTrans", "s", 'i', 0, -1, 0},
    {"ecfInicCupomNFiscal", "ecfInicCupomNFiscal", "i", 'i', 0, -1, 0},
    {"ecfLineFeed", "ecfLineFeed", "ii", 'i', 0, -1, 0},
    {"ecfLeituraX", "ecfLeituraX", "s", 'i', 0, -1, 0},
    {"ecfReducaoZ", "ecfReducaoZ", "s", 'i', 0, -1, 0},
    {"ecfCancDoc", "ecfCancDoc", "s", 'i', 0, -1, 0},
    {"ecfCancVenda", "ecfCancVenda", "s", 'i', 0, -1, 0},
};

// Mp20fi32.dll: IniPortaStr fails with 0, FormataTX succeeds with 0.
constexpr Signature mp20[] = {
    {"IniPortaStr", "IniPortaStr", "s", 'i', 0, 0, 0},
    {"FormataTX", "FormataTX", "s", 'i', 0, -1, 0},
};

// SWECF.DLL exports ordinals 1, 3 and 4 only (the last column); its Linux form is looked up by
// these names.
// The reply buffer is 513 bytes, of which a read fills at most the count it is given.
constexpr Signature sweda[] = {
    {"SwedaOpen", "SwedaOpen", "iiii", 'i', 0, -1, 1},
    {"SwedaSend", "SwedaSend", "s", 'i', 0, -1, 3},
    {"SwedaRead", "SwedaRead", "bi", 'i', 513, -1, 4},
};

// Daruma32.dll: 1 is success.
constexpr Signature daruma[] = {
    {"Daruma_FI_VerificaImpressoraLigada", "Daruma_FI_VerificaImpressoraLigada", "", 'i', 0, 0, 0},
    {"Daruma_FI_LerAliquotasComIndice", "Daruma_FI_LerAliquotasComIndice", "b", 'i', 300, 0, 0},
    {"Daruma_FI_AbreCupom", "Daruma_FI_AbreCupom", "s", 'i', 0, 0, 0},
    {"Daruma_FI_VendeItem", "Daruma_FI_VendeItem", "sssssisss", 'i', 0, 0, 0},
    {"Daruma_FI_IniciaFechamentoCupom", "Daruma_FI_IniciaFechamentoCupom", "sss", 'i', 0, 0, 0},
    {"Daruma_FI_EfetuaFormaPagamento", "Daruma_FI_EfetuaFormaPagamento", "ss", 'i', 0, 0, 0},
    {"Daruma_FI_IdentificaConsumidor", "Daruma_FI_IdentificaConsumidor", "sss", 'i', 0, 0, 0},
    {"Daruma_FI_TerminaFechamentoCupom", "Daruma_FI_TerminaFechamentoCupom", "s", 'i', 0, 0, 0},
    {"Daruma_FI_LeituraX", "Daruma_FI_LeituraX", "", 'i', 0, 0, 0},
    {"Daruma_FI_ReducaoZ", "Daruma_FI_ReducaoZ", "ss", 'i', 0, 0, 0},
    {"Daruma_FI_CancelaCupom", "Daruma_FI_CancelaCupom", "", 'i', 0, 0, 0},
    {"Daruma_FI_ProgramaFormasPagamento", "Daruma_FI_ProgramaFormasPagamento", "s", 'i', 0, 0, 0},
    {"Daruma_FI_VerificaDescricaoFormasPagamento", "Daruma_FI_VerificaDescricaoFormasPagamento", "b", 'i', 275, 0, 0},
    {"Daruma_FI_LeituraMemoriaFiscalData", "Daruma_FI_LeituraMemoriaFiscalData", "dd", 'i', 0, 0, 0},
};

// BEMAFI32.DLL: 1 is success; 0 is its "no communication".
constexpr Signature bemafi32[] = {
    {"Bematech_FI_AbrePortaSerial", "Bematech_FI_AbrePortaSerial", "", 'i', 0, 0, 0},
    {"Bematech_FI_FechaPortaSerial", "Bematech_FI_FechaPortaSerial", "", 'i', 0, 0, 0},
    {"Bematech_FI_RetornoImpressora", "Bematech_FI_RetornoImpressora", "rrr", 'i', 0, 0, 0},
    {"Bematech_FI_RetornoAliquotas", "Bematech_FI_RetornoAliquotas", "b", 'i', 79, 0, 0},
    {"Bematech_FI_VerificaIndiceAliquotasIss", "Bematech_FI_VerificaIndiceAliquotasIss", "b", 'i', 48, 0, 0},
    {"Bematech_FI_AbreCupom", "Bematech_FI_AbreCupom", "s", 'i', 0, 0, 0},
    {"Bematech_FI_VendeItem", "Bematech_FI_VendeItem", "sssssisss", 'i', 0, 0, 0},
    {"Bematech_FI_IniciaFechamentoCupom", "Bematech_FI_IniciaFechamentoCupom", "sss", 'i', 0, 0, 0},
    {"Bematech_FI_EfetuaFormaPagamento", "Bematech_FI_EfetuaFormaPagamento", "ss", 'i', 0, 0, 0},
    {"Bematech_FI_TerminaFechamentoCupom", "Bematech_FI_TerminaFechamentoCupom", "s", 'i', 0, 0, 0},
    {"Bematech_FI_LeituraX", "Bematech_FI_LeituraX", "", 'i', 0, 0, 0},
    {"Bematech_FI_ReducaoZ", "Bematech_FI_ReducaoZ", "ss", 'i', 0, 0, 0},
    {"Bematech_FI_CancelaCupom", "Bematech_FI_CancelaCupom", "", 'i', 0, 0, 0},
    {"Bematech_FI_VerificaFormasPagamento", "Bematech_FI_VerificaFormasPagamento", "s", 'i', 0, 0, 0},
    {"Bematech_FI_LeituraMemoriaFiscalData", "Bematech_FI_LeituraMemoriaFiscalData", "ss", 'i', 0, 0, 0},
};

// The Sigtron control TSigDrCm, a COM object driven through IDispatch::Invoke (Windows helper
// only): `symbol` is the kind of dispatch ("put" a property write, "call" a method), the last
// column the dispatch identifier; texts are the wide texts' UTF-16 bytes, passed as BSTR.
constexpr Signature sigtron[] = {
    {"CmdFileName", "put", "s", 'v', 0, 0, 1},
    {"CommConfig", "put", "s", 'v', 0, 0, 2},
    {"LibName", "put", "s", 'v', 0, 0, 6},
    {"CmdName", "put", "s", 'v', 0, 0, 8},
    {"Open", "call", "", 'b', 0, 0, 10},
    {"Close", "call", "", 'v', 0, 0, 11},
    {"SendText", "call", "s", 'i', 0, -1, 12},
    {"Execute", "call", "", 'i', 0, -1, 14},
    {"SetParameter", "call", "ss", 'v', 0, 0, 16},
    {"ReturnValue", "call", "s", 's', 0, 0, 17},
};
constexpr LibraryFamily sigtronFamily{"sigtron", "ECF_LIB_SIGTRON", sigtron};

constexpr std::array<LibraryFamily, 5> families{{
    {"schalter", "ECF_LIB_SCHALTER", schalter},
    {"mp20", "ECF_LIB_MP20", mp20},
    {"sweda", "ECF_LIB_SWEDA", sweda},
    {"daruma", "ECF_LIB_DARUMA", daruma},
    {"bemafi32", "ECF_LIB_BEMAFI32", bemafi32},
}};

} // namespace

std::span<const LibraryFamily> libraryFamilies()
{
    return families;
}

const LibraryFamily& sigtronControl()
{
    return sigtronFamily;
}

const LibraryFamily* findLibraryFamily(std::string_view family)
{
    for (const LibraryFamily& f : families)
        if (family == f.family)
            return &f;
    return family == sigtronFamily.family ? &sigtronFamily : nullptr;
}

int findFunction(const LibraryFamily& family, std::string_view fn)
{
    for (std::size_t i = 0; i < family.functions.size(); ++i)
        if (fn == family.functions[i].fn)
            return static_cast<int>(i);
    return -1;
}

} // namespace ecf::printer::library

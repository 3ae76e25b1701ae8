#pragma once
// The Daruma library Daruma32.dll. 1 is success; 0 is what an operation gets when the library
// does not answer. Buffers that the library fills are passed with their prepared content and
// hold the reply after the call.
#include "printer/fi/fi_functions.h"

#define ECF_DARUMA_FUNCTIONS(F)                                                                         \
    F(int, Daruma_FI_VerificaImpressoraLigada, (), (), .success = one)                                   \
    F(int, Daruma_FI_LerAliquotasComIndice, (TextBuffer buffer), (buffer), .success = one, .buffer = 300) \
    ECF_FI_SHARED_FUNCTIONS(F, Daruma_FI_)                                                               \
    F(int, Daruma_FI_IdentificaConsumidor, (Text name, Text address, Text document),                     \
      (name, address, document), .success = one)                                                         \
    F(int, Daruma_FI_ProgramaFormasPagamento, (Text list), (list), .success = one)                       \
    F(int, Daruma_FI_VerificaDescricaoFormasPagamento, (TextBuffer buffer), (buffer), .success = one,    \
      .buffer = 275)                                                                                     \
    /* the dates as days since 30/12/1899 */                                                             \
    F(int, Daruma_FI_LeituraMemoriaFiscalData, (double first, double last), (first, last), .success = one)

namespace ecf::printer::daruma {

ECF_MAKER_INTERFACE(DarumaLib, ECF_DARUMA_FUNCTIONS, "daruma", "ECF_LIB_DARUMA");

} // namespace ecf::printer::daruma

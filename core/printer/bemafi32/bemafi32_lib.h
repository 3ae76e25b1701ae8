#pragma once
// The Bematech library BEMAFI32.DLL (it reads its own "BemaFI32.ini"). 1 is success; 0 is its
// "no communication", and what an operation gets when the library does not answer.
// Bematech_FI_AbrePortaSerial answers -4 when BemaFI32.ini is missing.
#include "printer/fi/fi_functions.h"

#define ECF_BEMAFI32_FUNCTIONS(F)                                                                       \
    F(int, Bematech_FI_AbrePortaSerial, (), (), .success = one)                                          \
    F(int, Bematech_FI_FechaPortaSerial, (), (), .success = one)                                         \
    F(int, Bematech_FI_RetornoImpressora, (IntOut ack, IntOut st1, IntOut st2), (ack, st1, st2),        \
      .success = one)                                                                                    \
    F(int, Bematech_FI_RetornoAliquotas, (TextBuffer buffer), (buffer), .success = one, .buffer = 79)    \
    F(int, Bematech_FI_VerificaIndiceAliquotasIss, (TextBuffer buffer), (buffer), .success = one,        \
      .buffer = 48)                                                                                      \
    ECF_FI_SHARED_FUNCTIONS(F, Bematech_FI_)                                                             \
    F(int, Bematech_FI_VerificaFormasPagamento, (Text list), (list), .success = one)                     \
    F(int, Bematech_FI_LeituraMemoriaFiscalData, (Text first, Text last), (first, last), .success = one)

namespace ecf::printer::bemafi32 {

ECF_MAKER_INTERFACE(BemaFI32Lib, ECF_BEMAFI32_FUNCTIONS, "bemafi32", "ECF_LIB_BEMAFI32");

} // namespace ecf::printer::bemafi32

#pragma once
// The Schalter library dll32phi.dll: ChangePort and the functions whose names begin with ecf.
// Texts are zero-terminated 8-bit texts; 0 is success and -1 what an operation gets when the
// library does not answer, unless the line says otherwise. ChangePort answers the port now in
// use (0 or 1); ecfStatusAliquotas reads register 0..15.
#include "printer/maker_function.h"

#define ECF_SCHALTER_FUNCTIONS(F)                                                                       \
    F(int, ChangePort, (int port), (port), .success = firstArgument, .failure = -1)                      \
    F(TextResult, ecfLeituraXSerial, (), ())                                                             \
    F(TextResult, ecfStatusAliquotas, (int reg), (reg))                                                  \
    F(int, ecfImpCab, (int n), (n), .success = zero, .failure = -1)                                      \
    F(int, ecfVendaItem, (Text description, Text total, int taxIndex), (description, total, taxIndex),   \
      .success = zero, .failure = -1)                                                                    \
    F(int, ecfVenda_Item, (Text code, Text description, Text qtyInt, Text qtyFrac, Text price, int taxIndex), \
      (code, description, qtyInt, qtyFrac, price, taxIndex), .success = zero, .failure = -1)            \
    F(int, ecfDescItem, (int kind, Text label, Text value), (kind, label, value), .success = zero,       \
      .failure = -1)                                                                                     \
    F(int, ecfPagCancPag, (int a, Text label, Text value, int b, int c), (a, label, value, b, c),        \
      .success = zero, .failure = -1)                                                                    \
    F(int, ecfImpLinha, (Text line), (line), .success = zero, .failure = -1)                             \
    F(int, ecfFimTrans, (Text text), (text), .success = zero, .failure = -1)                             \
    F(int, ecfInicCupomNFiscal, (int n), (n), .success = zero, .failure = -1)                            \
    F(int, ecfLineFeed, (int a, int lines), (a, lines), .success = zero, .failure = -1)                  \
    F(int, ecfLeituraX, (Text text), (text), .success = zero, .failure = -1)                             \
    F(int, ecfReducaoZ, (Text text), (text), .success = zero, .failure = -1)                             \
    F(int, ecfCancDoc, (Text text), (text), .success = zero, .failure = -1)                              \
    F(int, ecfCancVenda, (Text text), (text), .success = zero, .failure = -1)

namespace ecf::printer::schalter {

ECF_MAKER_INTERFACE(SchalterLib, ECF_SCHALTER_FUNCTIONS, "schalter", "ECF_LIB_SCHALTER");

} // namespace ecf::printer::schalter

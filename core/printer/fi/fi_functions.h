#pragma once
// The functions the Daruma and BemaFI32 libraries share, alike but for the maker's prefix
// ("Daruma_FI_", "Bematech_FI_"): one list, which each family's own list takes in.
#include "printer/maker_function.h"

#define ECF_FI_SHARED_FUNCTIONS(F, PREFIX)                                                              \
    F(int, PREFIX##AbreCupom, (Text cgc), (cgc), .success = one)                                         \
    F(int, PREFIX##VendeItem,                                                                            \
      (Text code, Text description, Text taxCode, Text qtyType, Text quantity, int decimals,             \
       Text unitPrice, Text discountType, Text discountValue),                                           \
      (code, description, taxCode, qtyType, quantity, decimals, unitPrice, discountType, discountValue), \
      .success = one)                                                                                    \
    F(int, PREFIX##IniciaFechamentoCupom, (Text a, Text b, Text c), (a, b, c), .success = one)           \
    F(int, PREFIX##EfetuaFormaPagamento, (Text form, Text value), (form, value), .success = one)         \
    F(int, PREFIX##TerminaFechamentoCupom, (Text message), (message), .success = one)                    \
    F(int, PREFIX##LeituraX, (), (), .success = one)                                                     \
    F(int, PREFIX##ReducaoZ, (Text date, Text time), (date, time), .success = one)                       \
    F(int, PREFIX##CancelaCupom, (), (), .success = one)

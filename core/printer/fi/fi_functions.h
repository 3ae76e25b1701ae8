#pragma once
// The functions the Daruma and BemaFI32 libraries share, alike but for the maker's prefix
// ("Daruma_FI_", "Bematech_FI_"): one list, which each family's own list takes in under its
// prefix, and which the shared driver (fi_driver.h) calls by the names without it.
#include "printer/maker_function.h"

// G(F, PREFIX, RESULT, NAME, ...) for each function, NAME without the prefix.
#define ECF_FI_SHARED(G, F, PREFIX)                                                                    \
    G(F, PREFIX, int, AbreCupom, (Text cgc), (cgc), .success = one)                                      \
    G(F, PREFIX, int, VendeItem,                                                                         \
      (Text code, Text description, Text taxCode, Text qtyType, Text quantity, int decimals,             \
       Text unitPrice, Text discountType, Text discountValue),                                           \
      (code, description, taxCode, qtyType, quantity, decimals, unitPrice, discountType, discountValue), \
      .success = one)                                                                                    \
    G(F, PREFIX, int, IniciaFechamentoCupom, (Text a, Text b, Text c), (a, b, c), .success = one)        \
    G(F, PREFIX, int, EfetuaFormaPagamento, (Text form, Text value), (form, value), .success = one)      \
    G(F, PREFIX, int, TerminaFechamentoCupom, (Text message), (message), .success = one)                 \
    G(F, PREFIX, int, LeituraX, (), (), .success = one)                                                  \
    G(F, PREFIX, int, ReducaoZ, (Text date, Text time), (date, time), .success = one)                    \
    G(F, PREFIX, int, CancelaCupom, (), (), .success = one)

// The shared functions as lines of a family's list, under its prefix.
#define ECF_FI_PREFIXED(F, PREFIX, R, N, P, A, ...) F(R, PREFIX##N, P, A, __VA_ARGS__)
#define ECF_FI_SHARED_FUNCTIONS(F, PREFIX) ECF_FI_SHARED(ECF_FI_PREFIXED, F, PREFIX)

// The shared functions by their names without the prefix, and forwarded to the prefixed ones.
#define ECF_FI_UNPREFIXED_PURE(F, PREFIX, R, N, P, A, ...) virtual R N P = 0;
#define ECF_FI_FORWARD(F, PREFIX, R, N, P, A, ...) \
    R N P override { return lib_.PREFIX##N A; }

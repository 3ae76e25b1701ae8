#pragma once
// A tiny seventh printer family, for the test that a family is its folder and one entry: a
// library of three functions, written once in its list.
#include "printer/family.h"
#include "printer/maker_function.h"

#define TINY_FUNCTIONS(F)                                                                              \
    F(int, TinyOpen, (Text header), (header), .success = zero, .failure = -1)                           \
    F(int, TinySell, (Text description, int cents, IntOut count), (description, cents, count),          \
      .success = zero, .failure = -1)                                                                   \
    F(int, TinyClose, (TextBuffer reply), (reply), .success = zero, .failure = -1, .buffer = 16)

namespace ecf::test::tiny {

using namespace ecf::printer;

ECF_MAKER_INTERFACE(TinyLib, TINY_FUNCTIONS, "tiny", "ECF_LIB_TINY");

// Its entry, for printer::addFamily; its one model code is "TINY7".
extern const printer::FamilyEntry family;

} // namespace ecf::test::tiny

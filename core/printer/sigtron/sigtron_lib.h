#pragma once
// The Sigtron fiscal printer control TSigDrCm (the main window's ECFSigtron), a COM object
// driven through IDispatch::Invoke: each line's ordinal is its dispatch id, "put" a property
// the program writes, "call" a method. Texts are wide (16-bit) at this interface. Property
// writes are traced as calls named after the property. LibName is "Fiscal" or "Leitura".
#include "printer/maker_function.h"

#define ECF_SIGTRON_FUNCTIONS(F)                                                                        \
    F(void, CmdFileName, (WideText value), (value), .success = anyResult, .ordinal = 1, .symbol = "put")   \
    F(void, CommConfig, (WideText value), (value), .success = anyResult, .ordinal = 2, .symbol = "put")    \
    F(void, LibName, (WideText value), (value), .success = anyResult, .ordinal = 6, .symbol = "put")       \
    F(void, CmdName, (WideText value), (value), .success = anyResult, .ordinal = 8, .symbol = "put")       \
    F(bool, Open, (), (), .success = isTrue, .ordinal = 10, .symbol = "call")                              \
    F(void, Close, (), (), .success = anyResult, .ordinal = 11, .symbol = "call")                          \
    F(int, SendText, (WideText text), (text), .success = anyResult, .failure = -1, .ordinal = 12,          \
      .symbol = "call")                                                                                    \
    F(int, Execute, (), (), .success = anyResult, .failure = -1, .ordinal = 14, .symbol = "call")          \
    F(void, SetParameter, (WideText name, WideText value), (name, value), .success = anyResult,            \
      .ordinal = 16, .symbol = "call")                                                                     \
    F(WideResult, ReturnValue, (WideText name), (name), .success = anyResult, .ordinal = 17,               \
      .symbol = "call")

namespace ecf::printer::sigtron {

ECF_MAKER_INTERFACE(SigtronLib, ECF_SIGTRON_FUNCTIONS, "sigtron", "ECF_LIB_SIGTRON", true);

} // namespace ecf::printer::sigtron

#pragma once
// SWECF.DLL through the call pipeline, traced under the family "sweda" with the ordinals'
// names "SwedaOpen", "SwedaSend" and "SwedaRead".
#include "printer/pipeline.h"
#include "printer/sweda/sweda_lib.h"

namespace ecf::printer::sweda {

class SwedaTraced : public SwedaLib {
public:
    SwedaTraced(CallPipeline& pipe, SwedaLib& inner) : pipe_(pipe), inner_(inner) {}

    int SwedaOpen(int port, int a, int b, int c) override;
    int SwedaSend(const char* command) override;
    int SwedaRead(char* reply, int maxLength) override;

private:
    CallPipeline& pipe_;
    SwedaLib& inner_;
};

} // namespace ecf::printer::sweda

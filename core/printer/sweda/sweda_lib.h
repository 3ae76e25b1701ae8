#pragma once
// The Sweda library SWECF.DLL, whose functions have ordinals only: 1 open, 3 send, 4 read.
// Traced as "SwedaOpen", "SwedaSend", "SwedaRead".
#include <string>

namespace ecf::printer::sweda {

class SwedaLib {
public:
    virtual ~SwedaLib() = default;
    virtual int SwedaOpen(int port, int a, int b, int c) = 0;   // 0 = open
    virtual int SwedaSend(const char* command) = 0;             // zero-terminated; 0 = sent
    virtual int SwedaRead(char* reply, int maxLength) = 0;      // fills at most maxLength bytes
};

} // namespace ecf::printer::sweda

#pragma once
// The Bematech MP-20 library Mp20fi32.dll. FormataTX writes its reply as the first line of the
// file "MP20FI.RET" in the current folder.
#include <string>

namespace ecf::printer::mp20 {

class Mp20Lib {
public:
    virtual ~Mp20Lib() = default;
    virtual int IniPortaStr(const std::string& port) = 0; // 0 is failure
    virtual int FormataTX(const std::string& command) = 0; // 0 is success
};

} // namespace ecf::printer::mp20

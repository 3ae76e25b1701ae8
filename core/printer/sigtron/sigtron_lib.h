#pragma once
// The Sigtron fiscal printer control TSigDrCm (the main window's ECFSigtron). Texts are wide
// (16-bit) at this interface. Property writes are traced as calls named after the property.
#include <string>

namespace ecf::printer::sigtron {

class SigtronLib {
public:
    virtual ~SigtronLib() = default;
    // Text properties, written by the program.
    virtual void CmdFileName(const std::u16string& value) = 0; // dispatch id 1
    virtual void CommConfig(const std::u16string& value) = 0;  // 2
    virtual void LibName(const std::u16string& value) = 0;     // 6: "Fiscal" or "Leitura"
    virtual void CmdName(const std::u16string& value) = 0;     // 8
    // Operations.
    virtual bool Open() = 0;                                   // 10: true when the connection is ready
    virtual void Close() = 0;                                  // 11
    virtual int SendText(const std::u16string& text) = 0;      // 12
    virtual int Execute() = 0;                                 // 14
    virtual void SetParameter(const std::u16string& name, const std::u16string& value) = 0; // 16
    virtual std::u16string ReturnValue(const std::u16string& name) = 0;                     // 17
};

} // namespace ecf::printer::sigtron

#pragma once
// The Sigtron control as the program drives it: every property write and operation passes the
// call pipeline and is written to the trace as family "sigtron". A canned Execute may carry
// named results that ReturnValue gives until the next Execute.
#include "printer/pipeline.h"
#include "printer/sigtron/sigtron_lib.h"

#include <map>
#include <optional>

namespace ecf::printer::sigtron {

class SigtronTraced : public SigtronLib {
public:
    SigtronTraced(CallPipeline& pipe, SigtronLib& inner) : pipe_(pipe), inner_(inner) {}

    void CmdFileName(const std::u16string& value) override;
    void CommConfig(const std::u16string& value) override;
    void LibName(const std::u16string& value) override;
    void CmdName(const std::u16string& value) override;
    bool Open() override;
    void Close() override;
    int SendText(const std::u16string& text) override;
    int Execute() override;
    void SetParameter(const std::u16string& name, const std::u16string& value) override;
    std::u16string ReturnValue(const std::u16string& name) override;

private:
    template <class FromCanned, class Inner>
    auto call(const char* fn, std::initializer_list<const std::u16string*> args, FromCanned&& fromCanned,
              Inner&& inner);
    template <class Call>
    void voidCall(const char* fn, std::initializer_list<const std::u16string*> args, Call&& inner);

    CallPipeline& pipe_;
    SigtronLib& inner_;
    // Named results of the last canned Execute that carried "values" (wide names and texts).
    std::optional<std::map<std::u16string, std::u16string>> cannedValues_;
};

} // namespace ecf::printer::sigtron

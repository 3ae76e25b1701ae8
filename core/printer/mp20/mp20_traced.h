#pragma once
// The Bematech MP-20 library as the program calls it: every call passes the call pipeline and
// is written to the trace as family "mp20". A canned FormataTX writes its "out" as the whole
// content of "MP20FI.RET" in the working folder ("out": null removes the file).
#include "printer/mp20/mp20_lib.h"
#include "printer/pipeline.h"

#include <filesystem>

namespace ecf::printer::mp20 {

class Mp20Traced : public Mp20Lib {
public:
    Mp20Traced(CallPipeline& pipe, Mp20Lib& inner, std::filesystem::path workDir)
        : pipe_(pipe), inner_(inner), workDir_(std::move(workDir))
    {
    }

    int IniPortaStr(const std::string& port) override;
    int FormataTX(const std::string& command) override;

private:
    void applyCannedReply(const CannedEntry& e);

    CallPipeline& pipe_;
    Mp20Lib& inner_;
    std::filesystem::path workDir_;
};

} // namespace ecf::printer::mp20

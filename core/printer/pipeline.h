#pragma once
// The call pipeline that every maker-interface call passes: the typed call becomes one call
// record, a canned entry (ECF_EMULATOR) or the implementation behind it (the emulator, later a
// real maker library) serves it, and the record is written to the trace when the call returns.
//
// Each family has a traced wrapper implementing its maker interface over an inner
// implementation; the wrapper builds the record, asks take() for a canned entry, calls the
// inner implementation when there is none, fills ret/out and calls trace().
#include "printer/canned.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ecf::common {
class Trace;
}

namespace ecf::printer {

// An argument as passed: an integer, a floating value, an 8-bit text or a wide text.
using CallArg = std::variant<std::int64_t, double, std::string, std::u16string>;
// The result: none (null), a number, a truth value, an 8-bit text or a wide text.
using CallRet = std::variant<std::monostate, std::int64_t, bool, std::string, std::u16string>;
// What an output buffer holds after the call: none, 8-bit text (up to its first NUL), wide
// text, or by-reference integers.
using CallOut = std::variant<std::monostate, std::string, std::u16string, std::vector<std::int64_t>>;

struct CallRecord {
    const char* family = "";
    const char* fn = "";
    std::vector<CallArg> args;
    CallRet ret;
    CallOut out;
};

class CallPipeline {
public:
    CallPipeline(std::shared_ptr<common::Trace> trace, std::shared_ptr<CannedResults> canned);

    // The canned entry for this call, or null (then the inner implementation serves it).
    const CannedEntry* take(std::string_view fn);
    // Writes the record's "call" line (when tracing).
    void trace(const CallRecord& record);
    bool tracing() const { return trace_ != nullptr; }

    // The line as written to the trace, without the line feed.
    static std::string toJson(const CallRecord& record);

private:
    std::shared_ptr<common::Trace> trace_;
    std::shared_ptr<CannedResults> canned_;
};

} // namespace ecf::printer

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
#include <limits>
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

// What the printer did since the watch began: the calls made and the first result that is not
// the family's success value.
struct CallWatch {
    int calls = 0;
    std::string refusal; // "Daruma_FI_VendeItem returned 0"; empty when none
};

class CallPipeline {
public:
    CallPipeline(std::shared_ptr<common::Trace> trace, std::shared_ptr<CannedResults> canned);

    // The canned entry for this call, or null (then the inner implementation serves it).
    const CannedEntry* take(std::string_view fn);
    // The call has returned: its result is checked against the family's success value (for
    // the watch), its "call" line written (when tracing).
    void trace(const CallRecord& record);
    // Whether a result is its family's success value; results the families give no success
    // value for (texts, property writes, the Sigtron Execute, ...) count as success.
    static bool isSuccess(const CallRecord& record);
    bool tracing() const { return trace_ != nullptr; }
    // Writes another kind of trace line (a JSON object) when tracing.
    void traceLine(std::string_view json);

    // The watch over calls (reset it to begin watching).
    CallWatch& watch() { return watch_; }

    // The line as written to the trace, without the line feed.
    static std::string toJson(const CallRecord& record);

    // The usual call with an integer result and no output buffer: a canned entry's "ret"
    // (`success` when the entry gives none) or what `inner()` returns, traced.
    template <class Inner>
    int callInteger(const char* family, const char* fn, std::vector<CallArg> args, std::int64_t success,
                    Inner&& inner)
    {
        int result;
        if (const CannedEntry* e = take(fn))
            result = toInt(e->retInteger(success));
        else
            result = inner();
        {
            CallRecord rec{family, fn, std::move(args), std::int64_t{result}, {}};
            trace(rec);
        }
        return result;
    }

    // A canned integer brought into the range of the libraries' int results.
    static int toInt(std::int64_t v)
    {
        if (v > std::numeric_limits<int>::max())
            return std::numeric_limits<int>::max();
        if (v < std::numeric_limits<int>::min())
            return std::numeric_limits<int>::min();
        return static_cast<int>(v);
    }

private:
    std::shared_ptr<common::Trace> trace_;
    std::shared_ptr<CannedResults> canned_;
    CallWatch watch_;
    int callCount_ = 0; // calls of the run, for the fault-injection points
};

} // namespace ecf::printer

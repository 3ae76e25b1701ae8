#pragma once
// The call pipeline that every maker-interface call passes: the typed call becomes one call
// record, a canned entry (ECF_EMULATOR) or the implementation behind it (the emulator, later a
// real maker library) serves it, and the record is written to the trace when the call returns.
//
// Each family has a traced wrapper implementing its maker interface over an inner
// implementation, derived from the family's list of functions (traced_call.h): every wrapper
// function hands its call to CallPipeline::call and nothing else.
#include "printer/canned.h"
#include "printer/library/maker_signatures.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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
    // The function's success rule, from its family's list (null: every result counts as success).
    const library::SuccessRule* success = nullptr;
};

// What the printer did since the watch began: the calls made and the first result that is not
// the family's success value.
struct CallWatch {
    int calls = 0;
    std::string refusal; // "Daruma_FI_VendeItem returned 0"; empty when none
    bool lastOk = true;  // the latest call's result was its family's success value
    bool libraryFailed = false; // the maker's library stopped answering (its calls failed since)
};

class CallPipeline {
public:
    CallPipeline(std::shared_ptr<common::Trace> trace, std::shared_ptr<CannedResults> canned);

    // The canned entry for this call, or null (then the inner implementation serves it).
    const CannedEntry* take(std::string_view fn);
    // The call has returned: its result is checked against the family's success value (for
    // the watch), its "call" line written (when tracing), and a fault-injection point passed.
    void trace(const CallRecord& record);
    // Whether a result is its function's success value; results the functions give no success
    // value for (texts, property writes, the Sigtron Execute, ...) count as success.
    static bool isSuccess(const CallRecord& record);
    bool tracing() const { return trace_ != nullptr; }
    // Writes another kind of trace line (a JSON object) when tracing.
    void traceLine(std::string_view json);
    // The watch over calls (reset it to begin watching).
    CallWatch& watch() { return watch_; }

    // The line as written to the trace, without the line feed.
    static std::string toJson(const CallRecord& record);

    // The one way every maker call goes, whatever its kind: a canned entry serves the call when
    // there is one (`fromCanned`), otherwise the implementation behind the interface does
    // (`inner`: the emulator, or any other source of the family's calls); `complete` then fills
    // the record's ret and out from the result (and may cut the result as the library would),
    // and the record is traced. A call without a result returns std::monostate from both.
    // This is the single point before and after every printer call.
    template <class FromCanned, class Inner, class Complete>
    auto call(CallRecord rec, FromCanned&& fromCanned, Inner&& inner, Complete&& complete)
    {
        using Result = decltype(inner());
        Result result = [&]() -> Result {
            if (const CannedEntry* e = take(rec.fn))
                return fromCanned(*e);
            return inner();
        }();
        complete(rec, result);
        trace(rec);
        return result;
    }

    // A library's reply written over the start of a buffer of `size` bytes, ended with a NUL
    // when there is room; the buffer never grows.
    static void writeReply(char* buffer, std::size_t size, std::string_view reply)
    {
        const std::size_t n = std::min(reply.size(), size);
        if (n)
            std::memcpy(buffer, reply.data(), n);
        if (n < size)
            buffer[n] = '\0';
    }
    // The text a buffer of `size` bytes holds, up to its first NUL.
    static std::string replyText(const char* buffer, std::size_t size);

private:
    std::shared_ptr<common::Trace> trace_;
    std::shared_ptr<CannedResults> canned_;
    CallWatch watch_;
    int callCount_ = 0; // calls of the run, for the fault-injection points
};

} // namespace ecf::printer

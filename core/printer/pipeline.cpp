#include "printer/pipeline.h"

#include "common/fault_point.h"
#include "common/trace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace ecf::printer {

namespace json = common::json;

CallPipeline::CallPipeline(std::shared_ptr<common::Trace> trace, std::shared_ptr<CannedResults> canned)
    : trace_(std::move(trace)), canned_(std::move(canned))
{
}

const CannedEntry* CallPipeline::take(std::string_view fn)
{
    return canned_ ? canned_->take(fn) : nullptr;
}

namespace {

void appendNumber(std::string& out, double d)
{
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    char buf[40];
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", d);
    else
        std::snprintf(buf, sizeof buf, "%.17g", d);
    out += buf;
}

struct ArgWriter {
    std::string& out;
    void operator()(std::int64_t v) const { out += std::to_string(v); }
    void operator()(double v) const { appendNumber(out, v); }
    void operator()(const std::string& v) const { json::appendLatin1(out, v); }
    void operator()(const std::u16string& v) const { json::appendUtf16(out, v); }
};

struct RetWriter {
    std::string& out;
    void operator()(std::monostate) const { out += "null"; }
    void operator()(std::int64_t v) const { out += std::to_string(v); }
    void operator()(bool v) const { out += v ? "true" : "false"; }
    void operator()(const std::string& v) const { json::appendLatin1(out, v); }
    void operator()(const std::u16string& v) const { json::appendUtf16(out, v); }
};

struct OutWriter {
    std::string& out;
    void operator()(std::monostate) const { out += "null"; }
    void operator()(const std::string& v) const { json::appendLatin1(out, v); }
    void operator()(const std::u16string& v) const { json::appendUtf16(out, v); }
    void operator()(const std::vector<std::int64_t>& v) const
    {
        out.push_back('[');
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (i)
                out.push_back(',');
            out += std::to_string(v[i]);
        }
        out.push_back(']');
    }
};

} // namespace

std::string CallPipeline::toJson(const CallRecord& r)
{
    std::string out;
    out.reserve(96);
    out += R"({"ev":"call","family":")";
    out += r.family;
    out += R"(","fn":")";
    out += r.fn;
    out += R"(","args":[)";
    for (std::size_t i = 0; i < r.args.size(); ++i) {
        if (i)
            out.push_back(',');
        std::visit(ArgWriter{out}, r.args[i]);
    }
    out += R"(],"ret":)";
    std::visit(RetWriter{out}, r.ret);
    out += R"(,"out":)";
    std::visit(OutWriter{out}, r.out);
    out.push_back('}');
    return out;
}

bool CallPipeline::isSuccess(const CallRecord& r)
{
    if (!r.success)
        return true;
    const library::SuccessRule& rule = *r.success;
    if (rule.kind == library::SuccessRule::True)
        return !std::holds_alternative<bool>(r.ret) || std::get<bool>(r.ret);
    if (!std::holds_alternative<std::int64_t>(r.ret))
        return true; // a text or no result: nothing to compare
    const std::int64_t ret = std::get<std::int64_t>(r.ret);
    switch (rule.kind) {
    case library::SuccessRule::Equals: return ret == rule.value;
    case library::SuccessRule::NonZero: return ret != 0;
    case library::SuccessRule::FirstArgument:
        return r.args.empty() || !std::holds_alternative<std::int64_t>(r.args[0]) ||
               ret == std::get<std::int64_t>(r.args[0]);
    case library::SuccessRule::Any:
    case library::SuccessRule::True: break;
    }
    return true;
}

std::string CallPipeline::replyText(const char* buffer, std::size_t size)
{
    return std::string(buffer, strnlen(buffer, size));
}

void CallPipeline::trace(const CallRecord& record)
{
    ++watch_.calls;
    watch_.lastOk = isSuccess(record);
    if (watch_.refusal.empty() && !watch_.lastOk) {
        std::string ret;
        if (std::holds_alternative<bool>(record.ret))
            ret = std::get<bool>(record.ret) ? "true" : "false";
        else if (std::holds_alternative<std::int64_t>(record.ret))
            ret = std::to_string(std::get<std::int64_t>(record.ret));
        watch_.refusal = std::string(record.fn) + " returned " + ret;
    }
    if (trace_)
        trace_->writeLine(toJson(record));
    ++callCount_;
    if (common::faultPointsArmed())
        common::faultPoint("call:" + std::to_string(callCount_));
}

void CallPipeline::traceLine(std::string_view json)
{
    if (trace_)
        trace_->writeLine(json);
}

} // namespace ecf::printer

#include "printer/sigtron/sigtron_traced.h"

namespace ecf::printer::sigtron {

namespace {

constexpr const char* family = "sigtron";

// The arguments are copied only when a trace will show them.
CallRecord record(const char* fn, std::initializer_list<const std::u16string*> args, bool tracing)
{
    CallRecord rec{family, fn, {}, {}, {}};
    if (!tracing)
        return rec;
    rec.args.reserve(args.size());
    for (const auto* a : args)
        rec.args.emplace_back(*a);
    return rec;
}

void setRet(CallRecord& rec, std::monostate) { rec.ret = std::monostate{}; }
void setRet(CallRecord& rec, bool v) { rec.ret = v; }
void setRet(CallRecord& rec, int v) { rec.ret = std::int64_t{v}; }
void setRet(CallRecord& rec, const std::u16string& v) { rec.ret = v; }

} // namespace

template <class FromCanned, class Inner>
auto SigtronTraced::call(const char* fn, std::initializer_list<const std::u16string*> args, FromCanned&& fromCanned,
                         Inner&& inner)
{
    return pipe_.call(record(fn, args, pipe_.tracing()), std::forward<FromCanned>(fromCanned), std::forward<Inner>(inner),
                      [](CallRecord& rec, const auto& result) { setRet(rec, result); });
}

template <class Call>
void SigtronTraced::voidCall(const char* fn, std::initializer_list<const std::u16string*> args, Call&& inner)
{
    call(
        fn, args, [](const CannedEntry&) { return std::monostate{}; },
        [&] {
            inner();
            return std::monostate{};
        });
}

void SigtronTraced::CmdFileName(const std::u16string& value)
{
    voidCall("CmdFileName", {&value}, [&] { inner_.CmdFileName(value); });
}

void SigtronTraced::CommConfig(const std::u16string& value)
{
    voidCall("CommConfig", {&value}, [&] { inner_.CommConfig(value); });
}

void SigtronTraced::LibName(const std::u16string& value)
{
    voidCall("LibName", {&value}, [&] { inner_.LibName(value); });
}

void SigtronTraced::CmdName(const std::u16string& value)
{
    voidCall("CmdName", {&value}, [&] { inner_.CmdName(value); });
}

bool SigtronTraced::Open()
{
    return call("Open", {}, [](const CannedEntry& e) { return e.retBool(true); }, [&] { return inner_.Open(); });
}

void SigtronTraced::Close()
{
    voidCall("Close", {}, [&] { inner_.Close(); });
}

int SigtronTraced::SendText(const std::u16string& text)
{
    return call("SendText", {&text}, [](const CannedEntry& e) { return e.resultCode(0); },
                [&] { return inner_.SendText(text); });
}

int SigtronTraced::Execute()
{
    // A canned entry's "values" answer the ReturnValue calls until the next Execute.
    cannedValues_.reset();
    return call(
        "Execute", {},
        [&](const CannedEntry& e) {
            if (e.hasValues) {
                cannedValues_.emplace();
                for (const auto& [name, value] : e.values)
                    (*cannedValues_)[jsonTextToWide(name)] = jsonTextToWide(value);
            }
            return e.resultCode(0);
        },
        [&] { return inner_.Execute(); });
}

void SigtronTraced::SetParameter(const std::u16string& name, const std::u16string& value)
{
    voidCall("SetParameter", {&name, &value}, [&] { inner_.SetParameter(name, value); });
}

std::u16string SigtronTraced::ReturnValue(const std::u16string& name)
{
    return call("ReturnValue", {&name}, [](const CannedEntry& e) { return e.retWide(std::u16string()); },
                [&]() -> std::u16string {
                    if (!cannedValues_)
                        return inner_.ReturnValue(name);
                    const auto it = cannedValues_->find(name);
                    return it != cannedValues_->end() ? it->second : std::u16string();
                });
}

} // namespace ecf::printer::sigtron

#include "printer/sigtron/sigtron_traced.h"

#include <limits>

namespace ecf::printer::sigtron {

namespace {
constexpr const char* family = "sigtron";
}

void SigtronTraced::trace(const char* fn, std::initializer_list<const std::u16string*> args, CallRet ret)
{
    CallRecord rec;
    rec.family = family;
    rec.fn = fn;
    rec.args.reserve(args.size());
    for (const auto* a : args)
        rec.args.emplace_back(*a);
    rec.ret = std::move(ret);
    pipe_.trace(rec);
}

template <class Call>
void SigtronTraced::voidCall(const char* fn, std::initializer_list<const std::u16string*> args, Call&& call)
{
    if (!pipe_.take(fn))
        call();
    trace(fn, args, std::monostate{});
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
    bool result;
    if (const CannedEntry* e = pipe_.take("Open"))
        result = e->retBool(true);
    else
        result = inner_.Open();
    trace("Open", {}, result);
    return result;
}

void SigtronTraced::Close()
{
    voidCall("Close", {}, [&] { inner_.Close(); });
}

int SigtronTraced::SendText(const std::u16string& text)
{
    int result;
    if (const CannedEntry* e = pipe_.take("SendText")) {
        const auto v = e->retInteger(0);
        result = v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min() ? -1 : static_cast<int>(v);
    } else {
        result = inner_.SendText(text);
    }
    trace("SendText", {&text}, static_cast<std::int64_t>(result));
    return result;
}

int SigtronTraced::Execute()
{
    int result;
    cannedValues_.reset();
    if (const CannedEntry* e = pipe_.take("Execute")) {
        const auto v = e->retInteger(0);
        result = v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min() ? -1 : static_cast<int>(v);
        if (e->hasValues) {
            cannedValues_.emplace();
            for (const auto& [name, value] : e->values)
                (*cannedValues_)[jsonTextToWide(name)] = jsonTextToWide(value);
        }
    } else {
        result = inner_.Execute();
    }
    trace("Execute", {}, static_cast<std::int64_t>(result));
    return result;
}

void SigtronTraced::SetParameter(const std::u16string& name, const std::u16string& value)
{
    voidCall("SetParameter", {&name, &value}, [&] { inner_.SetParameter(name, value); });
}

std::u16string SigtronTraced::ReturnValue(const std::u16string& name)
{
    std::u16string result;
    if (const CannedEntry* e = pipe_.take("ReturnValue")) {
        result = e->retWide(std::u16string());
    } else if (cannedValues_) {
        if (const auto it = cannedValues_->find(name); it != cannedValues_->end())
            result = it->second;
    } else {
        result = inner_.ReturnValue(name);
    }
    trace("ReturnValue", {&name}, result);
    return result;
}

} // namespace ecf::printer::sigtron

#pragma once
// The traced form of every maker function, derived from its family's list: the call record's
// arguments, result and out are read from the function's parameter kinds, a canned entry stands
// in for the call as the function's kinds allow, and the call passes CallPipeline::call.
#include "printer/maker_function.h"
#include "printer/pipeline.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

namespace ecf::printer {

namespace traced {

// The argument as the trace shows it: a buffer as prepared; an IntOut is no argument.
template <class P, std::size_t I, class Tuple>
void addArgument(std::vector<CallArg>& out, const Tuple& args)
{
    const auto& v = std::get<I>(args);
    if constexpr (std::is_same_v<P, int>)
        out.emplace_back(std::int64_t{v});
    else if constexpr (std::is_same_v<P, double>)
        out.emplace_back(v);
    else if constexpr (std::is_same_v<P, Text> || std::is_same_v<P, WideText>)
        out.emplace_back(v);
    else if constexpr (std::is_same_v<P, RawText>)
        out.emplace_back(std::string(v));
    else if constexpr (std::is_same_v<P, TextBuffer>)
        out.emplace_back(CallPipeline::replyText(v.data(), v.size()));
    else if constexpr (std::is_same_v<P, RawBuffer>)
        out.emplace_back(CallPipeline::replyText(v, rawLength<I>(args)));
}

// What the call leaves in its buffer or its IntOut integers (the record's out).
template <class... P, class Tuple, std::size_t... I>
CallOut outOf(const Tuple& args, std::index_sequence<I...>)
{
    CallOut out;
    std::vector<std::int64_t> ints;
    auto one = [&]<class Q, std::size_t K>() {
        const auto& v = std::get<K>(args);
        if constexpr (std::is_same_v<Q, TextBuffer>)
            out = CallPipeline::replyText(v.data(), v.size());
        else if constexpr (std::is_same_v<Q, RawBuffer>)
            out = CallPipeline::replyText(v, rawLength<K>(args));
        else if constexpr (std::is_same_v<Q, IntOut>)
            ints.push_back(v);
    };
    (one.template operator()<P, I>(), ...);
    (void)one; // a function without parameters
    if (!ints.empty())
        out = std::move(ints);
    return out;
}

// A canned "out" written over the function's buffer, as the library would.
template <class... P, class Tuple, std::size_t... I>
void writeCannedOut(const CannedEntry& e, Tuple& args, std::index_sequence<I...>)
{
    if (!e.hasOut)
        return;
    const std::string reply = e.out ? jsonTextToBytes(*e.out) : std::string();
    auto one = [&]<class Q, std::size_t K>() {
        auto& v = std::get<K>(args);
        if constexpr (std::is_same_v<Q, TextBuffer>)
            CallPipeline::writeReply(v.data(), v.size(), reply);
        else if constexpr (std::is_same_v<Q, RawBuffer>)
            CallPipeline::writeReply(v, rawLength<K>(args), reply);
    };
    (one.template operator()<P, I>(), ...);
    (void)one;
}

// void results travel the pipeline as "no result".
template <class R>
using Stored = std::conditional_t<std::is_void_v<R>, std::monostate, R>;

struct NoCannedHook {
    void operator()(const CannedEntry&) const {}
};

} // namespace traced

// One call of the maker function `fn` (its position `index` in the family's list) through the
// pipeline: `inner` makes it on the implementation behind the interface; `onCanned` sees a
// canned entry that stands in for it, for what a family does besides (a reply file, named
// results).
template <class Lib, class R, class... P, class Inner, class OnCanned = traced::NoCannedHook>
R tracedCall(CallPipeline& pipe, R (Lib::*)(P...), int index, Inner&& inner,
             std::tuple<std::remove_reference_t<P>&...> args, OnCanned&& onCanned = {})
{
    using Result = traced::Stored<R>;
    const library::LibraryFamily& family = Lib::library();
    const library::Signature& sig = family.functions[static_cast<std::size_t>(index)];
    CallRecord rec{family.family, sig.fn, {}, {}, {}, &sig.success};
    if constexpr (sizeof...(P) > 0) {
        rec.args.reserve(sizeof...(P));
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            (traced::addArgument<P, I>(rec.args, args), ...);
        }(std::index_sequence_for<P...>{});
    }
    auto fromCanned = [&](const CannedEntry& e) -> Result {
        onCanned(e);
        traced::writeCannedOut<P...>(e, args, std::index_sequence_for<P...>{});
        if constexpr (std::is_same_v<R, int>) {
            std::int64_t absent = sig.success.value;
            if (sig.success.kind == library::SuccessRule::FirstArgument && !rec.args.empty() &&
                std::holds_alternative<std::int64_t>(rec.args[0]))
                absent = std::get<std::int64_t>(rec.args[0]);
            return e.resultCode(static_cast<int>(absent));
        } else if constexpr (std::is_same_v<R, bool>) {
            return e.retBool(sig.success.value != 0);
        } else if constexpr (std::is_same_v<R, TextResult>) {
            return e.retBytes(std::string());
        } else if constexpr (std::is_same_v<R, WideResult>) {
            return e.retWide(std::u16string());
        } else {
            return std::monostate{};
        }
    };
    auto call = [&]() -> Result {
        if constexpr (std::is_void_v<R>) {
            inner();
            return std::monostate{};
        } else {
            return inner();
        }
    };
    auto complete = [&](CallRecord& r, Result& result) {
        if constexpr (std::is_same_v<R, int>) {
            r.ret = std::int64_t{result};
        } else if constexpr (std::is_same_v<R, TextResult>) {
            // The library returns a zero-terminated text: nothing after a NUL reaches the program.
            if (const auto nul = result.find('\0'); nul != std::string::npos)
                result.resize(nul);
            r.ret = result;
        } else if constexpr (!std::is_void_v<R>) {
            r.ret = result;
        }
        r.out = traced::outOf<P...>(args, std::index_sequence_for<P...>{});
    };
    if constexpr (std::is_void_v<R>)
        pipe.call(std::move(rec), fromCanned, call, complete);
    else
        return pipe.call(std::move(rec), fromCanned, call, complete);
}

} // namespace ecf::printer

// A traced override: the call made on `inner_` through `pipe_`.
#define ECF_TRACED_OVERRIDE(R, N, P, A, ...)                                                            \
    R N P override                                                                                       \
    {                                                                                                    \
        return ::ecf::printer::tracedCall(pipe_, &Lib::N, Lib::fn_##N, [&] { return inner_.N A; },       \
                                          std::forward_as_tuple A);                                      \
    }

// The traced wrapper `Name` of the interface `Base` from its list: every function passes the
// pipeline to the implementation behind it. A family that does more for a canned entry
// overrides that function in a class of its own over this one.
#define ECF_TRACED_CLASS(Name, Base, LIST)                                                              \
    class Name : public Base {                                                                           \
    public:                                                                                              \
        using Lib = Base;                                                                                \
        Name(::ecf::printer::CallPipeline& pipe, Base& inner) : pipe_(pipe), inner_(inner) {}            \
        LIST(ECF_TRACED_OVERRIDE)                                                                        \
                                                                                                         \
    protected:                                                                                           \
        ::ecf::printer::CallPipeline& pipe_;                                                             \
        Base& inner_;                                                                                    \
    }

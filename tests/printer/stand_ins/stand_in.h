#pragma once
// What the stand-in maker libraries share: the emulated printer they answer with, and the faults
// a test asks for in STANDIN_FAULT, "KIND:FUNCTION[:N]" (on the Nth call of FUNCTION, default
// the first): "crash" aborts, "hang" never returns, "overflow" writes far past the buffer.
#include "printer/emulated_printer.h"
#include "printer/maker_function.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>
#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

// Linux: the maker's names with plain C calls. Windows (built with MinGW): stdcall functions,
// exported without decoration, as the makers' own libraries do.
#if defined(_WIN32)
#define STANDIN_EXPORT extern "C" __declspec(dllexport)
#define STANDIN_CALL __stdcall
#else
#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#define STANDIN_CALL
#endif

namespace standin {

inline ecf::printer::EmulatedPrinter& printer()
{
    static ecf::printer::EmulatedPrinter p;
    return p;
}

// Acts on STANDIN_FAULT for this call of `fn`; `buffer` is its out buffer, if any.
inline void enter(const char* fn, char* buffer = nullptr)
{
    static std::map<std::string, int> calls;
    const char* fault = std::getenv("STANDIN_FAULT");
    if (!fault)
        return;
    const std::string s = fault;
    const auto c1 = s.find(':');
    if (c1 == std::string::npos)
        return;
    const auto c2 = s.find(':', c1 + 1);
    const std::string kind = s.substr(0, c1);
    const std::string name = s.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1);
    const int nth = c2 == std::string::npos ? 1 : std::atoi(s.c_str() + c2 + 1);
    if (name != fn || ++calls[name] != nth)
        return;
    if (kind == "crash")
        std::abort();
    if (kind == "hang")
        for (;;)
#if defined(_WIN32)
            Sleep(INFINITE);
#else
            ::pause();
#endif
    if (kind == "overflow" && buffer)
        std::memset(buffer, 'X', 8192);
}

// The kinds of the makers' lists as the libraries export them: plain C types.
namespace c {
using Text = const char*;
using TextBuffer = char*;
using RawText = const char*;
using RawBuffer = char*;
using IntOut = int*;
using TextResult = const char*;
} // namespace c

namespace detail {

// A C argument made the emulator's parameter, and what it wrote put back after the call.
template <class P, class C>
struct Argument {
    C value;
    P get() { return value; }
    void done() {}
};
template <>
struct Argument<ecf::printer::Text, const char*> {
    std::string value;
    explicit Argument(const char* v) : value(v) {}
    const std::string& get() { return value; }
    void done() {}
};
template <>
struct Argument<ecf::printer::IntOut, int*> {
    int* value;
    int& get() { return *value; }
    void done() {}
};
// A TextBuffer of the signature's size, copied back whole.
struct FilledBuffer {
    char* target;
    std::string value;
    FilledBuffer(char* t, int size) : target(t), value(t, static_cast<std::size_t>(size)) {}
    std::string& get() { return value; }
    void done() { std::memcpy(target, value.data(), value.size()); }
};

inline const char* keep(std::string text)
{
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

} // namespace detail

// The emulator's function `fn` (position `index` in its family's list) called with the C
// arguments a stand-in export received, after the STANDIN_FAULT check.
template <class Emulator, class Lib, class R, class... P, class... C>
auto forward(Emulator& emulator, R (Lib::*fn)(P...), int index, std::tuple<C&...> args)
{
    const ecf::printer::library::Signature& sig = Lib::library().functions[static_cast<std::size_t>(index)];
    char* buffer = nullptr;
    std::apply(
        [&](auto&... a) {
            (
                [&] {
                    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(a)>, char*>)
                        buffer = a;
                }(),
                ...);
        },
        args);
    enter(sig.fn, buffer);
    auto held = std::apply(
        [&](auto&... a) {
            return std::tuple{[&]<class Q, class V>(V v) {
                if constexpr (std::is_same_v<Q, ecf::printer::TextBuffer>)
                    return detail::FilledBuffer(v, sig.bufferSize);
                else
                    return detail::Argument<Q, V>{v};
            }.template operator()<P>(a)...};
        },
        args);
    auto call = [&] { return std::apply([&](auto&... h) { return (static_cast<Lib&>(emulator).*fn)(h.get()...); }, held); };
    if constexpr (std::is_void_v<R>) {
        call();
        std::apply([](auto&... h) { (h.done(), ...); }, held);
    } else {
        R r = call();
        std::apply([](auto&... h) { (h.done(), ...); }, held);
        if constexpr (std::is_same_v<R, std::string>)
            return detail::keep(std::move(r));
        else
            return r;
    }
}

} // namespace standin

// One export of a stand-in library: the maker's function with plain C parameters, answered by
// the including file's emulator, emu(), whose interface the file names `Lib`.
#define STANDIN_FUNCTION(R, N, P, A, ...)                                                                \
    STANDIN_EXPORT R STANDIN_CALL N P { return standin::forward(emu(), &Lib::N, Lib::fn_##N, std::forward_as_tuple A); }

// Every export of a family's list, in namespace standin::c (so that its kinds are the C types).
#define STANDIN_LIBRARY(LIST)                                                                            \
    namespace standin::c {                                                                               \
    LIST(STANDIN_FUNCTION)                                                                               \
    }

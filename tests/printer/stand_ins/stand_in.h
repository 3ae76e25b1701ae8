#pragma once
// What the stand-in maker libraries share: the emulated printer they answer with, and the faults
// a test asks for in STANDIN_FAULT, "KIND:FUNCTION[:N]" (on the Nth call of FUNCTION, default
// the first): "crash" aborts, "hang" never returns, "overflow" writes far past the buffer.
#include "printer/emulated_printer.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
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

// A call on a buffer of `size` bytes that the library fills.
template <class Call>
int filled(char* buffer, std::size_t size, Call&& call)
{
    std::string b(buffer, size);
    const int r = call(b);
    std::memcpy(buffer, b.data(), size);
    return r;
}

} // namespace standin

// A call forwarded to the including library's emulator, emu(), after the fault check.
#define CALL(fn, ...) (standin::enter(#fn), emu().fn(__VA_ARGS__))

// ecf-maker-host FAMILY LIBRARY
//
// The helper process in which the program loads a maker library: it loads LIBRARY, looks up
// every function of FAMILY's table at once, says so on its channel, and then makes each call
// the program sends (printer/library/maker_protocol.h) until told to quit or the channel
// closes. A library that crashes or hangs takes only this process down.
//
// The same program is built three ways: for Linux on 64 bits (libffi makes the calls) and on
// 32 bits (ecf-maker-host32), talking on the socket at descriptor 3; and for Windows
// (ecf-maker-host32.exe, run under Wine), talking on its standard input and output, loading a
// Windows library by name or, where the table gives one, by ordinal. On 32-bit x86 every
// argument goes on the stack: the arguments are laid out as stack words and the stack pointer
// is restored after the call, so that a stdcall function (which pops them) and a cdecl one
// (which does not) both work.
#include "printer/library/maker_protocol.h"
#include "printer/library/maker_signatures.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

#if !defined(__i386__)
#include <ffi.h>
#endif

#if defined(__i386__)
// ecfCallWords(fn, words, count): pushes `count` stack words, calls fn and puts the stack
// pointer back whatever the callee popped; the result is edx:eax.
extern "C" std::uint64_t ecfCallWords(void* fn, const std::uint32_t* words, std::uint32_t count) asm("ecf_call_words");
asm(".text\n"
    ".globl ecf_call_words\n"
    "ecf_call_words:\n"
    "  push %ebp\n"
    "  mov %esp, %ebp\n"
    "  push %esi\n"
    "  push %edi\n"
    "  mov 16(%ebp), %ecx\n"
    "  mov 12(%ebp), %esi\n"
    "  lea 0(,%ecx,4), %eax\n"
    "  sub %eax, %esp\n"
    "  and $-16, %esp\n"
    "  mov %esp, %edi\n"
    "  cld\n"
    "  rep movsl\n"
    "  call *8(%ebp)\n"
    "  lea -8(%ebp), %esp\n"
    "  pop %edi\n"
    "  pop %esi\n"
    "  pop %ebp\n"
    "  ret\n");
#endif

namespace lib = ecf::printer::library;
namespace wire = ecf::printer::library::wire;

namespace {

// Room beyond a buffer's documented size, and the guard bytes after it that tell a library
// that wrote even further.
constexpr std::size_t spare = 4096;
constexpr std::size_t guardSize = 256;
constexpr unsigned char guardByte = 0xA5;
// The longest text result taken from a library.
constexpr std::size_t maxText = 1u << 20;

// Buffers live here, not on the heap, so that a write past them lands in the guard first.
alignas(16) char arena[1u << 18];

// The channel to the program: one read or write of at most `size` bytes; <= 0 when it ended.
#if defined(_WIN32)
HANDLE channelIn = INVALID_HANDLE_VALUE;
HANDLE channelOut = INVALID_HANDLE_VALUE;

long channelRead(char* dst, std::size_t size)
{
    DWORD n = 0;
    if (!ReadFile(channelIn, dst, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &n, nullptr))
        return -1;
    return static_cast<long>(n);
}

long channelWrite(const char* src, std::size_t size)
{
    DWORD n = 0;
    if (!WriteFile(channelOut, src, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &n, nullptr))
        return -1;
    return static_cast<long>(n);
}

// The program's pipes are the standard input and output; a library that prints gets standard
// error for both, so that nothing of its own reaches the channel.
void openChannel()
{
    const HANDLE self = GetCurrentProcess();
    DuplicateHandle(self, GetStdHandle(STD_INPUT_HANDLE), self, &channelIn, 0, FALSE, DUPLICATE_SAME_ACCESS);
    DuplicateHandle(self, GetStdHandle(STD_OUTPUT_HANDLE), self, &channelOut, 0, FALSE, DUPLICATE_SAME_ACCESS);
    SetStdHandle(STD_INPUT_HANDLE, INVALID_HANDLE_VALUE);
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
}
#else
constexpr int channel = 3;

long channelRead(char* dst, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(channel, dst, size);
        if (n < 0 && errno == EINTR)
            continue;
        return static_cast<long>(n);
    }
}

long channelWrite(const char* src, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::write(channel, src, size);
        if (n < 0 && errno == EINTR)
            continue;
        return static_cast<long>(n);
    }
}

void openChannel()
{
    std::signal(SIGPIPE, SIG_IGN);
    // The helper dies with the program, even in the middle of a call that hangs (the parent-death
    // signal); when idle it ends as the channel closes.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}
#endif

[[noreturn]] void quit(int status)
{
#if defined(_WIN32)
    // The library's own clean-up (its DllMain at exit) is not waited for.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
#endif
    ::_exit(status);
}

bool writeAll(const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const long n = channelWrite(data.data() + done, data.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool readAll(char* dst, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const long n = channelRead(dst + done, size - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A request comes whole in one read as a rule; the rest of a longer one is read after.
bool readFrame(std::string& payload)
{
    static char chunk[1 << 16];
    std::size_t have = 0;
    while (have < 4) {
        const long n = channelRead(chunk + have, sizeof chunk - have);
        if (n <= 0)
            return false;
        have += static_cast<std::size_t>(n);
    }
    const std::uint32_t size = wire::frameLength(chunk);
    if (size > wire::maxFrame || have - 4 > size) // the program sends one request at a time
        return false;
    payload.assign(chunk + 4, have - 4);
    const std::size_t done = payload.size();
    payload.resize(size);
    return readAll(payload.data() + done, size - done);
}

[[noreturn]] void fail(const std::string& detail)
{
    writeAll(wire::encodeFault(detail));
    quit(2);
}

// One prepared function: its address and, on 64-bit builds, its libffi call description.
struct Function {
    const lib::Signature* sig = nullptr;
    void* address = nullptr;
#if !defined(__i386__)
    ffi_cif cif{};
    std::vector<ffi_type*> types;
#endif
};

bool prepare(Function& f)
{
#if defined(__i386__)
    (void)f;
    return true;
#else
    for (const char* a = f.sig->args; *a; ++a)
        f.types.push_back(*a == 'i' ? &ffi_type_sint : *a == 'd' ? &ffi_type_double : &ffi_type_pointer);
    ffi_type* ret = f.sig->ret == 'i' ? &ffi_type_sint : f.sig->ret == 's' ? &ffi_type_pointer : &ffi_type_void;
    return ffi_prep_cif(&f.cif, FFI_DEFAULT_ABI, static_cast<unsigned>(f.types.size()), ret, f.types.data()) ==
           FFI_OK;
#endif
}

// Makes the call with `args` (decoded from the request) and answers it.
void call(const Function& f, std::vector<wire::Value>& args)
{
    const lib::Signature& sig = *f.sig;
    const std::size_t count = args.size();
    std::vector<int> ints(count);
    std::vector<void*> pointers(count);
    struct Buffer {
        std::size_t arg, offset, size, guard;
    };
    std::vector<Buffer> buffers;
    std::size_t used = 0;

    for (std::size_t k = 0; k < count; ++k) {
        switch (sig.args[k]) {
        case 'i': ints[k] = static_cast<int>(args[k].i); break;
        case 's': pointers[k] = const_cast<char*>(args[k].s.c_str()); break;
        case 'r': ints[k] = 0; pointers[k] = &ints[k]; break;
        case 'b': {
            const std::size_t given = args[k].s.size();
            const std::size_t size = std::max(given, static_cast<std::size_t>(sig.bufferSize)) + spare;
            if (used + size + guardSize > sizeof(arena))
                fail(std::string("buffer grande demais para ") + sig.fn);
            char* b = arena + used;
            std::memset(b, 0, size);
            std::memcpy(b, args[k].s.data(), given);
            std::memset(b + size, guardByte, guardSize);
            pointers[k] = b;
            buffers.push_back({k, used, size, used + size});
            used += size + guardSize;
            break;
        }
        default: break;
        }
    }

    wire::Value ret;
#if defined(__i386__)
    // The arguments are the 4-byte stack words in order, a double taking two.
    std::uint32_t words[64];
    std::uint32_t n = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const char kind = sig.args[k];
        if (kind == 'd') {
            std::memcpy(&words[n], &args[k].d, 8);
            n += 2;
        } else if (kind == 'i') {
            std::memcpy(&words[n++], &ints[k], 4);
        } else {
            std::memcpy(&words[n++], &pointers[k], 4);
        }
    }
    const std::uint64_t result = ecfCallWords(f.address, words, n);
    if (sig.ret == 'i')
        ret.i = static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
    else if (sig.ret == 's') {
        if (const char* t = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(result))))
            ret.s.assign(t, strnlen(t, maxText));
    }
#else
    std::vector<void*> values(count);
    for (std::size_t k = 0; k < count; ++k) {
        switch (sig.args[k]) {
        case 'i': values[k] = &ints[k]; break;
        case 'd': values[k] = &args[k].d; break;
        default: values[k] = &pointers[k]; break;
        }
    }
    ffi_arg result = 0;
    ffi_call(const_cast<ffi_cif*>(&f.cif), FFI_FN(f.address), &result, values.data());
    if (sig.ret == 'i')
        ret.i = static_cast<int>(result);
    else if (sig.ret == 's') {
        if (const char* t = reinterpret_cast<const char*>(result))
            ret.s.assign(t, strnlen(t, maxText));
    }
#endif

    for (const Buffer& b : buffers) {
        const char* guard = arena + b.guard;
        for (std::size_t g = 0; g < guardSize; ++g)
            if (static_cast<unsigned char>(guard[g]) != guardByte)
                fail(std::string("escreveu além do buffer de ") + sig.fn);
        // What comes back is cut to the size the program passed.
        args[b.arg].s.assign(arena + b.offset, args[b.arg].s.size());
    }
    for (std::size_t k = 0; k < count; ++k)
        if (sig.args[k] == 'r')
            args[k].i = ints[k];
    if (!writeAll(wire::encodeReply(sig, ret, args)))
        quit(1);
}


#if defined(_WIN32)
// A crash in the library ends the helper at once, without Wine's debugger or a dialog.
LONG WINAPI crashed(EXCEPTION_POINTERS*)
{
    quit(3);
}

// LIBRARY as the program names it: a Linux path becomes the Windows path Wine gives it.
std::wstring windowsPath(const char* path)
{
    if (path[0] == '/') {
        using DosName = WCHAR* (CDECL*)(const char*);
        const auto dosName = reinterpret_cast<DosName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
        if (WCHAR* w = dosName ? dosName(path) : nullptr) {
            std::wstring result(w);
            HeapFree(GetProcessHeap(), 0, w);
            return result;
        }
    }
    const int size = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path, -1, result.data(), size);
    result.resize(std::wcslen(result.c_str()));
    std::replace(result.begin(), result.end(), L'/', L'\\');
    return result;
}

std::string lastError()
{
    char text[512] = {};
    const DWORD code = GetLastError();
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s.empty() ? "erro " + std::to_string(code) : s + " (erro " + std::to_string(code) + ")";
}
#endif

// Loads the library; empty when it loaded, otherwise why not.
std::string load(const char* path, void*& handle)
{
#if defined(_WIN32)
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(crashed);
    // The library's own folder is searched first for the libraries it needs.
    handle = reinterpret_cast<void*>(LoadLibraryExW(windowsPath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return handle ? std::string() : lastError();
#else
    handle = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
    const char* why = handle ? nullptr : ::dlerror();
    return handle ? std::string() : why ? why : "?";
#endif
}

void* lookUp(void* handle, const lib::Signature& sig)
{
#if defined(_WIN32)
    const LPCSTR name = sig.ordinal ? MAKEINTRESOURCEA(sig.ordinal) : sig.symbol;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return ::dlsym(handle, sig.symbol);
#endif
}

} // namespace

int main(int argc, char** argv)
{
    openChannel();
    const lib::LibraryFamily* family = argc == 3 ? lib::findLibraryFamily(argv[1]) : nullptr;
    if (!family) {
        writeAll(wire::encodeHello(wire::BadRequest, "usage: ecf-maker-host FAMILY LIBRARY"));
        quit(2);
    }
    void* handle = nullptr;
    if (const std::string why = load(argv[2], handle); !handle) {
        writeAll(wire::encodeHello(wire::NotLoadable, why));
        quit(1);
    }
    std::vector<Function> functions(family->functions.size());
    for (std::size_t i = 0; i < functions.size(); ++i) {
        Function& f = functions[i];
        f.sig = &family->functions[i];
        f.address = lookUp(handle, *f.sig);
        if (!f.address) {
#if defined(_WIN32)
            const std::string missing = f.sig->ordinal
                ? std::string(f.sig->fn) + " (ordinal " + std::to_string(f.sig->ordinal) + ")" : f.sig->symbol;
#else
            const std::string missing = f.sig->symbol;
#endif
            writeAll(wire::encodeHello(wire::MissingSymbol, missing));
            quit(1);
        }
        if (!prepare(f)) {
            writeAll(wire::encodeHello(wire::BadRequest, f.sig->fn));
            quit(1);
        }
    }
    if (!writeAll(wire::encodeHello(wire::Ready, "")))
        quit(1);

    std::string payload;
    std::vector<wire::Value> args;
    while (readFrame(payload)) {
        if (payload.size() == 1 && static_cast<std::uint8_t>(payload[0]) == wire::quitTag)
            break;
        int index = -1;
        if (!wire::decodeCall(payload, *family, index, args))
            fail("pedido malformado");
        call(functions[static_cast<std::size_t>(index)], args);
    }
    // The library's own clean-up at exit is not waited for: it may hang like any call.
    quit(0);
}

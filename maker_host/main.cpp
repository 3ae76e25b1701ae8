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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <ole2.h>
#include <olectl.h>
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
    // The C runtime took its descriptors 0 and 1 from these handles before main.
    if (const int nul = _open("NUL", _O_RDONLY); nul >= 0) {
        _dup2(nul, 0);
        _close(nul);
    }
    _dup2(2, 1);
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

#if defined(_WIN32)
// The Sigtron control TSigDrCm: a COM object created as a container creates a control that is
// not shown, then driven by IDispatch::Invoke with the dispatch identifiers of its table.
const CLSID sigtronClass = {0xE082E834, 0xEA7F, 0x11D0, {0x86, 0xA4, 0x00, 0x00, 0x44, 0x02, 0x2A, 0x8A}};
IDispatch* control = nullptr;

// The client site of a control that is not shown: it offers nothing but itself.
struct ClientSite : IOleClientSite {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** m) override
    {
        *m = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override
    {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
} clientSite;

std::string failed(const std::string& what, HRESULT hr)
{
    char code[32];
    std::snprintf(code, sizeof code, " (HRESULT 0x%08lX)", static_cast<unsigned long>(hr));
    return what + code;
}

std::wstring wide(const char* text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, w.data(), size);
    w.resize(std::wcslen(w.c_str()));
    return w;
}

std::string load(const char* path, void*& handle);

// Creates the control from its file (its DllGetClassObject) or, given as a class identifier,
// from the prefix's registry; empty when it is ready, otherwise why not.
std::string createControl(const char* which)
{
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr))
        return failed("CoInitializeEx", hr);
    CLSID clsid = sigtronClass;
    IClassFactory* factory = nullptr;
    if (which[0] == '{') {
        std::wstring text = wide(which);
        if (FAILED(hr = CLSIDFromString(text.data(), &clsid)))
            return failed("identificador de classe inválido", hr);
        if (FAILED(hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                                         reinterpret_cast<void**>(&factory))))
            return failed("classe não registrada no Wine", hr);
    } else {
        void* handle = nullptr;
        if (const std::string why = load(which, handle); !handle)
            return why;
        using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        const auto get = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), "DllGetClassObject")));
        if (!get)
            return "não tem a função DllGetClassObject";
        if (FAILED(hr = get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
            return failed("DllGetClassObject recusou a classe do controle", hr);
    }
    // A control that asks for a license gets ECF_SIGTRON_LICENSE.
    IClassFactory2* licensed = nullptr;
    const char* key = std::getenv("ECF_SIGTRON_LICENSE");
    if (key && *key && SUCCEEDED(factory->QueryInterface(IID_IClassFactory2, reinterpret_cast<void**>(&licensed)))) {
        BSTR b = SysAllocString(wide(key).c_str());
        hr = licensed->CreateInstanceLic(nullptr, nullptr, IID_IDispatch, b, reinterpret_cast<void**>(&control));
        SysFreeString(b);
        licensed->Release();
    } else {
        hr = factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control));
    }
    factory->Release();
    if (FAILED(hr) || !control)
        return failed("o controle não foi criado", hr);
    IOleObject* ole = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)))) {
        ole->SetClientSite(&clientSite);
        ole->Release();
    }
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
    }
    return {};
}

// One call on the control: texts are the UTF-16 bytes of the program's wide texts.
void invoke(const lib::Signature& sig, std::vector<wire::Value>& args)
{
    const std::size_t count = args.size();
    std::vector<VARIANT> v(count);
    for (std::size_t k = 0; k < count; ++k) { // in reverse order, as IDispatch takes them
        VARIANT& a = v[count - 1 - k];
        VariantInit(&a);
        a.vt = VT_BSTR;
        a.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(args[k].s.data()),
                                      static_cast<UINT>(args[k].s.size() / 2));
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{v.data(), nullptr, static_cast<UINT>(count), 0};
    WORD flags = DISPATCH_METHOD;
    if (std::strcmp(sig.symbol, "put") == 0) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
        flags = DISPATCH_PROPERTYPUT;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT badArg = 0;
    const HRESULT hr = control->Invoke(sig.ordinal, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       flags == DISPATCH_METHOD ? &result : nullptr, &exception, &badArg);
    for (VARIANT& a : v)
        VariantClear(&a);
    if (FAILED(hr))
        fail(failed(std::string("o controle recusou ") + sig.fn, hr));
    wire::Value ret;
    if (sig.ret == 'i' || sig.ret == 'b') {
        if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4)))
            ret.i = sig.ret == 'b' ? result.lVal != 0 : result.lVal;
    } else if (sig.ret == 's') {
        if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BSTR)) && result.bstrVal)
            ret.s.assign(reinterpret_cast<const char*>(result.bstrVal), SysStringLen(result.bstrVal) * 2);
    }
    VariantClear(&result);
    if (!writeAll(wire::encodeReply(sig, ret, args)))
        quit(1);
}
#endif

} // namespace

int main(int argc, char** argv)
{
#if !defined(_WIN32)
    // ecf-maker-host --exec PROGRAM ARGS...: runs PROGRAM (Wine with the Windows helper) bound
    // to the program's life by the parent-death signal, which survives the exec.
    if (argc > 2 && std::strcmp(argv[1], "--exec") == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::execvp(argv[2], argv + 2);
        return 127;
    }
#endif
    openChannel();
    // The family's table comes first, from the program.
    std::string payload;
    wire::ReceivedFamily received;
    if (argc != 3 || !readFrame(payload) || !wire::decodeTable(payload, received)) {
        writeAll(wire::encodeHello(wire::BadRequest, "usage: ecf-maker-host FAMILY LIBRARY, then the family's table"));
        quit(2);
    }
    const lib::LibraryFamily table = received.family();
    const lib::LibraryFamily* family = &table;
    const bool sigtron = family->control;
#if defined(_WIN32)
    if (sigtron) {
        if (const std::string why = createControl(argv[2]); !why.empty()) {
            writeAll(wire::encodeHello(wire::NotLoadable, why));
            quit(1);
        }
    }
#else
    if (sigtron) {
        writeAll(wire::encodeHello(wire::NotLoadable, "o controle Sigtron é um componente do Windows"));
        quit(1);
    }
#endif
    void* handle = nullptr;
    if (const std::string why = sigtron ? std::string() : load(argv[2], handle); !sigtron && !handle) {
        writeAll(wire::encodeHello(wire::NotLoadable, why));
        quit(1);
    }
    std::vector<Function> functions(family->functions.size());
    for (std::size_t i = 0; i < functions.size(); ++i) {
        Function& f = functions[i];
        f.sig = &family->functions[i];
        if (sigtron)
            continue;
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

    std::vector<wire::Value> args;
    while (readFrame(payload)) {
        if (payload.size() == 1 && static_cast<std::uint8_t>(payload[0]) == wire::quitTag)
            break;
        int index = -1;
        if (!wire::decodeCall(payload, *family, index, args))
            fail("pedido malformado");
#if defined(_WIN32)
        if (sigtron) {
            invoke(family->functions[static_cast<std::size_t>(index)], args);
            continue;
        }
#endif
        call(functions[static_cast<std::size_t>(index)], args);
    }
    // The library's own clean-up at exit is not waited for: it may hang like any call.
    quit(0);
}

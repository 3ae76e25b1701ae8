// ecf-maker-host FAMILY LIBRARY
//
// The helper process in which the program loads a maker library: it loads LIBRARY, looks up
// every function of FAMILY's table at once, says so on the socket at descriptor 3, and then
// makes each call the program sends (printer/library/maker_protocol.h) until told to quit or
// the socket closes. A library that crashes or hangs takes only this process down.
//
// Every call goes one way, driven by the signature table: libffi on 64-bit builds; on a
// 32-bit x86 build, where every argument goes on the stack, the arguments are laid out as the
// stack words of a cdecl call.
#include "printer/library/maker_protocol.h"
#include "printer/library/maker_signatures.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

#if !defined(__i386__)
#include <ffi.h>
#endif

namespace lib = ecf::printer::library;
namespace wire = ecf::printer::library::wire;

namespace {

constexpr int channel = 3;
// Room beyond a buffer's documented size, and the guard bytes after it that tell a library
// that wrote even further.
constexpr std::size_t spare = 4096;
constexpr std::size_t guardSize = 256;
constexpr unsigned char guardByte = 0xA5;
// The longest text result taken from a library.
constexpr std::size_t maxText = 1u << 20;

// Buffers live here, not on the heap, so that a write past them lands in the guard first.
alignas(16) char arena[1u << 18];

bool writeAll(const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(channel, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
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
        const ssize_t n = ::read(channel, dst + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
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
        const ssize_t n = ::read(channel, chunk + have, sizeof chunk - have);
        if (n < 0 && errno == EINTR)
            continue;
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
    ::_exit(2);
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
    // cdecl on i386: the arguments are the 4-byte stack words in order, a double taking two;
    // a structure passed by value is laid on the stack word for word.
    struct Words {
        std::uint32_t w[64];
    } words{};
    std::size_t n = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const char kind = sig.args[k];
        if (kind == 'd') {
            std::memcpy(&words.w[n], &args[k].d, 8);
            n += 2;
        } else if (kind == 'i') {
            std::memcpy(&words.w[n++], &ints[k], 4);
        } else {
            std::memcpy(&words.w[n++], &pointers[k], 4);
        }
    }
    if (sig.ret == 'i')
        ret.i = reinterpret_cast<int (*)(Words)>(f.address)(words);
    else if (sig.ret == 's') {
        if (const char* t = reinterpret_cast<const char* (*)(Words)>(f.address)(words))
            ret.s.assign(t, strnlen(t, maxText));
    } else
        reinterpret_cast<void (*)(Words)>(f.address)(words);
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
        ::_exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    const lib::LibraryFamily* family = argc == 3 ? lib::findLibraryFamily(argv[1]) : nullptr;
    if (!family) {
        writeAll(wire::encodeHello(wire::BadRequest, "usage: ecf-maker-host FAMILY LIBRARY"));
        return 2;
    }
    void* handle = ::dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        writeAll(wire::encodeHello(wire::NotLoadable, why ? why : ""));
        return 1;
    }
    std::vector<Function> functions(family->functions.size());
    for (std::size_t i = 0; i < functions.size(); ++i) {
        Function& f = functions[i];
        f.sig = &family->functions[i];
        f.address = ::dlsym(handle, f.sig->symbol);
        if (!f.address) {
            writeAll(wire::encodeHello(wire::MissingSymbol, f.sig->symbol));
            return 1;
        }
        if (!prepare(f)) {
            writeAll(wire::encodeHello(wire::BadRequest, f.sig->fn));
            return 1;
        }
    }
    if (!writeAll(wire::encodeHello(wire::Ready, "")))
        return 1;

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
    ::_exit(0);
}

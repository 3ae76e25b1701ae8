#include "printer/library/maker_protocol.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace ecf::printer::library::wire {

namespace {
template <class T>
void put(std::string& buf, T v)
{
    char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(bytes, bytes + sizeof(T));
    buf.append(bytes, sizeof(T));
}
} // namespace

void Writer::u16(std::uint16_t v) { put(buf_, v); }
void Writer::i64(std::int64_t v) { put(buf_, v); }
void Writer::f64(double v) { put(buf_, v); }

void Writer::text(std::string_view v)
{
    put(buf_, static_cast<std::uint32_t>(v.size()));
    buf_.append(v);
}

const std::string& Writer::frame()
{
    const auto n = static_cast<std::uint32_t>(buf_.size() - 4);
    std::string len;
    put(len, n);
    std::memcpy(buf_.data(), len.data(), 4);
    return buf_;
}

bool Reader::take(void* dst, std::size_t n)
{
    if (p_.size() < n)
        return false;
    std::memcpy(dst, p_.data(), n);
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(static_cast<char*>(dst), static_cast<char*>(dst) + n);
    p_.remove_prefix(n);
    return true;
}

bool Reader::u8(std::uint8_t& v) { return take(&v, 1); }
bool Reader::u16(std::uint16_t& v) { return take(&v, 2); }
bool Reader::i64(std::int64_t& v) { return take(&v, 8); }
bool Reader::f64(double& v) { return take(&v, 8); }

bool Reader::text(std::string& v)
{
    std::uint32_t n;
    if (!take(&n, 4) || p_.size() < n)
        return false;
    v.assign(p_.data(), n);
    p_.remove_prefix(n);
    return true;
}

std::uint32_t frameLength(const char header[4])
{
    const auto* b = reinterpret_cast<const unsigned char*>(header);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::string encodeTable(const LibraryFamily& family)
{
    Writer w;
    w.u8(tableTag);
    w.u8(family.control ? 1 : 0);
    w.text(family.family);
    w.u16(static_cast<std::uint16_t>(family.functions.size()));
    for (const Signature& sig : family.functions) {
        w.text(sig.fn);
        w.text(sig.symbol);
        w.text(sig.args);
        w.u8(static_cast<std::uint8_t>(sig.ret));
        w.i64(sig.bufferSize);
        w.i64(sig.failure);
        w.i64(sig.ordinal);
    }
    return w.frame();
}

bool decodeTable(std::string_view payload, ReceivedFamily& out)
{
    Reader r(payload);
    std::uint8_t tag, control, ret;
    std::uint16_t count;
    if (!r.u8(tag) || tag != tableTag || !r.u8(control) || !r.text(out.name) || !r.u16(count))
        return false;
    out.control = control != 0;
    out.functions.clear();
    auto keep = [&](std::string& text) -> const char* {
        out.texts.push_back(std::make_unique<std::string>(std::move(text)));
        return out.texts.back()->c_str();
    };
    for (std::uint16_t i = 0; i < count; ++i) {
        std::string fn, symbol, args;
        std::int64_t buffer, failure, ordinal;
        if (!r.text(fn) || !r.text(symbol) || !r.text(args) || !r.u8(ret) || !r.i64(buffer) || !r.i64(failure) ||
            !r.i64(ordinal))
            return false;
        const bool known = args.find_first_not_of("idsbr") == std::string::npos &&
                           std::string_view("isvb").find(static_cast<char>(ret)) != std::string_view::npos;
        if (!known || buffer < 0 || buffer > (1 << 20))
            return false;
        Signature sig{};
        sig.fn = keep(fn);
        sig.symbol = keep(symbol);
        sig.args = keep(args);
        sig.ret = static_cast<char>(ret);
        sig.bufferSize = static_cast<int>(buffer);
        sig.failure = failure;
        sig.ordinal = static_cast<int>(ordinal);
        out.functions.push_back(sig);
    }
    return r.atEnd();
}

std::string encodeHello(Hello status, std::string_view detail)
{
    Writer w;
    w.u8(status);
    w.text(detail);
    return w.frame();
}

bool decodeHello(std::string_view payload, Hello& status, std::string& detail)
{
    Reader r(payload);
    std::uint8_t s;
    if (!r.u8(s) || !r.text(detail) || s > BadRequest)
        return false;
    status = static_cast<Hello>(s);
    return true;
}

std::string encodeCall(int index, const Signature& sig, std::span<const Value> args)
{
    Writer w;
    w.u8(callTag);
    w.u16(static_cast<std::uint16_t>(index));
    std::size_t k = 0;
    for (const char* a = sig.args; *a; ++a, ++k) {
        const Value& v = args[k];
        switch (*a) {
        case 'i': w.i64(v.i); break;
        case 'd': w.f64(v.d); break;
        case 's':
        case 'b': w.text(v.s); break;
        default: break;
        }
    }
    return w.frame();
}

bool decodeCall(std::string_view payload, const LibraryFamily& family, int& index, std::vector<Value>& args)
{
    Reader r(payload);
    std::uint8_t tag;
    std::uint16_t ix;
    if (!r.u8(tag) || tag != callTag || !r.u16(ix) || ix >= family.functions.size())
        return false;
    index = ix;
    const Signature& sig = family.functions[ix];
    args.assign(std::strlen(sig.args), Value{});
    std::size_t k = 0;
    for (const char* a = sig.args; *a; ++a, ++k) {
        bool ok = true;
        switch (*a) {
        case 'i': ok = r.i64(args[k].i); break;
        case 'd': ok = r.f64(args[k].d); break;
        case 's':
        case 'b': ok = r.text(args[k].s); break;
        default: break;
        }
        if (!ok)
            return false;
    }
    return r.atEnd();
}

std::string encodeReply(const Signature& sig, const Value& ret, std::span<const Value> args)
{
    Writer w;
    w.u8(Ok);
    if (sig.ret == 'i' || sig.ret == 'b')
        w.i64(ret.i);
    else if (sig.ret == 's')
        w.text(ret.s);
    std::size_t k = 0;
    for (const char* a = sig.args; *a; ++a, ++k) {
        if (*a == 'b')
            w.text(args[k].s);
        else if (*a == 'r')
            w.i64(args[k].i);
    }
    return w.frame();
}

std::string encodeFault(std::string_view detail)
{
    Writer w;
    w.u8(Fault);
    w.text(detail);
    return w.frame();
}

std::optional<Status> decodeReply(std::string_view payload, const Signature& sig, Value& ret,
                                  std::vector<Value>& args, std::string& detail)
{
    Reader r(payload);
    std::uint8_t s;
    if (!r.u8(s))
        return std::nullopt;
    if (s == Fault)
        return r.text(detail) ? std::optional<Status>(Fault) : std::nullopt;
    if (s != Ok)
        return std::nullopt;
    if (((sig.ret == 'i' || sig.ret == 'b') && !r.i64(ret.i)) || (sig.ret == 's' && !r.text(ret.s)))
        return std::nullopt;
    std::size_t k = 0;
    for (const char* a = sig.args; *a; ++a, ++k) {
        if (k >= args.size())
            return std::nullopt;
        if ((*a == 'b' && !r.text(args[k].s)) || (*a == 'r' && !r.i64(args[k].i)))
            return std::nullopt;
    }
    return r.atEnd() ? std::optional<Status>(Ok) : std::nullopt;
}

} // namespace ecf::printer::library::wire

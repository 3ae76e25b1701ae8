#pragma once
// The hosted form of every maker function, derived from its family's list: the arguments go to
// the helper process as its signature's kinds say, and what the library wrote into a buffer or
// an IntOut integer comes back in place.
#include "printer/library/maker_host.h"
#include "printer/maker_function.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

namespace ecf::printer::library {

namespace hosted {

// UTF-16LE, as the Windows helper makes its BSTR.
inline std::string wideBytes(const std::u16string& v)
{
    std::string s;
    s.reserve(v.size() * 2);
    for (const char16_t c : v) {
        s.push_back(static_cast<char>(c & 0xFF));
        s.push_back(static_cast<char>(c >> 8));
    }
    return s;
}

inline std::u16string fromWideBytes(const std::string& bytes)
{
    std::u16string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
}

template <class P, std::size_t I, class Tuple>
wire::Value toWire(const Tuple& args)
{
    const auto& v = std::get<I>(args);
    wire::Value x;
    if constexpr (std::is_same_v<P, int> || std::is_same_v<P, IntOut>)
        x.i = v;
    else if constexpr (std::is_same_v<P, double>)
        x.d = v;
    else if constexpr (std::is_same_v<P, Text> || std::is_same_v<P, TextBuffer>)
        x.s = v; // a buffer: all its bytes go over and come back
    else if constexpr (std::is_same_v<P, RawText>)
        x.s = v;
    else if constexpr (std::is_same_v<P, RawBuffer>)
        x.s.assign(v, rawLength<I>(args)); // only the bytes the read may fill
    else if constexpr (std::is_same_v<P, WideText>)
        x.s = wideBytes(v);
    return x;
}

template <class P, std::size_t I, class Tuple>
void fromWire(Tuple& args, const wire::Value& x)
{
    auto& v = std::get<I>(args);
    if constexpr (std::is_same_v<P, IntOut>) {
        v = static_cast<int>(x.i);
    } else if constexpr (std::is_same_v<P, TextBuffer>) {
        // In place: the caller may hold the buffer's address.
        std::memcpy(v.data(), x.s.data(), std::min(v.size(), x.s.size()));
    } else if constexpr (std::is_same_v<P, RawBuffer>) {
        std::memcpy(v, x.s.data(), std::min(rawLength<I>(args), x.s.size()));
    }
}

} // namespace hosted

// One call of the maker function `fn` (its position `index` in the family's list) on the
// library loaded in `host`'s helper process.
template <class Lib, class R, class... P>
R hostedCall(MakerHost& host, R (Lib::*)(P...), int index, std::tuple<std::remove_reference_t<P>&...> args)
{
    std::vector<wire::Value> a;
    a.reserve(sizeof...(P));
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (a.push_back(hosted::toWire<P, I>(args)), ...);
    }(std::index_sequence_for<P...>{});
    const wire::Value r = host.call(index, a);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (hosted::fromWire<P, I>(args, a[I]), ...);
    }(std::index_sequence_for<P...>{});
    if constexpr (std::is_same_v<R, int>)
        return static_cast<int>(r.i);
    else if constexpr (std::is_same_v<R, bool>)
        return r.i != 0;
    else if constexpr (std::is_same_v<R, TextResult>)
        return r.s;
    else if constexpr (std::is_same_v<R, WideResult>)
        return hosted::fromWideBytes(r.s);
}

} // namespace ecf::printer::library

#define ECF_HOSTED_OVERRIDE(R, N, P, A, ...)                                                            \
    R N P override                                                                                       \
    {                                                                                                    \
        return ::ecf::printer::library::hostedCall(host_, &Lib::N, Lib::fn_##N, std::forward_as_tuple A); \
    }

// The hosted library `Name` of the interface `Base` from its list: every function is the one of
// the same name in the maker's library, loaded in the helper process.
#define ECF_HOSTED_CLASS(Name, Base, LIST)                                                              \
    class Name : public Base {                                                                           \
    public:                                                                                              \
        using Lib = Base;                                                                                \
        explicit Name(::ecf::printer::library::MakerHost& host) : host_(host) {}                         \
        LIST(ECF_HOSTED_OVERRIDE)                                                                        \
                                                                                                         \
    private:                                                                                             \
        ::ecf::printer::library::MakerHost& host_;                                                       \
    }

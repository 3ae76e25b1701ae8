#pragma once
// A maker function written once. Each family's <fam>_lib.h lists its library's functions in one
// macro, a line a function:
//
//     F(RESULT, NAME, (PARAMETERS), (NAMES PASSED), DETAILS...)
//     F(int, Daruma_FI_AbreCupom, (Text cgc), (cgc), .success = one, .failure = 0)
//
// PARAMETERS are written with the kinds below, which mean C++ types in the program and C types
// in the stand-in libraries; DETAILS are the rest of the function's signature
// (FunctionDetails). From that one list come the maker interface (its pure virtual functions), the emulator's and the
// traced wrapper's declarations, the hosted library, the signature table the helper process
// calls from, and the stand-in libraries' exports. Self-contained (standard headers and the
// signature table only): the stand-ins and the Windows stand-ins are built from it too.
#include "printer/library/maker_signatures.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>

namespace ecf::printer {

// The kinds of parameters and results, as the program's interfaces take them.
using Text = const std::string&;          // a zero-terminated 8-bit text ('s')
using TextBuffer = std::string&;          // a buffer of the signature's size the library fills ('b')
using RawText = const char*;              // a zero-terminated text passed as is ('s')
using RawBuffer = char*;                  // a buffer the library fills, as long as the next int says ('b')
using IntOut = int&;                      // an int the library writes ('r')
using WideText = const std::u16string&;   // a wide text (the Sigtron control; BSTR)
using TextResult = std::string;           // a zero-terminated text the library returns
using WideResult = std::u16string;        // a wide text the control returns

// What a function's line gives beside its parameters.
struct FunctionDetails {
    library::SuccessRule success;   // the result that counts as success
    std::int64_t failure = 0;       // the result an operation gets when the library does not answer
    int buffer = 0;                 // the size of a TextBuffer the library fills
    int ordinal = 0;                // the Windows ordinal, or the control's dispatch id
    const char* symbol = nullptr;   // the exported name when it is not the function's own
                                    // (the control: "put" a property, "call" a method)
};

// Success rules, as the lines write them.
constexpr library::SuccessRule equals(std::int64_t v) { return {library::SuccessRule::Equals, v}; }
inline constexpr library::SuccessRule one = equals(1);
inline constexpr library::SuccessRule zero = equals(0);
inline constexpr library::SuccessRule nonZero{library::SuccessRule::NonZero, 1};
inline constexpr library::SuccessRule firstArgument{library::SuccessRule::FirstArgument, 0};
inline constexpr library::SuccessRule isTrue{library::SuccessRule::True, 1};
inline constexpr library::SuccessRule anyResult{library::SuccessRule::Any, 0};

namespace detail {

template <class P>
constexpr char kindOf()
{
    if constexpr (std::is_same_v<P, int>)
        return 'i';
    else if constexpr (std::is_same_v<P, double>)
        return 'd';
    else if constexpr (std::is_same_v<P, Text> || std::is_same_v<P, RawText> || std::is_same_v<P, WideText>)
        return 's';
    else if constexpr (std::is_same_v<P, TextBuffer> || std::is_same_v<P, RawBuffer>)
        return 'b';
    else if constexpr (std::is_same_v<P, IntOut>)
        return 'r';
    else
        static_assert(sizeof(P) == 0, "a parameter kind the signature table has no letter for");
}

template <class R>
constexpr char resultKindOf()
{
    if constexpr (std::is_same_v<R, int>)
        return 'i';
    else if constexpr (std::is_same_v<R, void>)
        return 'v';
    else if constexpr (std::is_same_v<R, bool>)
        return 'b';
    else if constexpr (std::is_same_v<R, TextResult> || std::is_same_v<R, WideResult>)
        return 's';
    else
        static_assert(sizeof(R) == 0, "a result kind the signature table has no letter for");
}

template <class... P>
inline constexpr char kinds[] = {kindOf<P>()..., '\0'};

template <class M>
struct MemberFunction;
template <class R, class C, class... P>
struct MemberFunction<R (C::*)(P...)> {
    static constexpr const char* args = kinds<P...>;
    static constexpr char ret = resultKindOf<R>();
};

} // namespace detail

// The length of the RawBuffer at position I of a call's arguments: the int argument that
// follows it.
template <std::size_t I, class Tuple>
std::size_t rawLength(const Tuple& args)
{
    if constexpr (I + 1 < std::tuple_size_v<Tuple>) {
        if constexpr (std::is_same_v<std::remove_cvref_t<std::tuple_element_t<I + 1, Tuple>>, int>)
            return static_cast<std::size_t>(std::max(std::get<I + 1>(args), 0));
    }
    return 0;
}

// The signature-table row of the interface's function `fn`, named `name`.
template <auto fn>
constexpr library::Signature signatureOf(const char* name, const FunctionDetails& details)
{
    using M = detail::MemberFunction<decltype(fn)>;
    return {name, details.symbol ? details.symbol : name, M::args, M::ret, details.buffer, details.failure,
            details.ordinal, details.success};
}

} // namespace ecf::printer

// The pieces each family's list expands to. `Lib` names the family's interface where a piece
// refers to it.
#define ECF_UNPAREN(...) __VA_ARGS__
// The interface's function.
#define ECF_MAKER_PURE(R, N, P, A, ...) virtual R N P = 0;
// An implementation's declaration of it.
#define ECF_MAKER_OVERRIDE(R, N, P, A, ...) R N P override;
// Its position in the list.
#define ECF_MAKER_INDEX(R, N, P, A, ...) fn_##N,
// Its signature-table row.
#define ECF_MAKER_SIGNATURE(R, N, P, A, ...) \
    ::ecf::printer::signatureOf<&Lib::N>(#N, ::ecf::printer::FunctionDetails{__VA_ARGS__}),

// The interface of a family's library, `Name`, from its list: the pure virtual functions, their
// positions (Name::fn_<function>) and the signature table (Name::library(): the family as the
// trace names it, the environment variable naming its library file, the functions, then
// `true` for a COM control).
#define ECF_MAKER_INTERFACE(Name, LIST, FAMILY, VARIABLE, ...)                                     \
    class Name {                                                                                  \
    public:                                                                                       \
        virtual ~Name() = default;                                                                \
        LIST(ECF_MAKER_PURE)                                                                      \
        enum Function : int { LIST(ECF_MAKER_INDEX) functionCount };                              \
        static const ::ecf::printer::library::LibraryFamily& library()                            \
        {                                                                                         \
            using Lib = Name;                                                                     \
            static constexpr ::ecf::printer::library::Signature functions[] = {LIST(ECF_MAKER_SIGNATURE)}; \
            static constexpr ::ecf::printer::library::LibraryFamily family{FAMILY, VARIABLE, functions \
                                                                            __VA_OPT__(, ) __VA_ARGS__}; \
            return family;                                                                        \
        }                                                                                         \
    }

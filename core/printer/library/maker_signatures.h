#pragma once
// The functions of a maker library as the helper process calls them: name, argument kinds,
// result kind, the size of an output buffer, the result an operation gets when the library
// fails to answer, and the result that counts as success. Each family's list of functions
// (<fam>_lib.h) makes its table; the program sends the table to the helper, which makes every
// call from it. Self-contained (no other ECF header), since the helper is also built as a
// 32-bit program and as a Windows one.
#include <cstdint>
#include <span>
#include <string_view>

namespace ecf::printer::library {

// What counts as success for a function's result, for the watch over a coupon's calls and for a
// canned entry that gives no result: `value` is the result a canned entry stands for (and the
// success value for Equals); Any: every result counts as success.
struct SuccessRule {
    enum Kind : std::uint8_t { Any, Equals, NonZero, FirstArgument, True } kind = Any;
    std::int64_t value = 0;
};

// Argument kinds, one letter each in Signature::args:
//   'i' int, 'd' double, 's' zero-terminated 8-bit text,
//   'b' a buffer the library fills (char*), 'r' an int the library writes (int*).
// Result kinds: 'i' int, 's' a zero-terminated text (const char*), 'v' none, 'b' a truth value
// (the Sigtron control's Open; 0 or 1 on the wire).
struct Signature {
    const char* fn;        // the name the program and the trace give it
    const char* symbol;    // the name the library exports (its own name unless its line says otherwise)
    const char* args;
    char ret;
    int bufferSize;        // the documented size of the 'b' argument (0: none)
    std::int64_t failure;  // the result when the library does not answer
    int ordinal;           // the Windows library exports it by this number only (0: by its name)
    SuccessRule success;   // the result that counts as success
};

struct LibraryFamily {
    const char* family;    // as in the trace: "schalter", "mp20", ...
    const char* variable;  // the environment variable naming the library file
    std::span<const Signature> functions;
    bool control = false;  // a COM control driven through IDispatch (the Windows helper only)
};

// Index of `fn` in the family's table, or -1.
int findFunction(const LibraryFamily& family, std::string_view fn);

} // namespace ecf::printer::library

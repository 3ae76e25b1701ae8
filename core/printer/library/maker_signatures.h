#pragma once
// The functions of each maker library as the helper process calls them: name, argument kinds,
// result kind, the size of an output buffer, and the result an operation gets when the library
// fails to answer. One table per library family; the helper makes every call from it, so a
// function is added here and nowhere else. Self-contained (no other ECF header), since the
// helper is also built as a 32-bit program.
#include <cstdint>
#include <span>
#include <string_view>

namespace ecf::printer::library {

// Argument kinds, one letter each in Signature::args:
//   'i' int, 'd' double, 's' zero-terminated 8-bit text,
//   'b' a buffer the library fills (char*), 'r' an int the library writes (int*).
// Result kinds: 'i' int, 's' a zero-terminated text (const char*), 'v' none, 'b' a truth value
// (the Sigtron control's Open; 0 or 1 on the wire).
struct Signature {
    const char* fn;        // the name the program and the trace give it
    const char* symbol;    // the name the library exports (a library with other names: change it here)
    const char* args;
    char ret;
    int bufferSize;        // the documented size of the 'b' argument (0: none)
    std::int64_t failure;  // the result when the library does not answer
    int ordinal;           // the Windows library exports it by this number only (0: by its name)
};

struct LibraryFamily {
    const char* family;    // as in the trace: "schalter", "mp20", ...
    const char* variable;  // the environment variable naming the library file
    std::span<const Signature> functions;
};

// The five library families.
std::span<const LibraryFamily> libraryFamilies();
// The Sigtron control's calls (ECF_LIB_SIGTRON; the Windows helper only).
const LibraryFamily& sigtronControl();
// One of the five, or "sigtron".
const LibraryFamily* findLibraryFamily(std::string_view family);
// Index of `fn` in the family's table, or -1.
int findFunction(const LibraryFamily& family, std::string_view fn);

} // namespace ecf::printer::library

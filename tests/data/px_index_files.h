#pragma once
// Builds the index files of a keyed table for the emptying tests: a primary index (.PX) and
// one secondary index (.Xnn data, .Ynn tree), each with a header and one block of entries.
#include <cstdint>
#include <string>

namespace ecf::test::pxt {

inline void put16(std::string& s, std::size_t at, unsigned v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// fileType: 1 primary index, 3 secondary data, 4 secondary tree. The header's other bytes get
// a recognisable pattern so that a test can see they are kept.
inline std::string indexFile(std::uint8_t fileType, unsigned recordSize)
{
    std::string f(0x800 + 0x400, '\0');
    for (std::size_t i = 0x58; i < 0x800; ++i)
        f[i] = static_cast<char>(i * 7);
    put16(f, 0x00, recordSize);
    put16(f, 0x02, 0x800);
    f[0x04] = static_cast<char>(fileType);
    f[0x05] = 1; // 1k blocks
    put16(f, 0x06, 18);
    put16(f, 0x0A, 1);
    put16(f, 0x0C, 1);
    put16(f, 0x0E, 1);
    put16(f, 0x10, 1);
    put16(f, 0x1E, 1); // root
    f[0x20] = 1;       // levels
    f[0x21] = 1;
    f[0x29] = 0x62;    // sort order
    f[0x2D] = 0x33;    // change counters
    f[0x2E] = 0x44;
    f[0x39] = 0x0C;
    put16(f, 0x804, 0);
    f[0x806] = 'A';
    return f;
}

} // namespace ecf::test::pxt

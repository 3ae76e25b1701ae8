#pragma once
// The on-disk layout of Paradox files: header fields, data blocks, field encodings. Internal
// to the engine (px.cpp, px_write.cpp); the rest of the program uses px.h.
#include "data/paradox/px.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ecf::data::px::format {

// Little-endian control structures (headers, block headers, blob pointers).
inline std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void putLe16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void putLe32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Offsets in the common header of .DB, .PX, .Xnn and .Ynn files.
namespace hdr {
constexpr std::size_t RecordSize = 0x00;
constexpr std::size_t HeaderSize = 0x02;
constexpr std::size_t FileType = 0x04;
constexpr std::size_t BlockSizeCode = 0x05;
constexpr std::size_t NumRecords = 0x06;
constexpr std::size_t BlocksInUse = 0x0A;
constexpr std::size_t FileBlocks = 0x0C;
constexpr std::size_t FirstBlock = 0x0E;
constexpr std::size_t LastBlock = 0x10;
constexpr std::size_t IndexRoot = 0x1E;   // .PX / .Ynn
constexpr std::size_t IndexLevels = 0x20; // .PX / .Ynn
constexpr std::size_t NumFields = 0x21;
constexpr std::size_t KeyFields = 0x23;
constexpr std::size_t Encryption1 = 0x25;
constexpr std::size_t SortOrder = 0x29;
constexpr std::size_t FileVersion = 0x39;
constexpr std::size_t MaxBlocks = 0x3A;
constexpr std::size_t AutoInc = 0x49;
constexpr std::size_t FirstFreeBlock = 0x4D;
constexpr std::size_t Encryption2 = 0x5C; // version 4 and later
constexpr std::size_t CodePage = 0x6A;    // version 4 and later
constexpr std::size_t FieldInfo = 0x78;   // version 4 and later (0x58 before)
} // namespace hdr

enum FileType : std::uint8_t {
    KeyedDb = 0,
    PrimaryIndex = 1,
    UnkeyedDb = 2,
    SecondaryData = 3,  // .Xnn, non-incrementing
    SecondaryIndex = 4, // .Ynn
    SecondaryDataInc = 5,
    SecondaryDataG = 6,  // .XGn
    SecondaryIndexG = 7, // .YGn
    SecondaryDataGInc = 8,
};

constexpr std::size_t BlockHeaderSize = 6;
constexpr std::size_t BlobPointerSize = 10;
constexpr std::size_t BcdSize = 17;
constexpr std::size_t MbBlockSize = 4096;

bool isBlobType(FieldType t);
// The size a field of this type takes in the record when it is fixed (0 when variable).
int fixedSize(FieldType t);
bool knownFieldType(std::uint8_t code);

// A header read and checked against itself and the file's length.
struct Header {
    std::uint16_t recordSize = 0;
    std::uint16_t headerSize = 0;
    std::uint8_t fileType = 0;
    std::size_t blockSize = 0;
    std::uint32_t numRecords = 0;
    std::uint16_t firstBlock = 0;
    std::uint16_t lastBlock = 0;
    std::uint16_t fileBlocks = 0;
    int version = 0;
    TableInfo info;
    std::vector<std::size_t> offsets; // each field's offset in the record
};

// One data block in the table's chain.
struct Block {
    std::uint16_t number = 0;
    std::size_t offset = 0;  // of the block in the file
    std::size_t records = 0; // live records
};

// Parses and checks a data file's header (.DB, or .Xnn when `indexData`). `name` names the
// file in error texts. Throws common::DatabaseError.
Header parseDataHeader(std::string_view file, const std::string& name, bool indexData = false);
// Parses the fixed part of an index file's header (.PX, .Ynn): sizes, type, block size.
Header parseIndexHeader(std::string_view file, const std::string& name);
// Walks the data blocks' chain from the first block, bounded by the blocks the file holds.
std::vector<Block> walkBlocks(std::string_view file, const Header& h, const std::string& name);

// Field codec. `decodeField` reads one field of a record; `mb` is the .MB content (`haveMb`
// false when the table's .MB is missing). A value whose bytes are damaged decodes as a null and
// `damage` tells what is wrong (left untouched for a sound value): the table still opens, and
// only a read of that value fails.
Value decodeField(const unsigned char* p, const FieldDef& f, std::string_view mb, bool haveMb,
                  const std::string& mbName, std::string& damage);
// Writes `v` into the record at `p`; throws when the value does not fit the field.
void encodeField(unsigned char* p, const FieldDef& f, const Value& v, const std::string& name);

// BCD: 17 bytes, the first holding the sign and the count of decimals, then 32 digit nibbles.
// Some writers store fewer digits than the field has places and fill the rest with bytes that
// are no digits; a value whose digits end inside its decimals reads as the digits that are
// there. Empty when the number is damaged (more than 32 decimals, a non-digit in the integer
// part).
std::string decodeBcd(const unsigned char* p);
bool encodeBcd(unsigned char* p, std::string_view decimal, int decimals); // false: does not fit

// Finds a whole blob addressed by a record's blob pointer. False, with what is wrong in `why`,
// when the pointer or the block it reaches is damaged.
bool readBlob(std::string_view mb, std::uint32_t pointer, std::uint32_t length, const std::string& mbName,
              std::string_view& blob, std::string& why);

[[noreturn]] void fail(const std::string& name, const std::string& what);

} // namespace ecf::data::px::format

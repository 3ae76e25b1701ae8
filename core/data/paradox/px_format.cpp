#include "data/paradox/px_format.h"

#include "common/errors.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace ecf::data::px::format {

void fail(const std::string& name, const std::string& what)
{
    throw common::DatabaseError("Table " + name + ": " + what);
}

bool isBlobType(FieldType t)
{
    switch (t) {
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        return true;
    default:
        return false;
    }
}

int fixedSize(FieldType t)
{
    switch (t) {
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc:
        return 4;
    case FieldType::Short:
        return 2;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp:
        return 8;
    case FieldType::Logical:
        return 1;
    case FieldType::Bcd:
        return static_cast<int>(BcdSize);
    default:
        return 0;
    }
}

bool knownFieldType(std::uint8_t code)
{
    switch (code) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x09:
    case 0x0C: case 0x0D: case 0x0E: case 0x0F: case 0x10:
    case 0x14: case 0x15: case 0x16: case 0x17: case 0x18:
        return true;
    default:
        return false;
    }
}

namespace {

const unsigned char* bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

std::size_t blockSizeFor(std::uint8_t code)
{
    switch (code) {
    case 1: case 2: case 3: case 4: case 8: case 16: case 32:
        return static_cast<std::size_t>(code) * 1024;
    default:
        return 0;
    }
}

// The fixed part shared by every header.
Header parseFixed(std::string_view file, const std::string& name, bool checkVersion)
{
    if (file.size() < 0x58)
        fail(name, "the file is too short to be a Paradox table (" + std::to_string(file.size()) + " bytes)");
    const unsigned char* d = bytes(file);
    Header h;
    h.recordSize = le16(d + hdr::RecordSize);
    h.headerSize = le16(d + hdr::HeaderSize);
    h.fileType = d[hdr::FileType];
    h.blockSize = blockSizeFor(d[hdr::BlockSizeCode]);
    h.numRecords = le32(d + hdr::NumRecords);
    h.fileBlocks = le16(d + hdr::FileBlocks);
    h.firstBlock = le16(d + hdr::FirstBlock);
    h.lastBlock = le16(d + hdr::LastBlock);
    h.version = d[hdr::FileVersion];
    if (h.blockSize == 0)
        fail(name, "the header names an unknown block size (code " + std::to_string(d[hdr::BlockSizeCode]) + ")");
    if (checkVersion && (h.version < 3 || h.version > 12))
        fail(name, "the header names an unknown file version (" + std::to_string(h.version) + ")");
    if (h.headerSize < 0x58 || h.headerSize > file.size())
        fail(name, "the header size (" + std::to_string(h.headerSize) + ") does not fit the file; the file is truncated or damaged");
    if (h.recordSize == 0 || h.recordSize + BlockHeaderSize > h.blockSize)
        fail(name, "the record size (" + std::to_string(h.recordSize) + ") does not fit a data block");
    return h;
}

bool modernLayout(const Header& h) { return h.version >= 5; }

} // namespace

// Index files are checked only as far as emptying them needs: their version byte is not ours
// to judge.
Header parseIndexHeader(std::string_view file, const std::string& name) { return parseFixed(file, name, false); }

Header parseDataHeader(std::string_view file, const std::string& name, bool indexData)
{
    Header h = parseFixed(file, name, true);
    const unsigned char* d = bytes(file);
    const bool typeOk = indexData ? (h.fileType == SecondaryData || h.fileType == SecondaryDataInc ||
                                     h.fileType == SecondaryDataG || h.fileType == SecondaryDataGInc)
                                  : (h.fileType == KeyedDb || h.fileType == UnkeyedDb);
    if (!typeOk)
        fail(name, "the file is not a Paradox data file (file type " + std::to_string(h.fileType) + ")");

    const bool modern = modernLayout(h);
    const std::size_t fieldInfo = modern ? hdr::FieldInfo : 0x58;
    // A version 4 header carries its encryption word and code page past the common part.
    if (h.headerSize < fieldInfo)
        fail(name, "the header size (" + std::to_string(h.headerSize) + ") is too small for its file version");
    const std::uint32_t encryption = modern ? le32(d + hdr::Encryption2) : le32(d + hdr::Encryption1);
    if (encryption != 0)
        fail(name, "the table is encrypted (password protected) and cannot be read");

    const int numFields = le16(d + hdr::NumFields);
    const int keyFields = le16(d + hdr::KeyFields);
    if (numFields < 1 || numFields > 255)
        fail(name, "the header names " + std::to_string(numFields) + " fields");
    if (keyFields > numFields)
        fail(name, "the header names more key fields than fields");
    if (fieldInfo + 2 * static_cast<std::size_t>(numFields) > h.headerSize)
        fail(name, "the field descriptions do not fit in the header");

    h.info.keyFieldCount = keyFields;
    h.info.fileVersion = h.version;
    h.info.codePage = modern ? le16(d + hdr::CodePage) : 437;
    if (h.info.codePage == 0)
        h.info.codePage = 437;

    std::size_t sum = 0;
    h.info.fields.resize(static_cast<std::size_t>(numFields));
    h.offsets.resize(static_cast<std::size_t>(numFields));
    for (int i = 0; i < numFields; ++i) {
        const std::uint8_t code = d[fieldInfo + 2 * i];
        const int size = d[fieldInfo + 2 * i + 1];
        const std::string which = "field " + std::to_string(i + 1);
        if (!knownFieldType(code))
            fail(name, which + " has an unknown type (" + std::to_string(code) + ")");
        FieldDef& f = h.info.fields[static_cast<std::size_t>(i)];
        f.type = static_cast<FieldType>(code);
        f.size = size;
        bool ok = true;
        if (f.type == FieldType::Bcd) {
            f.bcdDigits = size;
            f.size = static_cast<int>(BcdSize);
            ok = size <= 32;
        } else if (int fixed = fixedSize(f.type); fixed != 0) {
            ok = size == fixed;
        } else if (isBlobType(f.type)) {
            // Formatted memos may have no leader at all (the host's engine writes such fields).
            ok = size >= static_cast<int>(BlobPointerSize) + (f.type == FieldType::Memo ? 1 : 0);
        } else {
            ok = size >= 1; // Alpha, Bytes
        }
        if (!ok)
            fail(name, which + " has an impossible size (" + std::to_string(size) + ") for its type");
        h.offsets[static_cast<std::size_t>(i)] = sum;
        sum += static_cast<std::size_t>(f.size);
    }
    if (sum != h.recordSize)
        fail(name, "the fields' sizes (" + std::to_string(sum) + ") do not add up to the record size (" +
                       std::to_string(h.recordSize) + ")");

    // Field names follow the field descriptions, the table-name pointer, one pointer per field
    // and the table name (79 bytes, 261 from version 7 on).
    const std::size_t tableNameLen = h.version >= 12 ? 261 : 79;
    std::size_t pos = fieldInfo + 2 * static_cast<std::size_t>(numFields) + 4 + 4 * static_cast<std::size_t>(numFields) + tableNameLen;
    for (auto& f : h.info.fields) {
        if (pos >= h.headerSize)
            fail(name, "the field names do not fit in the header");
        const void* end = std::memchr(d + pos, 0, h.headerSize - pos);
        if (!end)
            fail(name, "a field name runs past the end of the header");
        const std::size_t len = static_cast<const unsigned char*>(end) - (d + pos);
        f.name.assign(reinterpret_cast<const char*>(d + pos), len);
        pos += len + 1;
    }
    return h;
}

std::vector<Block> walkBlocks(std::string_view file, const Header& h, const std::string& name)
{
    std::vector<Block> out;
    if (h.firstBlock == 0)
        return out;
    const unsigned char* d = bytes(file);
    const std::size_t avail = file.size() - h.headerSize;
    // Blocks the file holds (a last block may be short: only its used part must be there).
    const std::size_t maxBlock = (avail + h.blockSize - 1) / h.blockSize;
    std::vector<char> seen(maxBlock + 1, 0);
    std::uint32_t b = h.firstBlock;
    std::uint32_t prev = 0;
    while (b != 0) {
        if (b > maxBlock)
            fail(name, "data block " + std::to_string(b) + " lies past the end of the file; the file is truncated or damaged");
        if (seen[b])
            fail(name, "the chain of data blocks loops at block " + std::to_string(b));
        seen[b] = 1;
        const std::size_t off = h.headerSize + (static_cast<std::size_t>(b) - 1) * h.blockSize;
        if (off + BlockHeaderSize > file.size())
            fail(name, "data block " + std::to_string(b) + " is truncated");
        const auto add = static_cast<std::int16_t>(le16(d + off + 4));
        Block blk;
        blk.number = static_cast<std::uint16_t>(b);
        blk.offset = off;
        if (add >= 0) {
            blk.records = static_cast<std::size_t>(add) / h.recordSize + 1;
            const std::size_t used = BlockHeaderSize + blk.records * h.recordSize;
            if (used > h.blockSize)
                fail(name, "data block " + std::to_string(b) + " claims more records than it can hold");
            if (off + used > file.size())
                fail(name, "data block " + std::to_string(b) + " is truncated");
        }
        out.push_back(blk);
        prev = b;
        b = le16(d + off);
    }
    (void)prev;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Field codec

namespace {

std::uint64_t be(const unsigned char* p, int n)
{
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

void putBe(unsigned char* p, std::uint64_t v, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = static_cast<unsigned char>(v);
        v >>= 8;
    }
}

bool allZero(const unsigned char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

// Integers: big-endian with the sign bit flipped; all zero bytes are a null.
bool decodeInt(const unsigned char* p, int n, std::int64_t& out)
{
    std::uint64_t v = be(p, n);
    if (v == 0)
        return false;
    const std::uint64_t sign = std::uint64_t{1} << (8 * n - 1);
    v ^= sign;
    out = (v & sign) ? static_cast<std::int64_t>(v) - static_cast<std::int64_t>(sign << 1) : static_cast<std::int64_t>(v);
    return true;
}

void encodeInt(unsigned char* p, int n, std::int64_t v)
{
    const std::uint64_t sign = std::uint64_t{1} << (8 * n - 1);
    const std::uint64_t mask = n == 8 ? ~std::uint64_t{0} : ((sign << 1) - 1);
    putBe(p, (static_cast<std::uint64_t>(v) & mask) ^ sign, n);
}

// Doubles: big-endian; positive numbers with the sign bit set, negative ones complemented.
bool decodeDouble(const unsigned char* p, double& out)
{
    std::uint64_t v = be(p, 8);
    if (v == 0)
        return false;
    if (v & (std::uint64_t{1} << 63))
        v &= ~(std::uint64_t{1} << 63);
    else
        v = ~v;
    std::memcpy(&out, &v, 8);
    return true;
}

void encodeDouble(unsigned char* p, double d)
{
    std::uint64_t v;
    std::memcpy(&v, &d, 8);
    if (v & (std::uint64_t{1} << 63))
        v = ~v;
    else
        v |= std::uint64_t{1} << 63;
    putBe(p, v, 8);
}

[[noreturn]] void badValue(const std::string& name, const FieldDef& f, const std::string& what)
{
    fail(name, "field " + f.name + ": " + what);
}

bool integral(const Value& v, std::int64_t& out)
{
    if (v.kind == Value::Kind::Integer || v.kind == Value::Kind::Date || v.kind == Value::Kind::Time) {
        out = v.integer;
        return true;
    }
    if (v.kind == Value::Kind::Float && std::isfinite(v.real) && std::nearbyint(v.real) == v.real &&
        std::fabs(v.real) < 9.0e15) {
        out = static_cast<std::int64_t>(v.real);
        return true;
    }
    return false;
}

bool real(const Value& v, double& out)
{
    if (v.kind == Value::Kind::Float || v.kind == Value::Kind::Timestamp)
        out = v.real;
    else if (v.kind == Value::Kind::Integer)
        out = static_cast<double>(v.integer);
    else
        return false;
    return std::isfinite(out);
}

} // namespace

std::string decodeBcd(const unsigned char* p)
{
    const bool positive = (p[0] & 0x80) != 0;
    const int decimals = p[0] & 0x3F;
    if (decimals > 32)
        return {};
    const int intDigits = 32 - decimals;
    char digits[32];
    bool filler = false;
    for (int i = 0; i < 32; ++i) {
        int nib = (i % 2 == 0) ? (p[1 + i / 2] >> 4) : (p[1 + i / 2] & 0x0F);
        if (!positive)
            nib ^= 0x0F;
        if (nib > 9 && i < intDigits)
            return {};
        filler = filler || nib > 9; // the digits ended early: the places after them are zeros
        digits[i] = filler ? '0' : static_cast<char>('0' + nib);
    }
    int first = 0;
    while (first < intDigits - 1 && digits[first] == '0')
        ++first;
    std::string out;
    bool zero = true;
    for (char c : digits)
        zero = zero && c == '0';
    if (!positive && !zero)
        out.push_back('-');
    if (intDigits == 0)
        out.push_back('0');
    out.append(digits + first, digits + intDigits);
    if (decimals > 0) {
        out.push_back('.');
        out.append(digits + intDigits, digits + 32);
    }
    return out;
}

bool encodeBcd(unsigned char* p, std::string_view s, int decimals)
{
    if (decimals < 0 || decimals > 32)
        return false;
    bool negative = false;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string intPart, frac;
    bool point = false, any = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            (point ? frac : intPart).push_back(c);
            any = true;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (!any)
        return false;
    const std::size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
    if (frac.size() > static_cast<std::size_t>(decimals)) {
        // Digits beyond the field's decimals must be zeros: a value is never cut silently.
        if (frac.find_first_not_of('0', static_cast<std::size_t>(decimals)) != std::string::npos)
            return false;
        frac.resize(static_cast<std::size_t>(decimals));
    }
    if (intPart.size() > static_cast<std::size_t>(32 - decimals))
        return false;
    frac.resize(static_cast<std::size_t>(decimals), '0');
    const std::string digits = std::string(static_cast<std::size_t>(32 - decimals) - intPart.size(), '0') + intPart + frac;
    if (digits.find_first_not_of('0') == std::string::npos)
        negative = false;
    p[0] = static_cast<unsigned char>((negative ? 0x00 : 0x80) | 0x40 | decimals);
    for (int k = 0; k < 16; ++k) {
        int hi = digits[2 * k] - '0', lo = digits[2 * k + 1] - '0';
        if (negative) {
            hi ^= 0x0F;
            lo ^= 0x0F;
        }
        p[1 + k] = static_cast<unsigned char>((hi << 4) | lo);
    }
    return true;
}

bool readBlob(std::string_view mb, std::uint32_t pointer, std::uint32_t length, const std::string& mbName,
              std::string_view& blob, std::string& why)
{
    const unsigned char* d = bytes(mb);
    const std::size_t blockOff = pointer & 0xFFFFFF00u;
    const unsigned index = pointer & 0xFFu;
    const std::string where = "the blob at " + std::to_string(blockOff) + " of " + mbName;
    auto bad = [&](const std::string& what) {
        why = where + what;
        return false;
    };
    if (blockOff < MbBlockSize || blockOff + 12 > mb.size())
        return bad(" lies outside the file; the blob pointer or the file is damaged");
    const std::uint8_t type = d[blockOff];
    const std::size_t blockLen = static_cast<std::size_t>(le16(d + blockOff + 1)) * MbBlockSize;
    if (blockLen == 0 || blockOff + blockLen > mb.size())
        return bad(" has a damaged block header");
    if (index == 0xFF) {
        if (type != 2)
            return bad(" is not a single-blob block");
        const std::uint32_t stored = le32(d + blockOff + 3);
        if (stored != length || 9 + static_cast<std::size_t>(length) > blockLen)
            return bad(" does not hold the length its record names");
        blob = mb.substr(blockOff + 9, length);
        return true;
    }
    if (type != 3)
        return bad(" is not a sub-allocated block");
    if (index >= 64)
        return bad(": blob index " + std::to_string(index) + " out of range");
    const unsigned char* e = d + blockOff + 12 + 5 * index;
    const std::size_t dataOff = static_cast<std::size_t>(e[0]) * 16;
    const unsigned chunks = e[1];
    const unsigned rest = e[4];
    if (dataOff == 0 || chunks == 0 || rest == 0 || rest > 16)
        return bad(": blob " + std::to_string(index) + " was deleted");
    const std::size_t len = (chunks - 1) * 16u + rest;
    if (len != length || dataOff < 12 + 5 * 64 || dataOff + len > MbBlockSize)
        return bad(": blob " + std::to_string(index) + " does not hold the length its record names");
    blob = mb.substr(blockOff + dataOff, len);
    return true;
}

Value decodeField(const unsigned char* p, const FieldDef& f, std::string_view mb, bool haveMb,
                  const std::string& mbName, std::string& damage)
{
    auto damaged = [&](std::string what) {
        damage = std::move(what);
        return Value::null();
    };
    std::int64_t i = 0;
    double r = 0;
    switch (f.type) {
    case FieldType::Alpha: {
        const void* end = std::memchr(p, 0, static_cast<std::size_t>(f.size));
        const std::size_t len = end ? static_cast<const unsigned char*>(end) - p : static_cast<std::size_t>(f.size);
        if (len == 0)
            return Value::null();
        Value v;
        v.kind = Value::Kind::Text;
        v.bytes.assign(reinterpret_cast<const char*>(p), len);
        return v;
    }
    case FieldType::Short:
        return decodeInt(p, 2, i) ? Value::integerValue(i) : Value::null();
    case FieldType::Long:
    case FieldType::AutoInc:
        return decodeInt(p, 4, i) ? Value::integerValue(i) : Value::null();
    case FieldType::Date:
        return decodeInt(p, 4, i) ? Value::date(i) : Value::null();
    case FieldType::Time:
        return decodeInt(p, 4, i) ? Value::time(i) : Value::null();
    case FieldType::Currency:
    case FieldType::Number:
        return decodeDouble(p, r) ? Value::floatValue(r) : Value::null();
    case FieldType::Timestamp:
        return decodeDouble(p, r) ? Value::timestamp(r) : Value::null();
    case FieldType::Logical:
        if (p[0] == 0)
            return Value::null();
        return Value::logicalValue((p[0] ^ 0x80) != 0);
    case FieldType::Bcd: {
        if ((p[0] & 0x80) == 0 && allZero(p + 1, BcdSize - 1))
            return Value::null();
        Value v;
        v.kind = Value::Kind::Bcd;
        v.bytes = decodeBcd(p);
        if (v.bytes.empty())
            return damaged("the BCD number is damaged");
        return v;
    }
    case FieldType::Bytes: {
        if (allZero(p, static_cast<std::size_t>(f.size)))
            return Value::null();
        Value v;
        v.kind = Value::Kind::Bytes;
        v.bytes.assign(reinterpret_cast<const char*>(p), static_cast<std::size_t>(f.size));
        return v;
    }
    case FieldType::Memo:
    case FieldType::FmtMemo:
    case FieldType::Blob:
    case FieldType::Ole:
    case FieldType::Graphic: {
        const std::size_t leader = static_cast<std::size_t>(f.size) - BlobPointerSize;
        const std::uint32_t pointer = le32(p + leader);
        const std::uint32_t length = le32(p + leader + 4);
        if (length == 0)
            return Value::null();
        Value v;
        v.kind = (f.type == FieldType::Memo || f.type == FieldType::FmtMemo) ? Value::Kind::Text : Value::Kind::Bytes;
        if (pointer == 0) {
            if (length > leader)
                return damaged("the blob pointer is damaged (length " + std::to_string(length) + " without a blob)");
            v.bytes.assign(reinterpret_cast<const char*>(p), length);
            return v;
        }
        if (!haveMb)
            return damaged("the blob file " + mbName + " is missing");
        std::string_view blob;
        std::string why;
        if (!readBlob(mb, pointer, length, mbName, blob, why))
            return damaged(std::move(why));
        v.bytes.assign(blob.data(), blob.size());
        return v;
    }
    }
    return damaged("the field has an unknown type");
}

void encodeField(unsigned char* p, const FieldDef& f, const Value& v, const std::string& name)
{
    const auto size = static_cast<std::size_t>(f.size);
    std::memset(p, 0, size);
    if (v.isNull()) {
        if (f.type == FieldType::Bcd)
            p[0] = static_cast<unsigned char>(f.bcdDigits & 0x3F);
        return;
    }
    std::int64_t i = 0;
    double r = 0;
    auto wrongKind = [&]() { badValue(name, f, "cannot hold a value of this kind"); };
    auto intIn = [&](std::int64_t lo, std::int64_t hi) {
        if (!integral(v, i))
            wrongKind();
        if (i < lo || i > hi)
            badValue(name, f, "the value " + std::to_string(i) + " is out of range");
    };
    switch (f.type) {
    case FieldType::Alpha:
        if (v.kind != Value::Kind::Text)
            wrongKind();
        if (v.bytes.size() > size)
            badValue(name, f, "the text is longer (" + std::to_string(v.bytes.size()) + ") than the field (" +
                                  std::to_string(size) + ")");
        if (v.bytes.find('\0') != std::string::npos)
            badValue(name, f, "the text holds a zero byte");
        std::memcpy(p, v.bytes.data(), v.bytes.size());
        return;
    case FieldType::Short:
        if (v.kind != Value::Kind::Integer && v.kind != Value::Kind::Float)
            wrongKind();
        intIn(-32767, 32767);
        encodeInt(p, 2, i);
        return;
    case FieldType::Long:
    case FieldType::AutoInc:
        if (v.kind != Value::Kind::Integer && v.kind != Value::Kind::Float)
            wrongKind();
        intIn(-2147483647, 2147483647);
        encodeInt(p, 4, i);
        return;
    case FieldType::Date:
        if (v.kind != Value::Kind::Date && v.kind != Value::Kind::Integer)
            wrongKind();
        intIn(-2147483647, 2147483647);
        encodeInt(p, 4, i);
        return;
    case FieldType::Time:
        if (v.kind != Value::Kind::Time && v.kind != Value::Kind::Integer)
            wrongKind();
        intIn(0, 86399999);
        encodeInt(p, 4, i);
        return;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp:
        if (f.type == FieldType::Timestamp ? (v.kind != Value::Kind::Timestamp && v.kind != Value::Kind::Float)
                                           : (v.kind != Value::Kind::Float && v.kind != Value::Kind::Integer))
            wrongKind();
        if (!real(v, r))
            badValue(name, f, "the value is not a finite number");
        encodeDouble(p, r);
        return;
    case FieldType::Logical:
        if (v.kind != Value::Kind::Logical)
            wrongKind();
        p[0] = v.logical ? 0x81 : 0x80;
        return;
    case FieldType::Bcd: {
        std::string text;
        if (v.kind == Value::Kind::Bcd || v.kind == Value::Kind::Text) {
            text = v.bytes;
        } else if (v.kind == Value::Kind::Integer) {
            text = std::to_string(v.integer);
        } else if (real(v, r) && v.kind == Value::Kind::Float) {
            char buf[400];
            std::snprintf(buf, sizeof buf, "%.*f", f.bcdDigits, r);
            text = buf;
        } else {
            wrongKind();
        }
        if (!encodeBcd(p, text, f.bcdDigits))
            badValue(name, f, "'" + text + "' does not fit a BCD number with " + std::to_string(f.bcdDigits) + " decimals");
        return;
    }
    case FieldType::Bytes:
        if (v.kind != Value::Kind::Bytes && v.kind != Value::Kind::Text)
            wrongKind();
        if (v.bytes.size() > size)
            badValue(name, f, "the value is longer (" + std::to_string(v.bytes.size()) + ") than the field (" +
                                  std::to_string(size) + ")");
        std::memcpy(p, v.bytes.data(), v.bytes.size());
        return;
    case FieldType::Memo:
    case FieldType::FmtMemo:
    case FieldType::Blob:
    case FieldType::Ole:
    case FieldType::Graphic: {
        if (v.kind != Value::Kind::Text && v.kind != Value::Kind::Bytes)
            wrongKind();
        const std::size_t leader = size - BlobPointerSize;
        if (v.bytes.empty())
            return; // an empty blob is a null one
        if (v.bytes.size() > leader)
            badValue(name, f, "the value (" + std::to_string(v.bytes.size()) +
                                  " bytes) is longer than the field's leader; writing blob files is not supported");
        std::memcpy(p, v.bytes.data(), v.bytes.size());
        putLe32(p + leader + 4, static_cast<std::uint32_t>(v.bytes.size()));
        return;
    }
    }
    wrongKind();
}

} // namespace ecf::data::px::format

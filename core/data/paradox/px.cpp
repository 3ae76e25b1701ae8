#include "data/paradox/px.h"

#include "common/errors.h"
#include "data/paradox/px_file.h"
#include "data/paradox/px_format.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ecf::data::px {

using namespace format;

namespace {

unsigned char* ubytes(std::string& s) { return reinterpret_cast<unsigned char*>(s.data()); }

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool hasBlobFields(const std::vector<FieldDef>& fields)
{
    return std::any_of(fields.begin(), fields.end(), [](const FieldDef& f) { return isBlobType(f.type); });
}

fs::path expectedMb(const fs::path& db)
{
    fs::path p = db;
    return p.replace_extension(".MB");
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Reading

PxTable PxTable::parse(std::string_view db, std::optional<std::string_view> mb, const std::string& name)
{
    const Header h = parseDataHeader(db, name);
    const std::vector<Block> blocks = walkBlocks(db, h, name);
    const std::string mbName = expectedMb(name).string();

    PxTable t;
    t.name_ = name;
    t.info_ = h.info;
    std::size_t total = 0;
    for (const auto& b : blocks)
        total += b.records;
    t.records_.reserve(total);
    const auto* d = reinterpret_cast<const unsigned char*>(db.data());
    const std::size_t nf = h.info.fields.size();
    const std::string_view mbData = mb ? *mb : std::string_view();
    for (const auto& b : blocks) {
        const unsigned char* rec = d + b.offset + BlockHeaderSize;
        for (std::size_t r = 0; r < b.records; ++r, rec += h.recordSize) {
            Record& out = t.records_.emplace_back();
            out.reserve(nf);
            for (std::size_t i = 0; i < nf; ++i) {
                std::string damage;
                out.push_back(decodeField(rec + h.offsets[i], h.info.fields[i], mbData, mb.has_value(), mbName, damage));
                if (!damage.empty())
                    t.damage_.push_back({t.records_.size() - 1, i, std::move(damage)});
            }
        }
    }
    return t;
}

const Value& PxTable::value(std::size_t record, std::size_t field) const
{
    if (record >= records_.size() || field >= info_.fields.size())
        fail(name_, "record " + std::to_string(record + 1) + ", field " + std::to_string(field + 1) + " does not exist");
    if (!damage_.empty()) {
        const auto at = std::lower_bound(damage_.begin(), damage_.end(), std::make_pair(record, field),
                                         [](const Damage& d, const std::pair<std::size_t, std::size_t>& key) {
                                             return std::make_pair(d.record, d.field) < key;
                                         });
        if (at != damage_.end() && at->record == record && at->field == field)
            fail(name_, "record " + std::to_string(record + 1) + ", field " + info_.fields[field].name + ": " + at->what);
    }
    return records_[record][field];
}

PxTable PxTable::read(const fs::path& dbFile)
{
    const std::string name = dbFile.string();
    io::TableLock lock(dbFile, false); // first: it finishes an interrupted commit
    std::error_code ec;
    if (!fs::exists(dbFile, ec))
        throw common::DatabaseError("Table " + name + " does not exist");
    const std::string db = io::readWhole(dbFile, name);
    // The .MB is read only for tables with memo or blob fields; a record whose blob lives in a
    // missing .MB fails when it is decoded.
    std::optional<std::string> mb;
    if (db.size() > hdr::FieldInfo) {
        const Header h = parseDataHeader(db, name);
        if (hasBlobFields(h.info.fields))
            if (auto mbPath = io::sibling(dbFile, "MB"))
                mb = io::readWhole(*mbPath, mbPath->string());
    }
    if (mb)
        return parse(db, std::string_view(*mb), name);
    return parse(db, std::nullopt, name);
}

std::optional<std::size_t> PxTable::fieldIndex(const std::string& name) const
{
    // The first name spelled exactly so; failing that, the first equal but for ASCII letter
    // case. One pass, comparing in place.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const auto& f = info_.fields;
    std::optional<std::size_t> caseless;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const std::string& have = f[i].name;
        if (have.size() != name.size())
            continue;
        bool exact = true;
        std::size_t k = 0;
        for (; k < name.size(); ++k) {
            if (have[k] == name[k])
                continue;
            exact = false;
            if (caseless || lower(have[k]) != lower(name[k]))
                break;
        }
        if (exact)
            return i;
        if (!caseless && k == name.size())
            caseless = i;
    }
    return caseless;
}

// ---------------------------------------------------------------------------------------------
// Appending

void appendRecord(const fs::path& dbFile, const Record& record)
{
    const std::string name = dbFile.string();
    std::error_code ec;
    if (!fs::exists(dbFile, ec))
        throw common::DatabaseError("Table " + name + " does not exist");
    io::TableLock lock(dbFile, true);
    std::string db = io::readWhole(dbFile, name);
    const Header h = parseDataHeader(db, name);
    const std::vector<Block> blocks = walkBlocks(db, h, name);
    if (h.fileType != UnkeyedDb || h.info.keyFieldCount != 0)
        fail(name, "the table is keyed; records can be appended only to unkeyed tables");
    const auto& fields = h.info.fields;
    if (record.size() != fields.size())
        fail(name, "the record has " + std::to_string(record.size()) + " values for " + std::to_string(fields.size()) +
                       " fields");

    // The record, with AutoInc fields numbered from the header's counter when left null.
    std::string rec(h.recordSize, '\0');
    std::uint32_t autoInc = le32(ubytes(db) + hdr::AutoInc);
    const std::uint32_t autoIncBefore = autoInc;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        Value v = record[i];
        if (fields[i].type == FieldType::AutoInc) {
            if (v.isNull()) {
                if (autoInc >= 2147483647u)
                    fail(name, "field " + fields[i].name + ": the automatic numbering is exhausted");
                v = Value::integerValue(static_cast<std::int64_t>(autoInc) + 1);
            }
        }
        encodeField(ubytes(rec) + h.offsets[i], fields[i], v, name);
        if (fields[i].type == FieldType::AutoInc && v.kind == Value::Kind::Integer && v.integer > 0 &&
            static_cast<std::uint64_t>(v.integer) > autoInc)
            autoInc = static_cast<std::uint32_t>(v.integer);
    }

    unsigned char* d = ubytes(db);
    const std::size_t rs = h.recordSize;
    if (!blocks.empty() && BlockHeaderSize + (blocks.back().records + 1) * rs <= h.blockSize) {
        // Room in the last block of the chain.
        const Block& tail = blocks.back();
        if (db.size() < tail.offset + h.blockSize)
            db.resize(tail.offset + h.blockSize, '\0');
        d = ubytes(db);
        std::memcpy(d + tail.offset + BlockHeaderSize + tail.records * rs, rec.data(), rs);
        putLe16(d + tail.offset + 4, static_cast<std::uint32_t>(tail.records * rs));
    } else {
        // A new block at the end of the file, linked after the last one.
        const std::size_t inFile = (db.size() - h.headerSize + h.blockSize - 1) / h.blockSize;
        const std::size_t number = std::max<std::size_t>(inFile, h.fileBlocks) + 1;
        if (number > 0xFFFF)
            fail(name, "the table is full");
        const std::size_t off = h.headerSize + (number - 1) * h.blockSize;
        db.resize(off + h.blockSize, '\0');
        d = ubytes(db);
        const std::uint16_t prev = blocks.empty() ? 0 : blocks.back().number;
        putLe16(d + off, 0);
        putLe16(d + off + 2, prev);
        putLe16(d + off + 4, 0);
        std::memcpy(d + off + BlockHeaderSize, rec.data(), rs);
        if (prev != 0)
            putLe16(d + blocks.back().offset, static_cast<std::uint32_t>(number));
        putLe16(d + hdr::BlocksInUse, le16(d + hdr::BlocksInUse) + 1u);
        putLe16(d + hdr::FileBlocks, static_cast<std::uint32_t>(number));
        putLe16(d + hdr::MaxBlocks, static_cast<std::uint32_t>(number));
        putLe16(d + hdr::LastBlock, static_cast<std::uint32_t>(number));
        if (blocks.empty())
            putLe16(d + hdr::FirstBlock, static_cast<std::uint32_t>(number));
    }
    putLe32(d + hdr::NumRecords, le32(d + hdr::NumRecords) + 1u);
    if (autoInc != autoIncBefore)
        putLe32(d + hdr::AutoInc, autoInc);
    io::commit(dbFile, {{dbFile, std::move(db), false}});
}

// ---------------------------------------------------------------------------------------------
// Emptying

namespace {

// A data or index file without records: its header alone, with the counters of records and
// blocks, the chain, the free list and (index files) the tree reset. Every other header byte
// stays as it was.
std::string emptied(const std::string& file, const Header& h, bool index)
{
    std::string out = file.substr(0, h.headerSize);
    unsigned char* d = ubytes(out);
    putLe32(d + hdr::NumRecords, 0);
    putLe16(d + hdr::BlocksInUse, 0);
    putLe16(d + hdr::FileBlocks, 0);
    putLe16(d + hdr::FirstBlock, 0);
    putLe16(d + hdr::LastBlock, 0);
    putLe16(d + hdr::MaxBlocks, 0);
    putLe16(d + hdr::FirstFreeBlock, 0);
    if (index) {
        putLe16(d + hdr::IndexRoot, 0);
        d[hdr::IndexLevels] = 0;
    }
    return out;
}

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Secondary index files: .Xnn/.Ynn (hexadecimal numbers) and .XGn/.YGn.
char secondaryKind(const std::string& ext)
{
    if (ext.size() != 4 || ext[0] != '.')
        return 0;
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(ext[1])));
    const char second = static_cast<char>(std::toupper(static_cast<unsigned char>(ext[2])));
    if ((k != 'X' && k != 'Y') || !(isHex(second) || second == 'G') || !isHex(ext[3]))
        return 0;
    return k;
}

} // namespace

namespace {

// The new contents of every file of the table when emptied, in commit order: the secondary
// indexes, then the primary index, then the .DB last, so that the table the host opens changes
// last. Every file's header is read and checked (an emptied file is its header alone);
// nothing is written.
std::vector<io::NewContent> emptiedFiles(const fs::path& dbFile)
{
    const std::string name = dbFile.string();
    std::error_code ec;
    const std::string db = io::readHeader(dbFile, name);
    const Header h = parseDataHeader(db, name);
    std::vector<io::NewContent> secondary, primary;
    const fs::path dir = dbFile.parent_path().empty() ? fs::path(".") : dbFile.parent_path();
    const std::string stem = lowerAscii(dbFile.stem().string());
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (!e.is_regular_file(ec) || lowerAscii(e.path().stem().string()) != stem)
            continue;
        const std::string ext = e.path().extension().string();
        const char kind = secondaryKind(ext);
        const bool px = lowerAscii(ext) == ".px";
        if (!kind && !px)
            continue;
        const std::string iname = e.path().string();
        const std::string content = io::readHeader(e.path(), iname);
        const Header ih = parseIndexHeader(content, iname);
        bool ok = false;
        if (px)
            ok = ih.fileType == PrimaryIndex;
        else if (kind == 'X')
            ok = ih.fileType == SecondaryData || ih.fileType == SecondaryDataInc || ih.fileType == SecondaryDataG ||
                 ih.fileType == SecondaryDataGInc;
        else
            ok = ih.fileType == SecondaryIndex || ih.fileType == SecondaryIndexG;
        if (!ok)
            fail(iname, "the file is not an index of the expected kind (file type " + std::to_string(ih.fileType) + ")");
        const bool treeFile = px || kind == 'Y';
        (px ? primary : secondary).push_back({e.path(), emptied(content, ih, treeFile), false});
    }
    std::vector<io::NewContent> all = std::move(secondary);
    for (auto& p : primary)
        all.push_back(std::move(p));
    all.push_back({dbFile, emptied(db, h, false), false});
    return all;
}

} // namespace

void emptyTable(const fs::path& dbFile)
{
    std::error_code ec;
    if (!fs::exists(dbFile, ec))
        throw common::DatabaseError("Table " + dbFile.string() + " does not exist");
    io::TableLock lock(dbFile, true);
    const std::vector<io::NewContent> files = emptiedFiles(dbFile);
    // An emptying written ahead is used when it still fits the table's files: renames only.
    if (io::commitPrepared(dbFile, files))
        return;
    io::discardPrepared(dbFile, files);
    io::commit(dbFile, files);
}

namespace {

void checkFolderWritable(const fs::path& dbFile)
{
    std::error_code ec;
    if (!fs::exists(dbFile, ec))
        throw common::DatabaseError("Table " + dbFile.string() + " does not exist");
    // The commit writes new files beside the table and renames them over it.
    const fs::path dir = dbFile.parent_path().empty() ? fs::path(".") : dbFile.parent_path();
    if (::access(dir.c_str(), W_OK | X_OK) != 0)
        throw common::DatabaseError("Table " + dbFile.string() + ": the folder " + dir.string() +
                                    " cannot be written (" + std::strerror(errno) + ")");
}

void checkFilesWritable(const fs::path& dbFile, const std::vector<io::NewContent>& files)
{
    for (const io::NewContent& f : files)
        if (::access(f.file.c_str(), W_OK) != 0)
            throw common::DatabaseError("Table " + dbFile.string() + ": the file " + f.file.string() +
                                        " cannot be written (" + std::strerror(errno) + ")");
}

} // namespace

void checkEmptyTable(const fs::path& dbFile)
{
    checkFolderWritable(dbFile);
    io::TableLock lock(dbFile, true);
    checkFilesWritable(dbFile, emptiedFiles(dbFile));
}

void prepareEmptyTable(const fs::path& dbFile)
{
    checkFolderWritable(dbFile);
    io::TableLock lock(dbFile, true);
    const std::vector<io::NewContent> files = emptiedFiles(dbFile);
    checkFilesWritable(dbFile, files);
    io::prepare(dbFile, files);
}

void discardPreparedEmptying(const fs::path& dbFile)
{
    std::error_code ec;
    if (!fs::exists(dbFile, ec))
        return;
    try {
        io::TableLock lock(dbFile, true);
        io::discardPrepared(dbFile, emptiedFiles(dbFile));
    } catch (const common::Error&) {
        // Left behind, it is never used unless it still fits the table exactly.
    }
}

// ---------------------------------------------------------------------------------------------
// Creating

namespace {

std::string emptyMb()
{
    std::string mb(MbBlockSize, '\0');
    unsigned char* d = ubytes(mb);
    putLe16(d + 1, 1);   // the header is one 4k block
    putLe16(d + 3, 1);   // modification count
    const unsigned char fixed[] = {0x82, 0x73, 0x02, 0x00, 0x29};
    std::memcpy(d + 5, fixed, sizeof fixed);
    putLe16(d + 0x0B, 0x1000); // block size
    putLe16(d + 0x0D, 0x1000); // sub-allocated block size
    d[0x10] = 0x10;            // sub-allocation chunk
    putLe16(d + 0x11, 0x40);   // sub-allocations per block
    putLe16(d + 0x13, 0x800);  // sub-allocation threshold
    putLe16(d + 0x29, 0x2A1);
    return mb;
}

} // namespace

void createTable(const fs::path& dbFile, const std::vector<FieldDef>& input, int codePage)
{
    const std::string name = dbFile.string();
    if (input.empty() || input.size() > 255)
        fail(name, "a table needs between 1 and 255 fields");
    if (codePage <= 0 || codePage > 0xFFFF)
        fail(name, "code page " + std::to_string(codePage) + " is not valid");
    std::vector<FieldDef> fields = input;
    std::size_t recordSize = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        FieldDef& f = fields[i];
        const std::string which = "field " + (f.name.empty() ? std::to_string(i + 1) : f.name);
        if (f.name.empty() || f.name.size() > 25 || f.name.find('\0') != std::string::npos)
            fail(name, which + ": a field name has 1 to 25 characters");
        for (std::size_t j = 0; j < i; ++j)
            if (lowerAscii(fields[j].name) == lowerAscii(f.name))
                fail(name, which + ": the name is used twice");
        if (!knownFieldType(static_cast<std::uint8_t>(f.type)))
            fail(name, which + ": unknown field type");
        bool ok;
        if (f.type == FieldType::Bcd) {
            ok = (f.size == 0 || f.size == static_cast<int>(BcdSize)) && f.bcdDigits >= 0 && f.bcdDigits <= 32;
            f.size = static_cast<int>(BcdSize);
        } else if (int fixed = fixedSize(f.type); fixed != 0) {
            ok = f.size == 0 || f.size == fixed;
            f.size = fixed;
        } else if (isBlobType(f.type)) {
            const int minLeader = (f.type == FieldType::Memo || f.type == FieldType::FmtMemo) ? 1 : 0;
            ok = f.size >= static_cast<int>(BlobPointerSize) + minLeader && f.size <= 250;
        } else {
            ok = f.size >= 1 && f.size <= 255;
        }
        if (!ok)
            fail(name, which + ": size " + std::to_string(f.size) + " is not valid for its type");
        recordSize += static_cast<std::size_t>(f.size);
    }
    std::size_t blockSize = 2048;
    if (recordSize + BlockHeaderSize > blockSize)
        blockSize = 4096;
    if (recordSize + BlockHeaderSize > blockSize)
        fail(name, "the record (" + std::to_string(recordSize) + " bytes) is too long");

    const std::size_t n = fields.size();
    const std::string tableName = dbFile.filename().string().substr(0, 260);
    std::size_t namesLen = 0;
    for (const auto& f : fields)
        namesLen += f.name.size() + 1;
    const std::string sortOrder = "ascii";
    const std::size_t used = hdr::FieldInfo + 2 * n + 4 + 4 * n + 261 + namesLen + 2 * n + sortOrder.size() + 1;
    const std::size_t headerSize = (used + 0x7FF) / 0x800 * 0x800;

    std::string db(headerSize, '\0');
    unsigned char* d = ubytes(db);
    putLe16(d + hdr::RecordSize, static_cast<std::uint32_t>(recordSize));
    putLe16(d + hdr::HeaderSize, static_cast<std::uint32_t>(headerSize));
    d[hdr::FileType] = UnkeyedDb;
    d[hdr::BlockSizeCode] = static_cast<unsigned char>(blockSize / 1024);
    putLe16(d + hdr::NumFields, static_cast<std::uint32_t>(n));
    putLe32(d + hdr::Encryption1, 0xFF00FF00u);
    d[hdr::SortOrder] = 0; // "ascii"
    d[hdr::FileVersion] = 12;
    d[0x3E] = 0x1F;
    d[0x3F] = 0x0F;
    d[0x56] = 0x20;
    putLe16(d + 0x58, 0x010C);
    putLe16(d + 0x5A, 0x010C);
    putLe16(d + 0x64, static_cast<std::uint32_t>(n + 1));
    putLe16(d + hdr::CodePage, static_cast<std::uint32_t>(codePage));
    d[0x6C] = 1;
    d[0x6D] = 1;
    std::size_t pos = hdr::FieldInfo;
    for (const auto& f : fields) {
        d[pos++] = static_cast<unsigned char>(f.type);
        d[pos++] = static_cast<unsigned char>(f.type == FieldType::Bcd ? f.bcdDigits : f.size);
    }
    pos += 4 + 4 * n; // the table-name and field-name pointers (meaningful only in memory)
    std::memcpy(d + pos, tableName.data(), tableName.size());
    pos += 261;
    for (const auto& f : fields) {
        std::memcpy(d + pos, f.name.data(), f.name.size());
        pos += f.name.size() + 1;
    }
    for (std::size_t i = 0; i < n; ++i, pos += 2)
        putLe16(d + pos, static_cast<std::uint32_t>(i + 1));
    std::memcpy(d + pos, sortOrder.data(), sortOrder.size());

    std::error_code ec;
    if (fs::exists(dbFile, ec))
        throw common::DatabaseError("Table " + name + " already exists");
    io::TableLock lock(dbFile, true);
    std::vector<io::NewContent> files;
    if (hasBlobFields(fields)) {
        const fs::path mbPath = io::sibling(dbFile, "MB").value_or(expectedMb(dbFile));
        files.push_back({mbPath, emptyMb(), false}); // a stale .MB of a deleted table is replaced
    }
    files.push_back({dbFile, std::move(db), true});
    io::commit(dbFile, files);
}

} // namespace ecf::data::px

#pragma once
// The Paradox table engine: reads and writes the host's Paradox tables (.DB with its .PX,
// .MB and secondary index files) with our own code. Tables are small; a table is read whole
// into memory when opened. Every write is durable (fsync of the file, and of the folder when
// a file is created or renamed) and atomic (an interruption leaves the old or the new table),
// and is guarded among our own processes by an advisory lock.
//
// Errors: every failure throws ecf::common::DatabaseError with a text that names the file.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ecf::data::px {

enum class FieldType : std::uint8_t {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FmtMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoInc = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};

struct FieldDef {
    std::string name;        // bytes in the table's code page
    FieldType type = FieldType::Alpha;
    int size = 0;            // bytes in the record (Alpha: its length; Bcd: 17; memo: leader + 10)
    int bcdDigits = 0;       // Bcd only: decimals, from the header's field-size byte
};

// One field of one record.
struct Value {
    enum class Kind { Null, Text, Integer, Float, Logical, Date, Time, Timestamp, Bcd, Bytes };
    Kind kind = Kind::Null;
    std::string bytes;       // Text (code-page bytes), Bytes (blob / Bytes content), Bcd (decimal text "-12.3400")
    std::int64_t integer = 0;// Integer (Short, Long, AutoInc); Date: days since 1 Jan 0001 (that day is 1);
                             // Time: milliseconds since midnight
    double real = 0;         // Float (Number, Currency); Timestamp: milliseconds since 1 Jan 0001 (Paradox's own count)
    bool logical = false;    // Logical

    bool isNull() const { return kind == Kind::Null; }
    static Value null() { return {}; }
    static Value text(std::string b) { Value v; v.kind = Kind::Text; v.bytes = std::move(b); return v; }
    static Value integerValue(std::int64_t i) { Value v; v.kind = Kind::Integer; v.integer = i; return v; }
    static Value floatValue(double d) { Value v; v.kind = Kind::Float; v.real = d; return v; }
    static Value logicalValue(bool b) { Value v; v.kind = Kind::Logical; v.logical = b; return v; }
    static Value date(std::int64_t days) { Value v; v.kind = Kind::Date; v.integer = days; return v; }
    static Value time(std::int64_t ms) { Value v; v.kind = Kind::Time; v.integer = ms; return v; }
    static Value timestamp(double ms) { Value v; v.kind = Kind::Timestamp; v.real = ms; return v; }
};

using Record = std::vector<Value>; // one Value per field, in field order

struct TableInfo {
    std::vector<FieldDef> fields;
    int codePage = 1252;         // from the header (437, 850, 866, 1252, ...)
    int keyFieldCount = 0;       // primary key fields (0: unkeyed)
    int fileVersion = 0;         // header's file-version id
};

// A table read whole: its structure and its records in table order (the order of the data
// blocks' chain), deleted records left out.
//
// A damaged header or block chain refuses the table. A damaged value (a blob pointer outside
// the .MB, a missing .MB, an impossible BCD number) does not: it stands as a null in
// records(), and value() throws for it, naming the table, the record and the field.
class PxTable {
public:
    // Reads and validates `dbFile` (and its .MB when the table has memo or blob fields).
    static PxTable read(const std::filesystem::path& dbFile);
    // The same from file contents in memory; `mb` is the .MB's content, nullopt when there is
    // none. `name` names the table in error texts.
    static PxTable parse(std::string_view db, std::optional<std::string_view> mb, const std::string& name);

    const TableInfo& info() const { return info_; }
    const std::vector<FieldDef>& fields() const { return info_.fields; }
    const std::vector<Record>& records() const { return records_; }
    // One field of one record (indexes into records() and fields()); throws DatabaseError
    // when the value is damaged or the indexes are out of range.
    const Value& value(std::size_t record, std::size_t field) const;
    // Index of a field by name (exact bytes, then case-insensitively); nullopt when missing.
    std::optional<std::size_t> fieldIndex(const std::string& name) const;

    struct Damage {
        std::size_t record = 0; // index into records()
        std::size_t field = 0;
        std::string what;
    };
    // The damaged values, by record and then field.
    const std::vector<Damage>& damage() const { return damage_; }

private:
    std::string name_;
    TableInfo info_;
    std::vector<Record> records_;
    std::vector<Damage> damage_;
};

// Appends one record to an unkeyed table, durably. Values of Kind Null write a null field; a
// null AutoInc field takes the table's next number. Texts longer than their field, or a
// Value of a kind the field cannot hold, throw; so does a memo or blob longer than the
// field's leader (blobs are not written to the .MB).
void appendRecord(const std::filesystem::path& dbFile, const Record& record);

// Deletes every record: the .DB keeps its header with its counters reset, and the primary
// .PX and secondary .Xnn/.Ynn indexes are emptied consistently. The .MB (if any) is left as it
// is: its blobs are no longer referenced, and its own allocation lists stay consistent.
void emptyTable(const std::filesystem::path& dbFile);
// Everything emptyTable would do short of writing: the table and its index files read and
// checked, the lock taken, the files and the folder writable. Throws DatabaseError naming the
// file that would make emptying fail.
void checkEmptyTable(const std::filesystem::path& dbFile);
// checkEmptyTable, and the emptied files written ahead beside the table and synced, so that
// the emptyTable that follows needs no free space on the table's disk (it renames them into
// place, as long as the table's headers have not changed meanwhile). Throws DatabaseError,
// leaving nothing written, when the files cannot be written (a full disk).
void prepareEmptyTable(const std::filesystem::path& dbFile);
// Removes an emptying written ahead that will not be used (the table is kept).
void discardPreparedEmptying(const std::filesystem::path& dbFile);

// Creates a new unkeyed table (Paradox 7 layout, the given code page) with these fields
// (an empty .MB beside it when a field is a memo or blob). Fails when the file exists.
// Sizes of fixed-size types may be given as 0.
void createTable(const std::filesystem::path& dbFile, const std::vector<FieldDef>& fields, int codePage = 1252);

} // namespace ecf::data::px

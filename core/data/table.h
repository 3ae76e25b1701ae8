#pragma once
// Table components on the alias "VANTIS", with the host database engine's field semantics:
// a cursor over the records, fields read as text, integer, floating, money or truth value,
// an edit buffer, append and post, find by key, a master-detail link, empty and create.
//
// Texts stay bytes in the table's code page (convert with common::toUtf8 only for display).
// Every failure throws common::DatabaseError naming the table (and the field); a field that
// does not convert to the type asked for throws common::ConversionError.
#include "common/money.h"
#include "data/paradox/px.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ecf::data {

// The alias "VANTIS": the folder named by the environment variable VANTIS_DIR. Table names
// match the folder's files case-insensitively; a name without extension gets ".DB".
class Database {
public:
    // The folder of the alias; throws DatabaseError naming the alias and the variable when
    // VANTIS_DIR is unset or the folder is missing.
    static std::filesystem::path folder();
    // The file of a table, whether or not it exists (an existing file of any letter case
    // wins; else the name as given, with ".DB" added when it has no extension).
    static std::filesystem::path tablePath(const std::string& tableName);
    static bool tableExists(const std::string& tableName);
    // What a newcomer does next when the folder is not set or holds no host tables.
    static const char* const kWhatToDo;
};

class Table;

// A field of the current record (or of the edit buffer while editing or appending).
class Field {
public:
    Field(Table& table, std::size_t index) : table_(&table), index_(index) {}

    const std::string& name() const;
    bool isNull() const;
    // Text: the bytes as stored. A number gives its shortest decimal form with a comma
    // ("1234,5"), an integer its decimal digits, a date "dd/mm/yyyy", a truth value
    // "True"/"False", a null the empty text.
    std::string asString() const;
    // Integer: a text converts (surrounding blanks allowed) or throws ConversionError; a
    // floating value rounds to the nearest integer (ties to even); a null gives 0.
    std::int32_t asInteger() const;
    // Floating: a text converts with the comma (or period) as decimal separator, or throws.
    double asFloat() const;
    // Money: a floating value rounds to the nearest ten-thousandth; a text converts or throws.
    common::Money asMoney() const;
    // Truth value: a logical field; a text "True"/"T"/"Y"... ; a null gives false.
    bool asBoolean() const;

    // Assignments, allowed only while the table is in edit or append mode.
    void setString(const std::string& bytes);
    void setInteger(std::int64_t value);
    void setFloat(double value);
    void setBoolean(bool value);
    // Days and milliseconds as the Paradox engine counts them (px::Value::date / timestamp).
    void setValue(const px::Value& value);
    void clear();

private:
    std::string place() const; // " (table T, field F, record N)" for error texts
    Table* table_;
    std::size_t index_;
};

class Table {
public:
    explicit Table(std::string tableName); // e.g. "CFCABEC.DB", "Filial.DB", "Log2612"
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& tableName() const { return name_; }

    void open();                 // reads the table; the cursor stands on the first record
    void close();                // a pending edit or append is discarded
    bool active() const { return open_; }

    void first();
    void next();
    bool eof() const;            // past the last record (also true on an empty table)
    bool isEmpty() const;
    std::size_t recordCount() const;
    // The current record's number among the records shown, from 1 (0 when there is none).
    std::size_t recordNumber() const
    {
        return open_ && !visible_.empty() ? std::min(pos_, visible_.size() - 1) + 1 : 0;
    }

    Field fieldByName(const std::string& name); // throws DatabaseError when the field is missing
    bool hasField(const std::string& name) const;
    const std::vector<px::FieldDef>& fieldDefs() const;
    int codePage() const;

    // Edit buffer. edit(): the current record is copied to the buffer; append(): a blank
    // buffer; post(): an appended record is written to the file (durably), an edited one
    // is rejected (the program never posts edits). cancel() drops the buffer.
    void edit();
    void append();
    void post();
    void cancel();
    enum class State { Inactive, Browse, Edit, Insert };
    State state() const;

    // Moves to the first record whose first key fields equal `keyValues` (compared as text,
    // exact bytes; a numeric field by value, so "05" finds 5); a scan, so it works on keyed
    // and unkeyed tables alike. A miss leaves the cursor where it was. The key fields are
    // the table's primary key fields, or its first fields when it has no primary key.
    bool findKey(const std::vector<std::string>& keyValues);
    // Moves to the first record whose field `fieldName` equals `value` read as integer.
    bool locateInteger(const std::string& fieldName, std::int64_t value);

    void refresh();              // re-reads the file, keeping the position where possible

    // Master-detail link: this table shows only the records whose `fields` equal those of
    // the master's current record (compared as stored values), in the table's order. The
    // link is followed whenever the master moves or this table is (re)opened.
    void setMaster(Table* master, std::vector<std::string> fields);

    // Table operations on the file (the table must be closed).
    void emptyTable();
    void createTable(const std::vector<px::FieldDef>& fields);
    bool exists() const;

    // Internal use by Field.
    const px::Value& valueAt(std::size_t index) const;
    void assign(std::size_t index, px::Value value);

private:
    void requireOpen() const;
    void applyFilter();
    void masterMoved();

    std::string name_;
    bool open_ = false;
    std::unique_ptr<px::PxTable> data_;
    std::vector<std::size_t> visible_; // indexes of records shown (all, or the detail's subset)
    std::size_t pos_ = 0;
    State state_ = State::Inactive;
    px::Record buffer_;
    Table* master_ = nullptr;
    std::vector<std::string> linkFields_;
    std::vector<Table*> details_;
};

// Closes a table on every way out of a scope, so that an error does not leave it open for
// the next handler.
class CloseOnExit {
public:
    explicit CloseOnExit(Table& table) : table_(table) {}
    ~CloseOnExit()
    {
        try {
            if (table_.active())
                table_.close();
        } catch (...) {
            // closing a table read into memory has nothing left to fail on
        }
    }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    Table& table_;
};

} // namespace ecf::data

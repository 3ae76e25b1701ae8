// Creating, appending to and emptying tables.
#include "common/errors.h"
#include "data/paradox/px_format.h"
#include "px_index_files.h"
#include "px_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ecf::test;
using namespace ecf::test::pxt;
using Kind = px::Value::Kind;
using px::FieldType;
using px::Value;

namespace {

std::vector<px::FieldDef> everyWritableType()
{
    return {field("Nome", FieldType::Alpha, 20),   field("Valor", FieldType::Number),    field("Preco", FieldType::Currency),
            field("Qtd", FieldType::Short),         field("Codigo", FieldType::Long),     field("Data", FieldType::Date),
            field("Hora", FieldType::Time),         field("DataHora", FieldType::Timestamp), field("Ativo", FieldType::Logical),
            field("Seq", FieldType::AutoInc),       field("Aliq", FieldType::Bcd, 17, 2), field("Bin", FieldType::Bytes, 8),
            field("Obs", FieldType::Memo, 20)};
}

px::Record fullRecord()
{
    Value bcd;
    bcd.kind = Kind::Bcd;
    bcd.bytes = "-12.34";
    Value bin;
    bin.kind = Kind::Bytes;
    bin.bytes = std::string("\x01\x00\x02", 3);
    return {Value::text("Caf\xe9 com a\xe7\xfa"), Value::floatValue(-1234.5678), Value::floatValue(0.1),
            Value::integerValue(-32767), Value::integerValue(2147483647), Value::date(738000),
            Value::time(86399999), Value::timestamp(63763200000000.0), Value::logicalValue(false),
            Value::null(), bcd, bin, Value::text("curta")};
}

px::Record nullRecord() { return px::Record(13, Value::null()); }

bool sameValue(const Value& a, const Value& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case Kind::Null: return true;
    case Kind::Text: case Kind::Bytes: case Kind::Bcd: return a.bytes == b.bytes;
    case Kind::Float: case Kind::Timestamp: return a.real == b.real;
    case Kind::Logical: return a.logical == b.logical;
    default: return a.integer == b.integer;
    }
}

std::filesystem::path made(const TempDir& dir, const std::string& name = "LOG2612.DB")
{
    const auto p = dir.path() / name;
    px::createTable(p, everyWritableType(), 850);
    return p;
}

} // namespace

TEST(ParadoxWrite, CreatedTableReadsBackEveryTypeNullsIncluded)
{
    TempDir dir;
    const auto db = made(dir);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "LOG2612.MB"));
    auto empty = px::PxTable::read(db);
    EXPECT_TRUE(empty.records().empty());
    EXPECT_EQ(empty.info().codePage, 850);
    EXPECT_EQ(empty.info().keyFieldCount, 0);
    ASSERT_EQ(empty.fields().size(), 13u);
    EXPECT_EQ(empty.fields()[10].bcdDigits, 2);
    EXPECT_EQ(empty.fields()[12].size, 20);

    px::appendRecord(db, fullRecord());
    px::appendRecord(db, nullRecord());
    px::Record explicitSeq = nullRecord();
    explicitSeq[9] = Value::integerValue(10);
    px::appendRecord(db, explicitSeq);
    px::appendRecord(db, nullRecord());

    const auto t = px::PxTable::read(db);
    ASSERT_EQ(t.records().size(), 4u);
    px::Record want = fullRecord();
    want[9] = Value::integerValue(1); // numbered by the table
    want[10].bytes = "-12.34";
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (i != 11) { // a Bytes field reads back whole, padded with zeros
            EXPECT_TRUE(sameValue(t.records()[0][i], want[i])) << "field " << i;
        }
    }
    EXPECT_EQ(t.records()[0][11].bytes, std::string("\x01\x00\x02\x00\x00\x00\x00\x00", 8));
    for (std::size_t i = 0; i < 13; ++i) {
        if (i != 9) {
            EXPECT_TRUE(t.records()[1][i].isNull()) << "field " << i;
        }
    }
    EXPECT_EQ(t.records()[1][9].integer, 2);
    EXPECT_EQ(t.records()[2][9].integer, 10);
    EXPECT_EQ(t.records()[3][9].integer, 11);
}

TEST(ParadoxWrite, AppendsFillBlocksThenChainNewOnes)
{
    TempDir dir;
    const auto db = dir.path() / "MANY.DB";
    px::createTable(db, {field("N", FieldType::Long), field("T", FieldType::Alpha, 200)});
    for (int i = 1; i <= 40; ++i) // ten records a 2k block: four blocks
        px::appendRecord(db, {Value::integerValue(i), Value::text(std::string(static_cast<std::size_t>(i), 'x'))});
    const auto t = px::PxTable::read(db);
    ASSERT_EQ(t.records().size(), 40u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(t.records()[static_cast<std::size_t>(i)][0].integer, i + 1);
        EXPECT_EQ(t.records()[static_cast<std::size_t>(i)][1].bytes.size(), static_cast<std::size_t>(i + 1));
    }
    const std::string bytes = readFile(db);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x06]), 40);   // records
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x0C]), 4);    // blocks in the file
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x10]), 4);    // last block
    EXPECT_EQ(bytes.size(), 0x800u + 4 * 0x800u);
}

TEST(ParadoxWrite, RejectedValuesLeaveTheTableUntouched)
{
    TempDir dir;
    const auto db = made(dir);
    px::appendRecord(db, fullRecord());
    const std::string before = readFile(db);
    struct Case {
        const char* what;
        std::size_t field;
        Value value;
    };
    const std::vector<Case> cases = {
        {"text longer than the field", 0, Value::text(std::string(21, 'a'))},
        {"text with a zero byte", 0, Value::text(std::string("a\0b", 3))},
        {"number for a text", 0, Value::integerValue(1)},
        {"short out of range", 3, Value::integerValue(32768)},
        {"short's null pattern", 3, Value::integerValue(-32768)},
        {"long from a fraction", 4, Value::floatValue(1.5)},
        {"long's null pattern", 4, Value::integerValue(std::numeric_limits<std::int32_t>::min())},
        {"not a number", 1, Value::floatValue(std::nan(""))},
        {"infinite currency", 2, Value::floatValue(HUGE_VAL)},
        {"negative time", 6, Value::time(-1)},
        {"time past the day", 6, Value::time(86400000)},
        {"text for a logical", 8, Value::text("T")},
        {"bcd with more decimals", 10, Value::text("1.234")},
        {"bcd too large", 10, Value::text(std::string(31, '9'))},
        {"bcd not a number", 10, Value::text("12a")},
        {"bytes too long", 11, Value::text(std::string(9, 'b'))},
        {"memo longer than its leader", 12, Value::text(std::string(11, 'm'))},
        {"date for a time", 6, Value::date(5)},
    };
    for (const auto& c : cases) {
        px::Record r = nullRecord();
        r[c.field] = c.value;
        EXPECT_THROW(px::appendRecord(db, r), ecf::common::DatabaseError) << c.what;
    }
    EXPECT_THROW(px::appendRecord(db, px::Record(12, Value::null())), ecf::common::DatabaseError);
    EXPECT_EQ(readFile(db), before);
}

TEST(ParadoxWrite, CreateRefusesBadDefinitionsAndExistingTables)
{
    TempDir dir;
    const auto db = made(dir);
    const std::string before = readFile(db);
    EXPECT_THROW(px::createTable(db, {field("A", FieldType::Alpha, 5)}), ecf::common::DatabaseError);
    EXPECT_EQ(readFile(db), before);

    const std::vector<std::vector<px::FieldDef>> bad = {
        {},
        {field("A", FieldType::Alpha, 0)},
        {field("A", FieldType::Alpha, 256)},
        {field("A", FieldType::Alpha, 5), field("a", FieldType::Long)},
        {field(std::string(26, 'n'), FieldType::Long)},
        {field("", FieldType::Long)},
        {field("L", FieldType::Long, 8)},
        {field("B", FieldType::Bcd, 17, 33)},
        {field("M", FieldType::Memo, 10)},
        {field("X", static_cast<FieldType>(0x07), 4)},
        {field("A", FieldType::Alpha, 255), field("B", FieldType::Alpha, 255), field("C", FieldType::Alpha, 255),
         field("D", FieldType::Alpha, 255), field("E", FieldType::Alpha, 255), field("F", FieldType::Alpha, 255),
         field("G", FieldType::Alpha, 255), field("H", FieldType::Alpha, 255), field("I", FieldType::Alpha, 255),
         field("J", FieldType::Alpha, 255), field("K", FieldType::Alpha, 255), field("L", FieldType::Alpha, 255),
         field("M", FieldType::Alpha, 255), field("N", FieldType::Alpha, 255), field("O", FieldType::Alpha, 255),
         field("P", FieldType::Alpha, 255), field("Q", FieldType::Alpha, 255)}, // longer than a 4k block
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const auto p = dir.path() / ("BAD" + std::to_string(i) + ".DB");
        EXPECT_THROW(px::createTable(p, bad[i]), ecf::common::DatabaseError) << i;
        EXPECT_FALSE(std::filesystem::exists(p)) << i;
    }
}

TEST(ParadoxWrite, AppendKeepsTheHostHeaderAndRefusesKeyedTables)
{
    ECF_NEED_SAMPLES();
    TempDir dir;
    const auto keyed = copySample(dir, "country.db");
    const std::string keyedBefore = readFile(keyed);
    EXPECT_THROW(px::appendRecord(keyed, px::Record(5, Value::null())), ecf::common::DatabaseError);
    EXPECT_EQ(readFile(keyed), keyedBefore);

    // An unkeyed host table: only the record count changes in the header (the last block has room).
    const auto db = copySample(dir, "of_cp866.db");
    const std::string before = readFile(db);
    px::Record r(19, Value::null());
    r[0] = Value::text("\x88\xad\xa2");
    px::appendRecord(db, r);
    const std::string after = readFile(db);
    ASSERT_GE(after.size(), before.size());
    for (std::size_t i = 0; i < 0x800; ++i) {
        if (i < 0x06 || i > 0x09) {
            EXPECT_EQ(before[i], after[i]) << "header byte " << i;
        }
    }
    const auto t = px::PxTable::read(db);
    ASSERT_EQ(t.records().size(), 2198u);
    EXPECT_EQ(t.records().back()[0].bytes, "\x88\xad\xa2");
}

TEST(ParadoxWrite, EmptyingAnUnkeyedTableThenAppending)
{
    ECF_NEED_SAMPLES();
    TempDir dir;
    const auto db = copySample(dir, "of_cp866.db");
    const std::string before = readFile(db);
    px::emptyTable(db);
    const std::string after = readFile(db);
    ASSERT_EQ(after.size(), 0x800u);
    for (std::size_t i = 0; i < 0x800; ++i) {
        const bool counter = (i >= 0x06 && i <= 0x11) || i == 0x3A || i == 0x3B || i == 0x4D || i == 0x4E;
        if (counter) {
            EXPECT_EQ(after[i], 0) << "header byte " << i;
        } else {
            EXPECT_EQ(after[i], before[i]) << "header byte " << i;
        }
    }
    EXPECT_TRUE(px::PxTable::read(db).records().empty());

    px::Record r(19, Value::null());
    r[0] = Value::text("5270");
    r[4] = Value::date(730462);
    px::appendRecord(db, r);
    px::appendRecord(db, r);
    const auto t = px::PxTable::read(db);
    ASSERT_EQ(t.records().size(), 2u);
    EXPECT_EQ(t.records()[1][0].bytes, "5270");
    EXPECT_EQ(t.records()[1][4].integer, 730462);
    EXPECT_EQ(t.info().codePage, 866);
}

TEST(ParadoxWrite, EmptyingATableWhoseHeaderIsLongerThanFourKilobytes)
{
    TempDir dir;
    const auto db = dir.path() / "WIDE.DB";
    std::vector<px::FieldDef> fields;
    for (int i = 100; i < 300; ++i)
        fields.push_back(field("Field with long name " + std::to_string(i), FieldType::Short));
    px::createTable(db, fields);
    px::appendRecord(db, px::Record(fields.size(), Value::integerValue(7)));
    const std::size_t headerSize = static_cast<unsigned char>(readFile(db)[2]) | static_cast<unsigned char>(readFile(db)[3]) << 8;
    ASSERT_GT(headerSize, 4096u);
    px::emptyTable(db);
    EXPECT_EQ(readFile(db).size(), headerSize);
    const auto t = px::PxTable::read(db);
    EXPECT_TRUE(t.records().empty());
    EXPECT_EQ(t.fields().back().name, fields.back().name);
}

TEST(ParadoxWrite, EmptyingAKeyedTableEmptiesItsIndexesAndNothingElse)
{
    ECF_NEED_SAMPLES();
    TempDir dir;
    const auto db = copySample(dir, "country.db");
    writeFile(dir.path() / "COUNTRY.PX", indexFile(1, 30));
    writeFile(dir.path() / "country.X02", indexFile(3, 50));
    writeFile(dir.path() / "country.Y02", indexFile(4, 56));
    writeFile(dir.path() / "Country.XG0", indexFile(8, 50));
    const std::string unrelated = indexFile(1, 30);
    writeFile(dir.path() / "countries.PX", unrelated);
    writeFile(dir.path() / "country.YML", "not an index");

    px::emptyTable(db);
    EXPECT_TRUE(px::PxTable::read(db).records().empty());
    for (const char* name : {"COUNTRY.PX", "country.X02", "country.Y02", "Country.XG0"}) {
        const std::string f = readFile(dir.path() / name);
        ASSERT_EQ(f.size(), 0x800u) << name;
        EXPECT_EQ(f[0x06], 0) << name;
        EXPECT_EQ(f[0x0C], 0) << name;
        EXPECT_EQ(f[0x0E], 0) << name;
        EXPECT_EQ(f[0x29], 0x62) << name; // sort order kept
        EXPECT_EQ(f[0x2D], 0x33) << name; // change counters kept
        EXPECT_EQ(f[0x2E], 0x44) << name;
        EXPECT_EQ(f[0x100], static_cast<char>(0x100 * 7)) << name;
    }
    EXPECT_EQ(readFile(dir.path() / "COUNTRY.PX")[0x1E], 0);
    EXPECT_EQ(readFile(dir.path() / "COUNTRY.PX")[0x20], 0);
    EXPECT_EQ(readFile(dir.path() / "countries.PX"), unrelated);
    EXPECT_EQ(readFile(dir.path() / "country.YML"), "not an index");
    // Emptying twice is harmless.
    px::emptyTable(db);
    EXPECT_TRUE(px::PxTable::read(db).records().empty());
}

TEST(ParadoxWrite, EmptyingStopsBeforeWritingWhenAnIndexIsNotOne)
{
    ECF_NEED_SAMPLES();
    TempDir dir;
    const auto db = copySample(dir, "country.db");
    const std::string before = readFile(db);
    writeFile(dir.path() / "country.PX", indexFile(1, 30));
    writeFile(dir.path() / "country.X03", indexFile(2, 30)); // a data file under an index's name
    EXPECT_THROW(px::emptyTable(db), ecf::common::DatabaseError);
    EXPECT_EQ(readFile(db), before);
    EXPECT_EQ(readFile(dir.path() / "country.PX"), indexFile(1, 30));
    EXPECT_THROW(px::emptyTable(dir.path() / "MISSING.DB"), ecf::common::DatabaseError);
}

TEST(ParadoxWrite, BcdEncodingRoundTrips)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0", "0.00"},      {"-0", "0.00"},           {"1", "1.00"},          {"-1.5", "-1.50"},
        {"12,34", "12.34"}, {"+7.10", "7.10"},        {"1.230000", "1.23"},
        {std::string(30, '9') + ".99", std::string(30, '9') + ".99"},
        {"-" + std::string(30, '9'), "-" + std::string(30, '9') + ".00"},
    };
    for (const auto& [in, out] : cases) {
        unsigned char b[17];
        ASSERT_TRUE(px::format::encodeBcd(b, in, 2)) << in;
        EXPECT_EQ(px::format::decodeBcd(b), out) << in;
    }
    unsigned char b[17];
    for (const char* badText : {"", "-", ".", "1.2.3", "1e5", " 1", "1.001", "1234567890123456789012345678901"})
        EXPECT_FALSE(px::format::encodeBcd(b, badText, 2)) << badText;
}

// Reading real Paradox tables written by the host's engine, and refusing damaged ones.
#include "common/errors.h"
#include "data/paradox/px_format.h"
#include "px_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace ecf::test;
using namespace ecf::test::pxt;
using Kind = px::Value::Kind;

namespace {

void expectInt(const px::Value& v, Kind kind, std::int64_t want)
{
    EXPECT_EQ(v.kind, kind);
    EXPECT_EQ(v.integer, want);
}

void expectReal(const px::Value& v, Kind kind, double want)
{
    EXPECT_EQ(v.kind, kind);
    EXPECT_DOUBLE_EQ(v.real, want);
}

void expectBcd(const px::Value& v, const std::string& want)
{
    EXPECT_EQ(v.kind, Kind::Bcd);
    EXPECT_EQ(v.bytes, want);
}

} // namespace

TEST(ParadoxRead, TypSammlungEveryTypeWithNullsAndZeros)
{
    ECF_NEED_SAMPLES();
    const auto t = px::PxTable::read(sample("TypSammlung.DB"));
    const auto& info = t.info();
    EXPECT_EQ(info.codePage, 1252);
    EXPECT_EQ(info.keyFieldCount, 2);
    EXPECT_EQ(info.fileVersion, 12);
    ASSERT_EQ(info.fields.size(), 14u);
    const std::vector<std::pair<std::string, px::FieldType>> want = {
        {"Alpha", px::FieldType::Alpha},       {"Numerisch", px::FieldType::Number},   {"W\xe4hrung", px::FieldType::Currency},
        {"Integer kurz", px::FieldType::Short}, {"Integer lang", px::FieldType::Long}, {"BCD", px::FieldType::Bcd},
        {"Datum", px::FieldType::Date},         {"Zeit", px::FieldType::Time},         {"Datum/Zeit", px::FieldType::Timestamp},
        {"Memo", px::FieldType::Memo},          {"Logisch", px::FieldType::Logical},   {"Z\xe4hler", px::FieldType::AutoInc},
        {"Bin\xe4r", px::FieldType::Blob},      {"Bytes", px::FieldType::Bytes}};
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(info.fields[i].name, want[i].first);
        EXPECT_EQ(info.fields[i].type, want[i].second) << i;
    }
    EXPECT_EQ(info.fields[5].size, 17);
    EXPECT_EQ(info.fields[5].bcdDigits, 6);
    EXPECT_EQ(info.fields[9].size, 11);

    const auto& r = t.records();
    ASSERT_EQ(r.size(), 5u);
    // First record: the known values.
    EXPECT_EQ(text(r[0][0]), "AAA Irgendein Text");
    expectReal(r[0][1], Kind::Float, 40);
    expectReal(r[0][2], Kind::Float, 40);
    expectInt(r[0][3], Kind::Integer, 40);
    expectInt(r[0][4], Kind::Integer, 40);
    expectBcd(r[0][5], "40.000000");
    expectInt(r[0][6], Kind::Date, 719163); // 1 January 1970
    expectInt(r[0][7], Kind::Time, 0);      // midnight, not null
    expectReal(r[0][8], Kind::Timestamp, 62135722800000.0);
    EXPECT_TRUE(r[0][9].isNull());
    EXPECT_TRUE(r[0][10].isNull());
    expectInt(r[0][11], Kind::Integer, 1);
    EXPECT_TRUE(r[0][12].isNull());
    EXPECT_TRUE(r[0][13].isNull());

    // Second record: nulls of every numeric type, a false logical.
    EXPECT_EQ(text(r[1][0]), "Erste Zeile");
    for (int i : {2, 3, 4, 5, 6, 7, 8})
        EXPECT_TRUE(r[1][i].isNull()) << "field " << i;
    EXPECT_EQ(r[1][10].kind, Kind::Logical);
    EXPECT_FALSE(r[1][10].logical);

    // Third record: fractions, a date before year 1, the memo from the .MB.
    EXPECT_EQ(text(r[2][0]), "F\xfcnfter Datensatz");
    expectReal(r[2][1], Kind::Float, 1.34);
    expectReal(r[2][2], Kind::Float, 13.002);
    expectBcd(r[2][5], "13.123457");
    expectInt(r[2][6], Kind::Date, -366);
    expectInt(r[2][7], Kind::Time, 4212000);
    expectReal(r[2][8], Kind::Timestamp, -31618800000.0);
    EXPECT_EQ(text(r[2][9]), "Dies ist eine Memo im 'F\xfcnften Datensat'");

    // Fourth record: zeros, which are not nulls.
    expectReal(r[3][1], Kind::Float, 0);
    expectReal(r[3][2], Kind::Float, 0);
    expectInt(r[3][3], Kind::Integer, 0);
    expectInt(r[3][4], Kind::Integer, 0);
    expectBcd(r[3][5], "0.000000");

    // Fifth record: negative numbers and a true logical.
    expectReal(r[4][1], Kind::Float, -40);
    expectInt(r[4][3], Kind::Integer, -40);
    expectInt(r[4][4], Kind::Integer, -40);
    expectBcd(r[4][5], "-40.000000");
    expectInt(r[4][6], Kind::Date, 730006);
    expectInt(r[4][7], Kind::Time, 40271000);
    EXPECT_TRUE(r[4][10].logical);
    expectInt(r[4][11], Kind::Integer, 2);
}

TEST(ParadoxRead, CountryInTableOrder)
{
    ECF_NEED_SAMPLES();
    const auto t = px::PxTable::read(sample("country.db"));
    EXPECT_EQ(t.info().codePage, 850);
    ASSERT_EQ(t.records().size(), 18u);
    const auto& first = t.records().front();
    EXPECT_EQ(text(first[0]), "Argentina");
    EXPECT_EQ(text(first[1]), "Buenos Aires");
    EXPECT_EQ(text(first[2]), "South America");
    expectReal(first[3], Kind::Float, 2777815);
    expectReal(first[4], Kind::Float, 32300003);
    EXPECT_EQ(text(t.records().back()[0]), "Venezuela");
    EXPECT_EQ(t.fieldIndex("Capital"), 1u);
    EXPECT_EQ(t.fieldIndex("POPULATION"), 4u);
    EXPECT_FALSE(t.fieldIndex("Capitals").has_value());
}

TEST(ParadoxRead, BiolifeMemosAndGraphicsFromTheBlobFile)
{
    ECF_NEED_SAMPLES();
    const auto t = px::PxTable::read(sample("biolife.db"));
    EXPECT_EQ(t.info().codePage, 437);
    // The file holds a free block: only the chain's three blocks are records.
    ASSERT_EQ(t.records().size(), 28u);
    const auto notes = *t.fieldIndex("Notes");
    const auto graphic = *t.fieldIndex("Graphic");
    const auto& r0 = t.records()[0];
    ASSERT_EQ(r0[notes].kind, Kind::Text);
    EXPECT_EQ(r0[notes].bytes.size(), 701u);
    EXPECT_EQ(r0[notes].bytes.rfind("Also known as the big spotted triggerfish", 0), 0u);
    ASSERT_EQ(r0[graphic].kind, Kind::Bytes);
    EXPECT_EQ(r0[graphic].bytes.size(), 38886u);
    for (const auto& rec : t.records()) {
        EXPECT_EQ(rec[notes].kind, Kind::Text);
        EXPECT_FALSE(rec[graphic].isNull());
    }
    EXPECT_EQ(text(t.records().back()[2]), "Surf Smelt");
}

TEST(ParadoxRead, Cp866TableKeepsItsBytes)
{
    ECF_NEED_SAMPLES();
    const auto t = px::PxTable::read(sample("of_cp866.db"));
    EXPECT_EQ(t.info().codePage, 866);
    EXPECT_EQ(t.info().keyFieldCount, 0);
    ASSERT_EQ(t.records().size(), 2197u);
    // "Инвентарный номер" in code page 866.
    EXPECT_EQ(t.fields()[0].name, "\x88\xad\xa2\xa5\xad\xe2\xa0\xe0\xad\xeb\xa9 \xad\xae\xac\xa5\xe0");
    EXPECT_EQ(text(t.records()[0][0]), "001370009");
    expectInt(t.records()[0][4], Kind::Date, 719893);
    EXPECT_EQ(text(t.records().back()[0]), "5270");
}

// ---------------------------------------------------------------------------------------------
// Damaged files: a clear error naming the table, never a crash or a wrong read.

namespace {

std::string typSammlung() { return readFile(sample("TypSammlung.DB")); }
std::string typSammlungMb() { return readFile(sample("TypSammlung.MB")); }

void put16(std::string& s, std::size_t at, unsigned v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// Offset of the memo's blob pointer in the third record of TypSammlung.DB.
constexpr std::size_t memoPointer = 0x800 + 6 + 2 * 366 + 30 + 8 + 8 + 2 + 4 + 17 + 4 + 4 + 8 + 1;

} // namespace

TEST(ParadoxRead, DamagedHeadersAndBlocksAreRefused)
{
    ECF_NEED_SAMPLES();
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
    };
    const std::vector<Case> cases = {
        {"empty file", [](std::string& s) { s.clear(); }},
        {"cut inside the header", [](std::string& s) { s.resize(0x100); }},
        {"cut inside the data block", [](std::string& s) { s.resize(0x800 + 400); }},
        {"no fields", [](std::string& s) { put16(s, 0x21, 0); }},
        {"too many fields", [](std::string& s) { put16(s, 0x21, 300); }},
        {"sizes do not add up", [](std::string& s) { s[0x79] = 29; }},
        {"unknown field type", [](std::string& s) { s[0x78] = 0x07; }},
        {"wrong size for a Long", [](std::string& s) { s[0x78 + 9] = 8; }},
        {"unknown block size", [](std::string& s) { s[5] = 9; }},
        {"unknown version", [](std::string& s) { s[0x39] = 99; }},
        {"header larger than the file", [](std::string& s) { put16(s, 2, 0x2000); }},
        {"version 4 header cut before its field list", [](std::string& s) { s.resize(0x5A); put16(s, 2, 0x58); }},
        {"record larger than a block", [](std::string& s) { put16(s, 0, 0x900); }},
        {"first block past the end", [](std::string& s) { put16(s, 0x0E, 7); }},
        {"chain loops", [](std::string& s) { put16(s, 0x800, 1); }},
        {"block claims too many records", [](std::string& s) { put16(s, 0x804, 366 * 10); }},
        {"encrypted", [](std::string& s) { s[0x5C] = 1; }},
        {"field names run off the header", [](std::string& s) { std::memset(s.data() + 0x1D5, 'A', 0x800 - 0x1D5); }},
        {"not a data file", [](std::string& s) { s[4] = 1; }},
    };
    for (const auto& c : cases) {
        std::string db = typSammlung();
        c.damage(db);
        const std::string mb = typSammlungMb();
        try {
            px::PxTable::parse(db, std::string_view(mb), "DAMAGED.DB");
            ADD_FAILURE() << c.what << ": read without error";
        } catch (const ecf::common::DatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find("DAMAGED"), std::string::npos) << c.what << ": " << e.what();
        }
    }
}

// A damaged value leaves the table readable: only a read of that value fails, naming the
// table, the record and the field.
namespace {

void expectDamaged(const px::PxTable& t, std::size_t record, std::size_t field, const std::string& what,
                   const std::string& context)
{
    try {
        (void)t.value(record, field);
        ADD_FAILURE() << context << ": read without error";
    } catch (const ecf::common::DatabaseError& e) {
        const std::string want = "T.DB: record " + std::to_string(record + 1) + ", field " + t.fields()[field].name + ": ";
        EXPECT_NE(std::string(e.what()).find(want), std::string::npos) << context << ": " << e.what();
        EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << context << ": " << e.what();
    }
    EXPECT_EQ(text(t.value(record, 0)), "F\xfcnfter Datensatz") << context;
    for (const auto& d : t.damage())
        EXPECT_TRUE(px::format::isBlobType(t.fields()[d.field].type) || d.field == field) << context;
}

} // namespace

TEST(ParadoxRead, DamagedValuesFailOnlyWhenRead)
{
    ECF_NEED_SAMPLES();
    struct Case {
        const char* what;
        std::function<void(std::string& db, std::string& mb)> damage;
    };
    const std::vector<Case> cases = {
        {"pointer past the end of the .MB", [](std::string& db, std::string&) { db[memoPointer + 2] = 0x7F; }},
        {"pointer into the .MB header", [](std::string& db, std::string&) { db[memoPointer + 1] = 0x00; }},
        {"length differs from the blob's", [](std::string& db, std::string&) { db[memoPointer + 4] = 41; }},
        {"blob index past the pointer array", [](std::string& db, std::string&) { db[memoPointer] = 0x50; }},
        {"deleted blob", [](std::string&, std::string& mb) { mb[0x1000 + 12 + 5 * 0x3F + 4] = 0; }},
        {"wrong block type", [](std::string&, std::string& mb) { mb[0x1000] = 4; }},
        {"truncated .MB", [](std::string&, std::string& mb) { mb.resize(0x1100); }},
        {"leader length without a blob", [](std::string& db, std::string&) {
             std::memset(db.data() + memoPointer, 0, 4);
         }},
    };
    for (const auto& c : cases) {
        std::string db = typSammlung(), mb = typSammlungMb();
        c.damage(db, mb);
        expectDamaged(px::PxTable::parse(db, std::string_view(mb), "T.DB"), 2, 9, "", c.what);
    }
    // A BCD number with a non-digit among its integer places.
    std::string db = typSammlung();
    db[0x800 + 6 + 2 * 366 + 52 + 1] = static_cast<char>(0xAA);
    const auto t = px::PxTable::parse(db, std::string_view(typSammlungMb()), "T.DB");
    expectDamaged(t, 2, 5, "BCD", "BCD");
    EXPECT_EQ(t.value(1, 5).kind, Kind::Null);
    EXPECT_EQ(t.value(3, 5).bytes, "0.000000");
}

TEST(ParadoxRead, MissingFilesNameTheFile)
{
    TempDir dir;
    try {
        px::PxTable::read(dir.path() / "NOPE.DB");
        ADD_FAILURE();
    } catch (const ecf::common::DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("NOPE.DB"), std::string::npos);
    }
    // A memo stored in the .MB while the .MB is missing: only that value fails.
    ECF_NEED_SAMPLES();
    copySample(dir, "TypSammlung.DB");
    const auto t = px::PxTable::read(dir.path() / "TypSammlung.DB");
    try {
        (void)t.value(2, 9);
        ADD_FAILURE();
    } catch (const ecf::common::DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("TypSammlung.DB: record 3, field Memo: the blob file"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("TypSammlung.MB is missing"), std::string::npos) << e.what();
    }
    EXPECT_EQ(t.value(4, 11).integer, 2);
}

TEST(ParadoxRead, ShrunkBlockLeavesItsDeletedRecordsOut)
{
    ECF_NEED_SAMPLES();
    // As the host's engine deletes: the records move up and the block's last-record offset
    // shrinks, leaving the old bytes behind it.
    std::string db = readFile(sample("country.db"));
    const auto full = px::PxTable::parse(db, std::nullopt, "country.db");
    put16(db, 0x804, 88 * 4);
    const auto cut = px::PxTable::parse(db, std::nullopt, "country.db");
    ASSERT_EQ(cut.records().size(), 5u);
    EXPECT_EQ(text(cut.records()[4][0]), text(full.records()[4][0]));
}

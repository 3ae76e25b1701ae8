#pragma once
// Real Paradox tables for tests, made with the engine itself (px::createTable and
// px::appendRecord) in a folder of the test's choice, usually a TempDir that VANTIS_DIR
// points at:
//
//   ecf::test::TempDir dir;
//   ecf::test::ScopedEnv env("VANTIS_DIR", dir.path().string());
//   using namespace ecf::test::px_values;           // txt(), lng(), num(), ...
//   ecf::test::makeTable(dir.path(), "CFITENS.DB",
//       {{"Filial", px::FieldType::Long, 4},
//        {"Descr_Prod", px::FieldType::Alpha, 40},
//        {"Quantidade", px::FieldType::Number, 8}},
//       {{lng(1), txt("CANETA"), num(2.5)},
//        {lng(1), txt("LAPIS"), nul()}});
//
// Field sizes: Alpha its length in bytes, Short 2, Long/AutoInc/Date/Time 4, Number/Currency/
// Timestamp 8, Logical 1, Bcd 17 (set bcdDigits for the decimals). The shorthands alpha(),
// longField(), ... below fill them in. Texts are bytes in the table's code page (1252 unless
// given). Only header-only code here: link the test against ecf_data (any test folder but
// tests/common).
#include "data/paradox/px.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ecf::test {

namespace px = ecf::data::px;

// Creates `dir`/`name` with these fields and appends the rows in order. Returns the file's path.
// Each row holds one px::Value per field (px::Value::null() for a null field).
inline std::filesystem::path makeTable(const std::filesystem::path& dir, const std::string& name,
                                       const std::vector<px::FieldDef>& fields,
                                       const std::vector<px::Record>& rows = {}, int codePage = 1252)
{
    const std::filesystem::path file = dir / name;
    px::createTable(file, fields, codePage);
    for (const px::Record& row : rows)
        px::appendRecord(file, row);
    return file;
}

// Field definitions with their sizes filled in.
namespace px_fields {
inline px::FieldDef alpha(std::string name, int length) { return {std::move(name), px::FieldType::Alpha, length, 0}; }
inline px::FieldDef shortField(std::string name) { return {std::move(name), px::FieldType::Short, 2, 0}; }
inline px::FieldDef longField(std::string name) { return {std::move(name), px::FieldType::Long, 4, 0}; }
inline px::FieldDef number(std::string name) { return {std::move(name), px::FieldType::Number, 8, 0}; }
inline px::FieldDef currency(std::string name) { return {std::move(name), px::FieldType::Currency, 8, 0}; }
inline px::FieldDef logical(std::string name) { return {std::move(name), px::FieldType::Logical, 1, 0}; }
inline px::FieldDef date(std::string name) { return {std::move(name), px::FieldType::Date, 4, 0}; }
inline px::FieldDef bcd(std::string name, int decimals) { return {std::move(name), px::FieldType::Bcd, 17, decimals}; }
} // namespace px_fields

// Values for rows.
namespace px_values {
inline px::Value nul() { return px::Value::null(); }
inline px::Value txt(std::string bytes) { return px::Value::text(std::move(bytes)); }
inline px::Value lng(std::int64_t v) { return px::Value::integerValue(v); }
inline px::Value num(double v) { return px::Value::floatValue(v); }
inline px::Value logi(bool v) { return px::Value::logicalValue(v); }
// A Bcd value from its decimal text with a period, e.g. "12.3400".
inline px::Value bcdText(std::string decimal)
{
    px::Value v;
    v.kind = px::Value::Kind::Bcd;
    v.bytes = std::move(decimal);
    return v;
}
// A calendar date as the Paradox day count (1 January 0001 is day 1).
inline px::Value ymd(int year, int month, int day)
{
    // Days from the civil calendar (proleptic Gregorian), counted from 1 January 0001.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t daysFrom0000_03_01 = static_cast<std::int64_t>(era) * 146097 + doe;
    // 0001-01-01 is 306 days after 0000-03-01.
    return px::Value::date(daysFrom0000_03_01 - 306 + 1);
}
} // namespace px_values

} // namespace ecf::test

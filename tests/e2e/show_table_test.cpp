// ecf-cli show-table on a table made in a temp folder: texts converted from the table's code
// page, nulls, memos, and a damaged value shown without hiding the rest.
#include "data/paradox/px.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

namespace {

namespace fs = std::filesystem;
namespace px = ecf::data::px;

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun showTable(const ecf::test::TempDir& dir, const std::vector<std::string>& args)
{
    std::string cmd = std::string("'") + ECF_CLI_PATH + "' show-table";
    for (const auto& a : args)
        cmd += " '" + a + "'";
    cmd += " >'" + (dir.path() / "out").string() + "' 2>'" + (dir.path() / "err").string() + "'";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ecf::test::readFile(dir.path() / "out"),
            ecf::test::readFile(dir.path() / "err")};
}

} // namespace

TEST(ShowTable, ShowsTextsNullsMemosAndDamage)
{
    ecf::test::TempDir dir;
    const fs::path db = dir.path() / "ITENS.DB";
    px::createTable(db, {{"Descri\xe7\xe3o", px::FieldType::Alpha, 20, 0}, {"Qtd", px::FieldType::Long, 0, 0},
                         {"Preco", px::FieldType::Bcd, 0, 2}, {"Obs", px::FieldType::Memo, 20, 0}});
    auto bcd = [](const char* s) { px::Value v; v.kind = px::Value::Kind::Bcd; v.bytes = s; return v; };
    px::appendRecord(db, {px::Value::text("Jos\xe9"), px::Value::null(), bcd("12.50"), px::Value::text("um\ndois")});
    px::appendRecord(db, {px::Value::text("A\xe7\xe3o"), px::Value::integerValue(3), bcd("1.00"), px::Value::null()});

    CliRun r = showTable(dir, {db.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* want : {"code page 1252, 2 records", "Descri\xc3\xa7\xc3\xa3o = \"Jos\xc3\xa9\"",
                             "Qtd       = (null)", "Preco     = 12.50", "Obs       = \"um\\ndois\"",
                             "Descri\xc3\xa7\xc3\xa3o = \"A\xc3\xa7\xc3\xa3o\"", "Obs       = (null)"})
        EXPECT_NE(r.out.find(want), std::string::npos) << want << "\n" << r.out;

    // A non-digit among the integer places of the second record's BCD number.
    std::string bytes = ecf::test::readFile(db);
    const std::size_t header = static_cast<unsigned char>(bytes[2]) | (static_cast<unsigned char>(bytes[3]) << 8);
    bytes[header + 6 + 61 + 24 + 1] = static_cast<char>(0xAB);
    ecf::test::writeFile(db, bytes);
    r = showTable(dir, {db.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Preco     = (damaged: the BCD number is damaged)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Qtd       = 3"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("1 damaged value in"), std::string::npos) << r.err;

    r = showTable(dir, {(dir.path() / "NONE.DB").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NONE.DB does not exist"), std::string::npos) << r.err;
    EXPECT_EQ(showTable(dir, {}).status, 2);
}

// Number and Currency values in plain decimal with the places they need, never an exponent; a
// file that is not a table says what show-table reads.
TEST(ShowTable, NumbersInPlainDecimal)
{
    ecf::test::TempDir dir;
    const fs::path db = dir.path() / "VALORES.DB";
    px::createTable(db, {{"N", px::FieldType::Number, 0, 0}, {"C", px::FieldType::Currency, 0, 0}});
    const auto real = px::Value::floatValue;
    px::appendRecord(db, {real(65000000), real(0.0001)});
    px::appendRecord(db, {real(-1234.5), real(1e21)});
    const CliRun r = showTable(dir, {db.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* want : {"N = 65000000\n", "C = 0.0001\n", "N = -1234.5\n", "C = 1000000000000000000000\n"})
        EXPECT_NE(r.out.find(want), std::string::npos) << want << "\n" << r.out;
    EXPECT_EQ(r.out.find("e+"), std::string::npos) << r.out;

    ecf::test::writeFile(dir.path() / "notes.txt", "not a table at all, but long enough to have a header\n");
    const CliRun bad = showTable(dir, {(dir.path() / "notes.txt").string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("show-table lê uma tabela Paradox"), std::string::npos) << bad.err;
}

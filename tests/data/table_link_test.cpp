#include "common/errors.h"
#include "common/text.h"
#include "data/table.h"
#include "support/tables.h"
#include "px_test_util.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace ecf::data {
namespace {

using namespace ecf::test::px_fields;
using namespace ecf::test::px_values;
using common::DatabaseError;

const std::vector<std::string> kLink = {"Filial", "Num_Nota", "Tipo_Nota", "Cod_Clifor", "DT_ENTRADA"};

std::vector<int> itemNumbers(Table& items)
{
    std::vector<int> out;
    for (items.first(); !items.eof(); items.next())
        out.push_back(items.fieldByName("Num_Item").asInteger());
    return out;
}

class TableLink : public testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};

    void SetUp() override
    {
        test::makeTable(dir.path(), "CFCABEC.DB",
                        {longField("Filial"), longField("Num_Nota"), alpha("Tipo_Nota", 2), longField("Cod_Clifor"),
                         date("DT_ENTRADA"), alpha("Cliente", 30)},
                        {{lng(1), lng(100), txt("CF"), lng(55), ymd(2024, 5, 2), txt("JOSE")},
                         {lng(1), lng(101), txt("CF"), lng(56), ymd(2024, 5, 2), txt("MARIA")}});
        // Items 1..2 and 9 belong to the first header; each of 3..7 differs in one link field;
        // 8 belongs to the second header.
        test::makeTable(dir.path(), "CFITENS.DB",
                        {longField("Filial"), number("Num_Nota"), alpha("Tipo_Nota", 2), longField("Cod_Clifor"),
                         date("DT_ENTRADA"), longField("Num_Item")},
                        {{lng(1), num(100), txt("CF"), lng(55), ymd(2024, 5, 2), lng(1)},
                         {lng(1), num(100), txt("CF"), lng(55), ymd(2024, 5, 2), lng(2)},
                         {lng(2), num(100), txt("CF"), lng(55), ymd(2024, 5, 2), lng(3)},
                         {lng(1), num(100.5), txt("CF"), lng(55), ymd(2024, 5, 2), lng(4)},
                         {lng(1), num(100), txt("cf"), lng(55), ymd(2024, 5, 2), lng(5)},
                         {lng(1), num(100), txt("CF"), lng(54), ymd(2024, 5, 2), lng(6)},
                         {lng(1), num(100), txt("CF"), lng(55), ymd(2024, 5, 3), lng(7)},
                         {lng(1), num(101), txt("CF"), lng(56), ymd(2024, 5, 2), lng(8)},
                         {lng(1), num(100), txt("CF"), lng(55), ymd(2024, 5, 2), lng(9)}});
    }
};

TEST_F(TableLink, DetailShowsExactlyTheLinkedRecordsAndFollowsTheMaster)
{
    Table cabec("CFCABEC.DB");
    Table itens("CFITENS.DB");
    itens.setMaster(&cabec, kLink);
    cabec.open();
    itens.open();
    EXPECT_EQ(itemNumbers(itens), (std::vector<int>{1, 2, 9}));
    EXPECT_EQ(itens.recordCount(), 3u);

    cabec.next();
    EXPECT_EQ(itemNumbers(itens), (std::vector<int>{8}));
    cabec.next(); // past the end: the master still stands on its last record
    EXPECT_TRUE(cabec.eof());
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "MARIA");
    cabec.first();
    EXPECT_EQ(itemNumbers(itens), (std::vector<int>{1, 2, 9}));
    EXPECT_TRUE(cabec.findKey({"1", "101"}));
    EXPECT_EQ(itemNumbers(itens), (std::vector<int>{8}));
}

TEST_F(TableLink, DetailOfAClosedOrEmptyMasterShowsNothing)
{
    Table cabec("CFCABEC.DB");
    Table itens("CFITENS.DB");
    itens.setMaster(&cabec, kLink);
    itens.open();
    EXPECT_TRUE(itens.isEmpty());
    EXPECT_TRUE(itens.eof());
    cabec.open();
    EXPECT_EQ(itens.recordCount(), 3u);
    cabec.close();
    EXPECT_TRUE(itens.isEmpty());

    Table::State s = itens.state();
    EXPECT_EQ(s, Table::State::Browse);
    itens.close();
    cabec.emptyTable();
    cabec.open();
    itens.open();
    EXPECT_TRUE(cabec.isEmpty());
    EXPECT_TRUE(itens.isEmpty());
}

TEST_F(TableLink, MissingLinkFieldNamesTableAndField)
{
    {
        Table a("CFCABEC.DB"), b("CFITENS.DB");
        b.setMaster(&a, kLink);
        EXPECT_THROW(a.setMaster(&b, kLink), DatabaseError); // a loop would never end
    }
    test::makeTable(dir.path(), "OUTRA.DB", {longField("Filial")}, {{lng(1)}});
    Table cabec("CFCABEC.DB");
    Table outra("OUTRA.DB");
    outra.setMaster(&cabec, kLink);
    cabec.open();
    try {
        outra.open();
        FAIL() << "no error";
    } catch (const DatabaseError& e) {
        EXPECT_STREQ(e.what(), "OUTRA.DB: Field 'Num_Nota' not found");
    }
}

TEST_F(TableLink, EditBufferServesReadsAndIsNeverWritten)
{
    Table cabec("CFCABEC.DB");
    cabec.open();
    EXPECT_THROW(cabec.fieldByName("Cliente").setString("X"), DatabaseError); // not editing
    cabec.edit();
    EXPECT_EQ(cabec.state(), Table::State::Edit);
    cabec.fieldByName("Cliente").setString("CONSUMIDOR");
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "CONSUMIDOR");
    EXPECT_EQ(cabec.fieldByName("Num_Nota").asInteger(), 100);
    try {
        cabec.post();
        FAIL() << "an edit was posted";
    } catch (const DatabaseError& e) {
        EXPECT_STREQ(e.what(), "CFCABEC.DB: Editing records is not supported");
    }
    cabec.close();
    cabec.open();
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "JOSE");

    cabec.edit();
    cabec.fieldByName("Cliente").setString("OUTRO");
    cabec.cancel();
    EXPECT_EQ(cabec.state(), Table::State::Browse);
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "JOSE");
    // A text longer than its field keeps what fits.
    cabec.edit();
    cabec.fieldByName("Cliente").setString(std::string(40, 'A'));
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), std::string(30, 'A'));
}

TEST_F(TableLink, AppendedRecordsAreWrittenAndTakeTheMastersLink)
{
    Table cabec("CFCABEC.DB");
    Table itens("CFITENS.DB");
    itens.setMaster(&cabec, kLink);
    cabec.open();
    itens.open();
    itens.append();
    EXPECT_EQ(itens.state(), Table::State::Insert);
    itens.fieldByName("Num_Item").setInteger(10);
    itens.post();
    EXPECT_EQ(itens.state(), Table::State::Browse);
    EXPECT_EQ(itens.fieldByName("Num_Item").asInteger(), 10);
    EXPECT_EQ(itemNumbers(itens), (std::vector<int>{1, 2, 9, 10}));

    // Durable: another component on the same file reads it.
    Table again("cfitens.db");
    again.open();
    EXPECT_EQ(again.recordCount(), 10u);
    EXPECT_TRUE(again.locateInteger("Num_Item", 10));
    EXPECT_EQ(again.fieldByName("DT_ENTRADA").asString(), "02/05/2024");
    EXPECT_FALSE(again.locateInteger("Num_Item", 99));

    // Table operations need a closed table.
    EXPECT_THROW(again.emptyTable(), DatabaseError);
    again.close();
    itens.close();
    again.emptyTable();
    again.open();
    EXPECT_TRUE(again.isEmpty());
}

TEST_F(TableLink, FindKeyOnUnkeyedTablesComparesTheFirstFields)
{
    Table cabec("CFCABEC.DB");
    cabec.open();
    EXPECT_TRUE(cabec.findKey({"1", "101", "CF"}));
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "MARIA");
    EXPECT_FALSE(cabec.findKey({"1", "102"}));
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "MARIA"); // a miss does not move
    EXPECT_FALSE(cabec.findKey({"1", "abc"}));
    EXPECT_TRUE(cabec.findKey({"1", "0101"})); // a number compares by value
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "MARIA");
    EXPECT_TRUE(cabec.findKey({"1", "100", "CF", "55", "02/05/2024"}));
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "JOSE");
}

TEST_F(TableLink, CreateAndRefresh)
{
    Table log("Log2405");
    EXPECT_FALSE(log.exists());
    log.createTable({alpha("Usuario", 10), date("Data")});
    EXPECT_TRUE(log.exists());
    log.open();
    EXPECT_TRUE(log.isEmpty());
    px::appendRecord(Database::tablePath("Log2405"), {txt("ANA"), ymd(2024, 5, 1)});
    log.refresh();
    EXPECT_EQ(log.recordCount(), 1u);
    EXPECT_EQ(log.fieldByName("Usuario").asString(), "ANA");
    EXPECT_THROW(log.createTable({alpha("X", 1)}), DatabaseError);
}

} // namespace
} // namespace ecf::data

namespace ecf::data {
namespace {

// Tables written by Paradox itself, read through the table layer.
TEST(TableSamples, ReadsEveryFieldKindOfARealTable)
{
    ECF_NEED_SAMPLES();
    test::ScopedEnv env("VANTIS_DIR", test::samplesDir().string());
    Table t("typsammlung.db");
    t.open();
    EXPECT_EQ(t.fieldByName("Alpha").asString(), "AAA Irgendein Text");
    EXPECT_EQ(t.fieldByName("Numerisch").asFloat(), 40.0);
    EXPECT_EQ(t.fieldByName("W\xE4hrung").asMoney(), common::Money::fromWhole(40));
    EXPECT_EQ(t.fieldByName("Integer kurz").asInteger(), 40);
    EXPECT_EQ(t.fieldByName("Integer lang").asString(), "40");
    EXPECT_EQ(t.fieldByName("BCD").asMoney(), common::Money::fromWhole(40));
    EXPECT_EQ(t.fieldByName("Datum").asString(), "01/01/1970");
    EXPECT_FALSE(t.fieldByName("Logisch").asBoolean());

    Table c("COUNTRY"); // country.db, keyed on its name
    c.open();
    EXPECT_TRUE(c.findKey({"Venezuela"}));
    EXPECT_EQ(c.fieldByName("Capital").asString(), "Caracas");
    EXPECT_EQ(c.fieldByName("Area").asInteger(), 912047);
    EXPECT_FALSE(c.findKey({"Brasil"}));
}

} // namespace
} // namespace ecf::data

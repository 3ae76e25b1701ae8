#include "common/convert.h"
#include "common/errors.h"
#include "data/table.h"
#include "support/tables.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace ecf::data {
namespace {

using namespace ecf::test::px_fields;
using namespace ecf::test::px_values;
using common::ConversionError;
using common::DatabaseError;
using common::Money;

template <typename F>
std::string errorText(F f)
{
    try {
        f();
    } catch (const common::Error& e) {
        return e.what();
    }
    return "(no error)";
}

class TableFields : public testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};

    // One record holding `value` in a field of the given definition.
    Field one(Table& t, px::FieldDef def, px::Value value)
    {
        const std::string name = def.name;
        test::makeTable(dir.path(), t.tableName(), {def}, {{value}});
        t.open();
        return t.fieldByName(name);
    }
};

TEST_F(TableFields, NumbersReadAsTextIntegerFloatAndMoney)
{
    Table t("T.DB");
    test::makeTable(dir.path(), "T.DB",
                    {number("Preco"), longField("Qtd"), alpha("Texto", 20), currency("Valor"), bcd("Aliq", 4),
                     number("Vazio")},
                    {{num(1234567.89), lng(-42), txt(" 12,50 "), num(2.5), bcdText("18.5000"), nul()},
                     {num(0.5), lng(7), txt("3.25"), num(3.5), bcdText("-0.0001"), nul()}});
    t.open();
    EXPECT_EQ(t.fieldByName("Preco").asString(), "1234567,89");
    EXPECT_EQ(t.fieldByName("Preco").asFloat(), 1234567.89);
    EXPECT_EQ(t.fieldByName("Preco").asMoney(), Money::fromTenThousandths(12345678900));
    EXPECT_EQ(t.fieldByName("Preco").asInteger(), 1234568);
    EXPECT_EQ(t.fieldByName("Qtd").asString(), "-42");
    EXPECT_EQ(t.fieldByName("Qtd").asFloat(), -42.0);
    EXPECT_EQ(t.fieldByName("Qtd").asMoney(), Money::fromWhole(-42));
    EXPECT_EQ(t.fieldByName("Texto").asString(), " 12,50 ");
    EXPECT_EQ(t.fieldByName("Texto").asFloat(), 12.5);
    EXPECT_EQ(t.fieldByName("Texto").asMoney(), Money::fromTenThousandths(125000));
    EXPECT_EQ(t.fieldByName("Valor").asInteger(), 2); // ties to even
    EXPECT_EQ(t.fieldByName("Aliq").asString(), "18,5");
    EXPECT_EQ(t.fieldByName("Aliq").asMoney(), Money::fromTenThousandths(185000));
    EXPECT_EQ(t.fieldByName("Aliq").asFloat(), 18.5);
    EXPECT_TRUE(t.fieldByName("Vazio").isNull());
    EXPECT_EQ(t.fieldByName("Vazio").asString(), "");
    EXPECT_EQ(t.fieldByName("Vazio").asInteger(), 0);
    EXPECT_EQ(t.fieldByName("Vazio").asMoney(), Money());

    t.next();
    EXPECT_EQ(t.fieldByName("Preco").asString(), "0,5");
    EXPECT_EQ(t.fieldByName("Preco").asInteger(), 0);
    EXPECT_EQ(t.fieldByName("Valor").asInteger(), 4);
    EXPECT_EQ(t.fieldByName("Texto").asFloat(), 3.25); // a lone period serves as the separator
    EXPECT_EQ(t.fieldByName("Aliq").asString(), "-0,0001");
    EXPECT_EQ(t.fieldByName("Aliq").asMoney(), Money::fromTenThousandths(-1));
}

TEST_F(TableFields, MoneySumsAreExact)
{
    Table t("CFITENS.DB");
    test::makeTable(dir.path(), "CFITENS.DB", {number("BT_ICMS"), number("BI_ICMS"), number("BO_ICMS")},
                    {{num(10.0001), num(0.0002), num(0)}, {num(0.1), num(0.2), nul()}});
    t.open();
    const auto total = [&] {
        return t.fieldByName("BT_ICMS").asMoney() + t.fieldByName("BI_ICMS").asMoney() +
               t.fieldByName("BO_ICMS").asMoney();
    };
    EXPECT_EQ(total(), Money::fromTenThousandths(100003));
    t.next();
    EXPECT_EQ(total(), Money::fromTenThousandths(3000)); // as doubles 0.1 + 0.2 is not 0.3
}

TEST_F(TableFields, TextsThatAreNoNumbersRaiseTheRuntimesErrorNamingWhereTheyAre)
{
    Table t("T.DB");
    Field f = one(t, alpha("Num_Nota", 10), txt("12a"));
    const std::string where = " (table T.DB, field Num_Nota, record 1)";
    EXPECT_EQ(errorText([&] { f.asInteger(); }), "'12a' is not a valid integer value" + where);
    EXPECT_EQ(errorText([&] { f.asFloat(); }), "'12a' is not a valid floating point value" + where);
    EXPECT_THROW(f.asMoney(), ConversionError);
    EXPECT_EQ(errorText([&] { f.asBoolean(); }), "'12a' is not a valid boolean value" + where);
}

TEST_F(TableFields, TruthValues)
{
    Table t("FATURCFG.DB");
    test::makeTable(dir.path(), "FATURCFG.DB", {logical("TEF"), alpha("Txt", 10)},
                    {{logi(true), txt("True")}, {logi(false), txt("F")}, {nul(), txt("s")}, {nul(), txt("N")},
                     {nul(), txt("Y")}, {nul(), nul()}});
    t.open();
    const std::pair<bool, bool> expected[] = {{true, true}, {false, false}, {false, true},
                                              {false, false}, {false, true}, {false, false}};
    for (const auto& [tef, txtValue] : expected) {
        ASSERT_FALSE(t.eof());
        EXPECT_EQ(t.fieldByName("TEF").asBoolean(), tef);
        EXPECT_EQ(t.fieldByName("Txt").asBoolean(), txtValue) << t.fieldByName("Txt").asString();
        t.next();
    }
    t.first();
    EXPECT_EQ(t.fieldByName("TEF").asString(), "True");
}

TEST_F(TableFields, DatesReadAsTheDesktopsDateText)
{
    Table t("T.DB");
    Field f = one(t, date("DT_ENTRADA"), ymd(2024, 2, 29));
    EXPECT_EQ(f.asString(), "29/02/2024");
    EXPECT_EQ(f.asFloat(), common::encodeDate(2024, 2, 29));
}

TEST_F(TableFields, MissingTablesFieldsAndAlias)
{
    Table t("CFITENS.DB");
    test::makeTable(dir.path(), "CFITENS.DB", {longField("Filial")});
    t.open();
    EXPECT_EQ(errorText([&] { t.fieldByName("Num_Item"); }), "CFITENS.DB: Field 'Num_Item' not found");
    EXPECT_TRUE(t.hasField("filial"));
    EXPECT_FALSE(t.hasField("Num_Item"));

    Table missing("CFCABEC.DB");
    const std::string text = errorText([&] { missing.open(); });
    EXPECT_NE(text.find("CFCABEC.DB"), std::string::npos) << text;
    EXPECT_FALSE(missing.active());

    {
        test::ScopedEnv unset("VANTIS_DIR", "");
        const std::string noAlias = errorText([] { Database::folder(); });
        EXPECT_NE(noAlias.find("VANTIS"), std::string::npos);
        EXPECT_NE(noAlias.find("VANTIS_DIR"), std::string::npos);
    }
    {
        test::ScopedEnv gone("VANTIS_DIR", (dir.path() / "nowhere").string());
        EXPECT_THROW(Table("CFITENS.DB").open(), DatabaseError);
    }
    EXPECT_THROW(Database::tablePath("../CFITENS.DB"), DatabaseError);
}

TEST_F(TableFields, TableNamesMatchFilesInAnyCase)
{
    test::makeTable(dir.path(), "Filial.DB", {alpha("PortaEcf", 10)}, {{txt("COM1")}});
    for (const char* name : {"Filial.DB", "FILIAL.DB", "filial.db", "Filial"}) {
        Table t(name);
        t.open();
        EXPECT_EQ(t.fieldByName("PortaEcf").asString(), "COM1") << name;
    }
    EXPECT_EQ(Database::tablePath("Log2612").filename(), "Log2612.DB");
    EXPECT_FALSE(Database::tableExists("Log2612"));
}

TEST_F(TableFields, ClosedTablesRefuseReadsAndWalkNothing)
{
    test::makeTable(dir.path(), "T.DB", {alpha("A", 5)}, {{txt("x")}});
    Table t("T.DB");
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recordCount(), 0u);
    EXPECT_THROW(t.fieldByName("A"), DatabaseError);
    EXPECT_THROW(t.next(), DatabaseError);
    t.open();
    Field f = t.fieldByName("A");
    t.close();
    EXPECT_THROW(f.asString(), DatabaseError);
}

} // namespace
} // namespace ecf::data

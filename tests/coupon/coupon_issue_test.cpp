// The coupon issue's walk over the items: order of the driver's steps, the error stop, the
// item total, and what happens with unusual item lists; the sale's reading before it.
#include "coupon/coupon_issue.h"
#include "coupon/sale_reading.h"

#include "common/errors.h"
#include "data/table.h"
#include "support/tables.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace ecf;
using namespace ecf::test::px_values;
using namespace ecf::test::px_fields;
using common::Money;

// A driver that records what the coupon issue asks of it.
class RecordingDriver : public printer::FamilyDriver {
public:
    std::vector<std::string> steps;
    int failAtItem = 0; // Num_Item whose registration fails

    void openPort(int) override {}
    bool start(int) override { return true; }
    void close() override {}
    printer::SaleFields fields{{}, {{printer::SaleTable::Item, "Num_Item", printer::ReadAs::Integer}}, {}};

    printer::SaleFields saleFields() const override { return fields; }
    printer::TaxCode resolveTaxCode(const printer::SaleItem& r) override
    {
        steps.push_back("tax " + std::to_string(r.item.integer("Num_Item")));
        return {"TT", 3};
    }
    bool registerItem(const printer::SaleItem& r, const printer::TaxCode& code, Money total) override
    {
        const auto n = r.item.integer("Num_Item");
        steps.push_back("sell " + std::to_string(n) + " " + code.text + " " + total.toString());
        return n != failAtItem;
    }
    void closeCoupon(const printer::SaleRecord&) override { steps.push_back("close"); }
    void receipts(const printer::SaleRecord&) override { steps.push_back("receipts"); }
    void xReading() override {}
    void zReduction() override {}
    void cancelCoupon(printer::CancelKind) override {}
    void programPaymentForms(const std::vector<std::string>&) override {}
    void listPaymentForms(std::vector<std::string>&) override {}
    void fiscalMemory(const std::string&, const std::string&) override {}
};

struct Item {
    int numItem;
    double bt, bi, bo;
};

class CouponIssueTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};
    data::Table cabec{"CFCABEC.DB"};
    data::Table itens{"CFITENS.DB"};
    data::Table filial{"Filial.DB"};
    RecordingDriver driver;

    void make(const std::vector<Item>& items, bool withTotals = true)
    {
        test::makeTable(dir.path(), "CFCABEC.DB", {longField("Num_Nota"), alpha("Icms", 1)}, {{lng(7), txt("T")}});
        std::vector<test::px::FieldDef> f{longField("Num_Nota"), longField("Num_Item")};
        if (withTotals)
            f.insert(f.end(), {currency("BT_ICMS"), currency("BI_ICMS"), currency("BO_ICMS")});
        std::vector<test::px::Record> rows;
        for (const Item& it : items) {
            test::px::Record r{lng(7), lng(it.numItem)};
            if (withTotals)
                r.insert(r.end(), {num(it.bt), num(it.bi), num(it.bo)});
            rows.push_back(r);
        }
        test::makeTable(dir.path(), "CFITENS.DB", f, rows);
        test::makeTable(dir.path(), "Filial.DB", {alpha("TipoDescIt", 1)}, {{txt("V")}});
        cabec.open();
        itens.open();
        filial.open();
    }

    ecf::coupon::IssueResult issue()
    {
        return ecf::coupon::issueCoupon(driver, ecf::coupon::readSale(driver.saleFields(), cabec, itens, filial));
    }
};

TEST_F(CouponIssueTest, WalksEveryItemThenCloses)
{
    make({{1, 10.0001, 0.0002, 0}, {2, 1.5, 0, 2.25}, {3, 0, 0, 0}});
    // A later item must not reuse an earlier one's position or total.
    itens.next();
    EXPECT_EQ(issue(), ecf::coupon::IssueResult::Completed);
    EXPECT_EQ(driver.steps, (std::vector<std::string>{
                                "tax 1", "sell 1 TT 10.0003", "tax 2", "sell 2 TT 3.7500", "tax 3",
                                "sell 3 TT 0.0000", "close", "receipts"}));
}

TEST_F(CouponIssueTest, ErrorStopEndsAtTheRefusedItem)
{
    make({{1, 5, 0, 0}, {2, 6, 0, 0}, {3, 7, 0, 0}});
    driver.failAtItem = 2;
    EXPECT_EQ(issue(), ecf::coupon::IssueResult::Stopped);
    EXPECT_EQ(driver.steps, (std::vector<std::string>{"tax 1", "sell 1 TT 5.0000", "tax 2", "sell 2 TT 6.0000"}));
}

TEST_F(CouponIssueTest, UnusualItemLists)
{
    struct Case {
        const char* name;
        std::vector<Item> items;
        int failAt;
        std::vector<std::string> steps;
    };
    const std::vector<Case> cases{
        {"empty list: straight to the closing stage", {}, 0, {"close", "receipts"}},
        {"no item 1: every item still goes to the driver",
         {{2, 1, 0, 0}, {3, 2, 0, 0}},
         0,
         {"tax 2", "sell 2 TT 1.0000", "tax 3", "sell 3 TT 2.0000", "close", "receipts"}},
        {"first item refused", {{1, 1, 0, 0}, {2, 2, 0, 0}}, 1, {"tax 1", "sell 1 TT 1.0000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cabec.close();
        itens.close();
        filial.close();
        for (const char* t : {"CFCABEC.DB", "CFITENS.DB", "Filial.DB"})
            std::filesystem::remove(dir.path() / t);
        driver = RecordingDriver{};
        driver.failAtItem = c.failAt;
        make(c.items);
        issue();
        EXPECT_EQ(driver.steps, c.steps);
    }
}

TEST_F(CouponIssueTest, ReadingStopsAtTheFirstMissingFieldInTheFamilysOrder)
{
    make({{1, 0, 0, 0}}, /*withTotals=*/false);
    using printer::SaleTable;
    using printer::ReadAs;
    driver.fields.taxCode = {{SaleTable::Header, "Icms", ReadAs::Text}, {SaleTable::Branch, "TipoDescIt", ReadAs::Text}};
    driver.fields.item.push_back({SaleTable::Item, "Vlr_Descit", ReadAs::Float}); // also missing, read later
    try {
        issue();
        FAIL() << "no error";
    } catch (const common::DatabaseError& e) {
        EXPECT_STREQ(e.what(), "CFITENS.DB: Field 'BT_ICMS' not found");
    }
    EXPECT_TRUE(driver.steps.empty());
    EXPECT_FALSE(itens.eof());
}

// A customer text is assigned to the header's field and read back; the header is left as it was.
TEST_F(CouponIssueTest, CustomerTextsAreTrimmedOrTheirStandInAsTheFieldKeepsIt)
{
    test::makeTable(dir.path(), "CFCABEC.DB", {alpha("Cliente", 8), alpha("CNPJ", 4)}, {{txt("  ANA"), txt("  ")}});
    test::makeTable(dir.path(), "CFITENS.DB", {longField("Num_Item")}, {});
    test::makeTable(dir.path(), "Filial.DB", {alpha("TipoDescIt", 1)}, {{txt("V")}});
    cabec.open();
    itens.open();
    filial.open();
    using printer::SaleTable;
    using printer::ReadAs;
    const printer::SaleRecord sale = ecf::coupon::readSale(
        {{}, {}, {{SaleTable::Header, "Cliente", ReadAs::CustomerText, "CONSUMIDOR"},
                  {SaleTable::Header, "CNPJ", ReadAs::CustomerText, "0000000000"}}},
        cabec, itens, filial);
    EXPECT_EQ(sale.header.customerText("Cliente"), "ANA");
    EXPECT_EQ(sale.header.customerText("CNPJ"), "0000"); // what the field keeps
    EXPECT_EQ(cabec.state(), data::Table::State::Browse);
    EXPECT_EQ(cabec.fieldByName("Cliente").asString(), "  ANA");
}

} // namespace

// The coupon issue's walk over the items: order of the driver's steps, the error stop, the
// item total, and what happens with unusual item lists.
#include "coupon/coupon_issue.h"

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
    printer::TaxCode resolveTaxCode(printer::CouponRecords& r) override
    {
        steps.push_back("tax " + std::to_string(r.itens.fieldByName("Num_Item").asInteger()));
        return {"TT", 3};
    }
    bool registerItem(printer::CouponRecords& r, const printer::TaxCode& code, Money total) override
    {
        const int n = r.itens.fieldByName("Num_Item").asInteger();
        steps.push_back("sell " + std::to_string(n) + " " + code.text + " " + total.toString());
        return n != failAtItem;
    }
    void closeCoupon(printer::CouponRecords& r) override
    {
        steps.push_back(r.cabec.state() == data::Table::State::Edit ? "close (header in edit)" : "close");
    }
    void receipts(printer::CouponRecords&) override { steps.push_back("receipts"); }
    void xReading() override {}
    void zReduction() override {}
    void cancelCoupon(printer::CancelKind) override {}
    void programPaymentForms(data::Table&) override {}
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
        printer::CouponRecords rec{cabec, itens, filial};
        return ecf::coupon::issueCoupon(driver, rec);
    }
};

TEST_F(CouponIssueTest, WalksEveryItemThenClosesWithTheHeaderInEdit)
{
    make({{1, 10.0001, 0.0002, 0}, {2, 1.5, 0, 2.25}, {3, 0, 0, 0}});
    // A later item must not reuse an earlier one's position or total.
    itens.next();
    EXPECT_EQ(issue(), ecf::coupon::IssueResult::Completed);
    EXPECT_EQ(driver.steps, (std::vector<std::string>{
                                "tax 1", "sell 1 TT 10.0003", "tax 2", "sell 2 TT 3.7500", "tax 3",
                                "sell 3 TT 0.0000", "close (header in edit)", "receipts"}));
}

TEST_F(CouponIssueTest, ErrorStopEndsAtTheRefusedItem)
{
    make({{1, 5, 0, 0}, {2, 6, 0, 0}, {3, 7, 0, 0}});
    driver.failAtItem = 2;
    EXPECT_EQ(issue(), ecf::coupon::IssueResult::Stopped);
    EXPECT_EQ(driver.steps, (std::vector<std::string>{"tax 1", "sell 1 TT 5.0000", "tax 2", "sell 2 TT 6.0000"}));
    EXPECT_EQ(cabec.state(), data::Table::State::Browse); // nothing put into edit
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
        {"empty list: straight to the closing stage", {}, 0, {"close (header in edit)", "receipts"}},
        {"no item 1: every item still goes to the driver",
         {{2, 1, 0, 0}, {3, 2, 0, 0}},
         0,
         {"tax 2", "sell 2 TT 1.0000", "tax 3", "sell 3 TT 2.0000", "close (header in edit)", "receipts"}},
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

TEST_F(CouponIssueTest, MissingTotalFieldIsADatabaseErrorBeforeAnySale)
{
    make({{1, 0, 0, 0}}, /*withTotals=*/false);
    EXPECT_THROW(issue(), common::DatabaseError);
    EXPECT_EQ(driver.steps, (std::vector<std::string>{"tax 1"}));
}

} // namespace

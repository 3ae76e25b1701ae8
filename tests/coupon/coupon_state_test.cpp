// The journal of coupon issues and the saved copies of coupons not printed whole.
#include "common/errors.h"
#include "common/state_folder.h"
#include "coupon/coupon_journal.h"
#include "coupon/saved_coupons.h"
#include "data/table.h"
#include "support/tables.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace ecf;
using namespace ecf::test::px_values;
using namespace ecf::test::px_fields;
using coupon::CouponJournal;
using coupon::CouponKey;

CouponKey key(const std::string& num)
{
    CouponKey k;
    k.values = {"1", num, "NF", "45", "01/12/2026"};
    return k;
}

TEST(StateFolder, FromEnvironmentInOrder)
{
    test::ScopedEnv s("ECF_STATE_DIR", "/tmp/a");
    EXPECT_EQ(common::stateFolder(), "/tmp/a");
    test::ScopedEnv s2("ECF_STATE_DIR", "");
    test::ScopedEnv x("XDG_STATE_HOME", "/tmp/x");
    EXPECT_EQ(common::stateFolder(), "/tmp/x/ecf");
    test::ScopedEnv x2("XDG_STATE_HOME", "");
    test::ScopedEnv h("HOME", "/home/caixa");
    EXPECT_EQ(common::stateFolder(), "/home/caixa/.local/state/ecf");
}

TEST(CouponJournal, StepsOfOneCouponAndItsNeighbours)
{
    test::TempDir dir;
    CouponJournal j(dir.path() / "coupons.journal");
    const std::string db = "/db\xE7";  // a folder name in Latin-1 bytes survives the round trip
    const CouponKey a = key("1\xE7"), b = key("2");

    EXPECT_FALSE(j.state(db, a).started);
    j.started(db, a, 3, common::Money::fromWhole(12));
    EXPECT_TRUE(j.state(db, a).leftOpen());
    EXPECT_FALSE(j.state(db, b).started);
    EXPECT_FALSE(j.state("/other", a).started);

    j.closed(db, a);
    j.emptying(db, a);
    EXPECT_TRUE(j.state(db, a).closed);
    EXPECT_FALSE(j.state(db, a).leftOpen());
    EXPECT_EQ(j.unfinishedEmptying(db), std::vector<CouponKey>{a});
    j.emptied(db, a);
    EXPECT_TRUE(j.unfinishedEmptying(db).empty());
    EXPECT_FALSE(j.state(db, a).started); // run to its end: handed over again, a new sale

    // Closed and not yet emptied: printed, unless the operator cancelled it on the printer.
    j.started(db, a, 3, common::Money::fromWhole(12));
    j.closed(db, a);
    EXPECT_TRUE(j.state(db, a).closed);
    j.lastCouponCancelled(db);
    EXPECT_FALSE(j.state(db, a).started);

    // Started and never closed, until "Fecha Cupom Aberto" ran; a torn last line is skipped.
    j.started(db, b, 1, common::Money::fromWhole(1));
    test::writeFile(j.file(), test::readFile(j.file()) + "{\"step\":\"clo");
    EXPECT_TRUE(j.state(db, b).leftOpen());
    test::writeFile(j.file(), test::readFile(j.file()) + "\n");
    j.openCouponClosed(db);
    EXPECT_FALSE(j.state(db, b).leftOpen());

    // A saved copy means the emptying has begun; putting it back forgets the coupon's past.
    j.saved(db, b, "ID1");
    EXPECT_EQ(j.state(db, b).savedId, "ID1");
    EXPECT_EQ(j.unfinishedEmptying(db), std::vector<CouponKey>{b});
    j.restored(db, b);
    EXPECT_FALSE(j.state(db, b).started);
    EXPECT_TRUE(j.unfinishedEmptying(db).empty());
}

TEST(CouponJournal, ARewriteKeepsWhatTheNextStartNeeds)
{
    test::TempDir dir;
    // Rewritten at the end of every hand-off, keeping two past coupons.
    CouponJournal j(dir.path() / "coupons.journal", {.compactAbove = 1, .keepPrinted = 2});
    const std::string db = "/db";
    const CouponKey oldOpen = key("old"), saved = key("saved\\\x01\xE7"), open = key("open \"1\"");
    const auto print = [&](const CouponKey& k) {
        j.started(db, k, 2, common::Money::fromWhole(2));
        j.closing(db, k);
        j.closed(db, k);
        j.emptying(db, k);
        j.emptied(db, k);
    };
    j.started(db, oldOpen, 1, common::Money::fromWhole(1));
    j.started(db, saved, 1, common::Money::fromWhole(1));
    j.saved(db, saved, "ID7");
    for (const char* n : {"10", "11", "12"})
        print(key(n));
    j.started(db, key("14"), 1, common::Money::fromWhole(1)); // closed, the program died before emptying
    j.closed(db, key("14"));
    j.restoring(db, key("15"), "ID9"); // killed while putting a copy back
    j.started(db, open, 1, common::Money::fromWhole(1)); // the program died while closing it
    j.closing(db, open);
    print(key("13"));

    EXPECT_EQ(test::readFile(j.file()).find("\"10\""), std::string::npos);
    EXPECT_FALSE(j.state(db, key("12")).started); // printed and emptied: nothing left to tell
    EXPECT_FALSE(j.state(db, oldOpen).started);
    EXPECT_TRUE(j.state(db, key("14")).closed);
    const auto restores = j.unfinishedRestores(db);
    ASSERT_EQ(restores.size(), 1u);
    EXPECT_EQ(restores[0].first, key("15"));
    EXPECT_EQ(restores[0].second, "ID9");
    EXPECT_TRUE(j.state(db, open).leftOpen());
    EXPECT_TRUE(j.state(db, open).closing);
    EXPECT_EQ(j.state(db, saved).savedId, "ID7"); // still being emptied: kept whole
    EXPECT_EQ(j.unfinishedEmptying(db), std::vector<CouponKey>{saved});
    j.openCouponClosed(db);
    EXPECT_FALSE(j.state(db, open).leftOpen());
}

class SavedCoupons : public ::testing::Test {
protected:
    void SetUp() override
    {
        cabec = test::makeTable(db.path(), "CFCABEC.DB", {longField("Filial"), alpha("Num_Nota", 10), currency("Vlr_Nota")},
                                {{lng(1), txt("7\xE7"), num(10.5)}});
        itens = test::makeTable(db.path(), "CFITENS.DB", {longField("Filial"), alpha("Num_Nota", 10), number("Qtd")},
                                {{lng(1), txt("7\xE7"), num(1)}, {lng(1), txt("7\xE7"), num(2.5)}});
    }
    static std::vector<data::px::Record> rows(const std::filesystem::path& f)
    {
        return data::px::PxTable::read(f).records();
    }

    test::TempDir db, state;
    std::filesystem::path cabec, itens;
    common::DateTime now{2026, 12, 1, 10, 0, 0, 0};
};

TEST_F(SavedCoupons, SaveEmptyRestoreGivesBackTheSameRecords)
{
    coupon::SavedCoupons saved(state.path() / "saved");
    const auto before = rows(itens);
    const auto c = saved.save(cabec, itens, "/db", key("7\xE7"), "recusa", now);
    EXPECT_EQ(c.id, "20261201-100000");
    EXPECT_EQ(c.items, 2u);
    EXPECT_EQ(saved.save(cabec, itens, "/db", std::nullopt, "", now).id, "20261201-100000-2");

    // Not empty: refused, nothing written.
    EXPECT_THROW(saved.restore(c, cabec, itens), common::DatabaseError);
    EXPECT_EQ(rows(itens).size(), 2u);

    data::px::emptyTable(cabec);
    data::px::emptyTable(itens);
    const auto listed = saved.pending();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].key, key("7\xE7"));
    EXPECT_EQ(listed[0].reason, "recusa");
    saved.restore(*saved.find(c.id), cabec, itens);
    ASSERT_EQ(rows(itens).size(), 2u);
    EXPECT_EQ(rows(itens)[1][2].real, 2.5);
    EXPECT_EQ(rows(cabec)[0][1].bytes, "7\xE7");
    EXPECT_EQ(saved.pending().size(), 1u); // the restored copy is no longer pending
    EXPECT_FALSE(saved.find("../x"));
}

TEST_F(SavedCoupons, AnUnreadableTableSavesNothing)
{
    test::writeFile(itens, "not a table");
    coupon::SavedCoupons saved(state.path() / "saved");
    EXPECT_THROW(saved.save(cabec, itens, "/db", std::nullopt, "", now), common::DatabaseError);
    EXPECT_TRUE(saved.pending().empty());
}

} // namespace

// The main window's start-up sequence, its buttons and close handler, and the application's
// default error handler, on real Paradox tables.
#include "app/application.h"
#include "app/dm_filial.h"
#include "app/main_window.h"
#include "common/errors.h"
#include "common/money.h"
#include "coupon/coupon_journal.h"
#include "coupon/saved_coupons.h"
#include "utilities/util_ecf.h"
#include "data/paradox/px.h"
#include "printer/printer.h"
#include "shell_db.h"
#include "support/scripted_operator.h"

#include <gtest/gtest.h>

namespace {

using namespace ecf;
using test::ShellDbOptions;

std::size_t records(const std::filesystem::path& file)
{
    return data::px::PxTable::read(file).records().size();
}

class MainWindowTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};
    test::ScriptedOperator op;
    std::unique_ptr<app::Application> app;

    app::MainWindow& start(const ShellDbOptions& o, bool makeDb = true)
    {
        if (makeDb)
            test::makeShellDb(dir.path(), o);
        app::Application::Options opts;
        opts.op = &op;
        opts.workDir = dir.path();
        app = std::make_unique<app::Application>(opts);
        app->handle([this] { app->main().onShow(); });
        return app->main();
    }
    std::size_t cabecRecords() { return records(dir.path() / "CFCABEC.DB"); }
    std::size_t itensRecords() { return records(dir.path() / "CFITENS.DB"); }
    int mainReports() const { return static_cast<int>(op.texts("main").size()); }
    // The shell database with its pending coupon; that coupon's key.
    coupon::CouponKey pendingCoupon()
    {
        test::makeShellDb(dir.path(), {});
        data::Table cabec("CFCABEC.DB");
        cabec.open();
        return coupon::CouponKey::of(cabec);
    }
};

TEST_F(MainWindowTest, MissingConfigurationEndsStartUpAndKeepsThePendingCoupon)
{
    struct Case {
        const char* name;
        ShellDbOptions db;
        const char* info;
    };
    ShellDbOptions noPort, noModel, emptyFilial;
    noPort.porta = "";
    noModel.modelo = "";
    emptyFilial.filialEmpty = true;
    for (const Case& c : {Case{"empty port", noPort, "Porta da ECF nao cadastrada"},
                          Case{"empty model", noModel, "Modelo da ECF nao cadastrado"},
                          Case{"empty Filial.DB", emptyFilial, "Porta da ECF nao cadastrada"}}) {
        SCOPED_TRACE(c.name);
        app.reset();
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            std::filesystem::remove(e.path());
        op = test::ScriptedOperator{};

        app::MainWindow& w = start(c.db);
        EXPECT_EQ(op.texts("info"), std::vector<std::string>{c.info});
        EXPECT_EQ(mainReports(), 1);
        EXPECT_EQ(op.lastMain.button1, "Imprimir");
        EXPECT_FALSE(op.lastMain.button1Enabled); // nothing could print
        EXPECT_FALSE(w.TCabec.active());
        EXPECT_FALSE(w.TItens.active());

        // The disabled "Imprimir" takes no click: nothing printed, nothing cleared.
        app->handle([&] { w.finishSale(); });
        EXPECT_FALSE(w.closeRequested());
        EXPECT_TRUE(op.texts("exception").empty());
        EXPECT_EQ(cabecRecords(), 1u);
        EXPECT_EQ(itensRecords(), 5u);
    }
}

TEST_F(MainWindowTest, TefSwitchOnlyCloses)
{
    ShellDbOptions o;
    o.tef = true;
    app::MainWindow& w = start(o);
    EXPECT_EQ(w.button1Caption(), "Integrar c/TEF");
    EXPECT_EQ(op.lastMain.button1, "Integrar c/TEF");
    EXPECT_TRUE(w.TCabec.active());

    app->handle([&] { w.finishSale(); });
    EXPECT_TRUE(w.closeRequested());
    EXPECT_EQ(cabecRecords(), 1u);
    EXPECT_EQ(itensRecords(), 5u);
}

TEST_F(MainWindowTest, EmptyHeaderTableDisablesImprimir)
{
    ShellDbOptions o;
    o.pendingCoupon = false;
    app::MainWindow& w = start(o);
    EXPECT_FALSE(w.button1Enabled());
    EXPECT_FALSE(op.lastMain.button1Enabled);
    EXPECT_EQ(op.lastMain.label1, "000000");
    EXPECT_TRUE(w.TItens.active());
    EXPECT_TRUE(op.texts("info").empty());
    EXPECT_TRUE(op.texts("confirm").empty()); // no saved copy: nothing asked
}

TEST_F(MainWindowTest, SavedCopyIsOfferedBackWhenTheTablesAreEmpty)
{
    // A coupon saved and its tables emptied, as a hand-off that could not print it leaves them.
    const coupon::CouponKey key = pendingCoupon();
    coupon::SavedCoupons saved = coupon::SavedCoupons::inStateFolder();
    const coupon::SavedCoupon copy = saved.save(dir.path() / "CFCABEC.DB", dir.path() / "CFITENS.DB",
                                                coupon::currentDatabase(), key, "test", {2026, 12, 1, 10});
    for (const char* t : {"CFITENS.DB", "CFCABEC.DB"})
        data::Table(t).emptyTable();

    // Not put back unless the answer is Yes: "No" and a closed box leave it saved.
    for (common::Answer a : {common::Answer::No, common::Answer::Close}) {
        op = test::ScriptedOperator{};
        op.confirmAnswers = {a};
        app::MainWindow& w = start({}, false);
        ASSERT_EQ(op.texts("confirm").size(), 1u);
        EXPECT_NE(op.texts("confirm")[0].find("O cupom 10 não foi impresso por inteiro"), std::string::npos)
            << op.texts("confirm")[0];
        EXPECT_FALSE(w.button1Enabled());
        EXPECT_EQ(cabecRecords(), 0u);
        app.reset();
    }

    op = test::ScriptedOperator{};
    op.confirmAnswers = {common::Answer::Yes};
    app::MainWindow& w = start({}, false);
    EXPECT_TRUE(op.texts("exception").empty()) << op.texts("exception")[0];
    EXPECT_TRUE(w.button1Enabled()); // pending as usual
    EXPECT_TRUE(op.lastMain.button1Enabled);
    EXPECT_EQ(cabecRecords(), 1u);
    EXPECT_EQ(itensRecords(), 5u);
    for (const coupon::SavedCoupon& c : saved.pending())
        EXPECT_NE(c.id, copy.id); // put back

    // Another database's copy is not offered.
    app.reset();
    op = test::ScriptedOperator{};
    saved.save(dir.path() / "CFCABEC.DB", dir.path() / "CFITENS.DB", "/elsewhere", key, "test", {2026, 12, 1, 11});
    for (const char* t : {"CFITENS.DB", "CFCABEC.DB"})
        data::Table(t).emptyTable();
    start({}, false);
    EXPECT_TRUE(op.texts("confirm").empty());
}

TEST_F(MainWindowTest, FechaCupomAbertoFreesAPendingCouponHeldBack)
{
    // The journal shows the coupon started on the printer and never closed.
    const coupon::CouponKey key = pendingCoupon();
    coupon::CouponJournal::inStateFolder().started(coupon::currentDatabase(), key, 5, common::Money::fromWhole(30));

    app::MainWindow& w = start({}, false);
    EXPECT_FALSE(w.button1Enabled());
    EXPECT_EQ(op.texts("message").size(), 1u);
    app->handle([&] { w.openUtilities(); });
    app->handle([&] { app->utilEcf()->closeOpenCoupon(); });
    EXPECT_TRUE(w.button1Enabled());
    EXPECT_EQ(op.texts("message").size(), 1u); // no second box
}

// The shell database's model code is of no family: nothing reaches a printer, so the sale
// stays in the tables and the cashier is told.
TEST_F(MainWindowTest, ImprimirOnAModelOfNoFamilyKeepsTheTablesAndCloses)
{
    app::MainWindow& w = start({});
    ASSERT_TRUE(w.TItens.active());
    const auto items = itensRecords();
    app->handle([&] { w.finishSale(); });
    EXPECT_TRUE(op.texts("exception").empty());
    EXPECT_TRUE(w.closeRequested());
    EXPECT_FALSE(w.TCabec.active());
    EXPECT_FALSE(w.TItens.active());
    EXPECT_EQ(cabecRecords(), 1u);
    EXPECT_EQ(itensRecords(), items);
    ASSERT_EQ(op.texts("message").size(), 1u);
    EXPECT_NE(op.texts("message")[0].find("nenhuma impressora"), std::string::npos);
}

// A field the coupon reads missing: nothing is printed, the box names the field, and the
// tables are kept, as for any other coupon refused before its first call.
TEST_F(MainWindowTest, AMissingFieldPrintsNothingAndKeepsTheTables)
{
    ShellDbOptions o;
    o.itemTotals = false; // the item total's fields are missing
    app::MainWindow& w = start(o);
    app->handle([&] { w.finishSale(); });
    EXPECT_TRUE(op.texts("exception").empty());
    ASSERT_EQ(op.texts("message").size(), 1u);
    EXPECT_NE(op.texts("message")[0].find("Cupom não impresso: CFITENS.DB: Field 'BT_ICMS' not found"),
              std::string::npos)
        << op.texts("message")[0];
    EXPECT_EQ(cabecRecords(), 1u);
    EXPECT_EQ(itensRecords(), 5u);
}

TEST_F(MainWindowTest, ConversionErrorEndsStartUpAfterTheMainReport)
{
    ShellDbOptions o;
    o.fatModNf = data::px::Value::text("abc");
    app::MainWindow& w = start(o);
    ASSERT_GE(op.events.size(), 2u);
    EXPECT_EQ(op.events[op.events.size() - 2].kind, "main");
    EXPECT_EQ(op.events.back().kind, "exception");
    EXPECT_NE(op.events.back().text.find("abc"), std::string::npos);
    EXPECT_EQ(mainReports(), 1);
    EXPECT_FALSE(w.TCabec.active());
    // The program goes on: the window still takes its buttons.
    app->handle([&] { w.requestClose(); });
    EXPECT_TRUE(w.closeRequested());
}

TEST_F(MainWindowTest, ItemsAreTheDetailOfTheHeaderOnAllFiveLinkFields)
{
    app::MainWindow& w = start({});
    std::vector<int> items;
    for (w.TItens.first(); !w.TItens.eof(); w.TItens.next())
        items.push_back(w.TItens.fieldByName("Num_Item").asInteger());
    EXPECT_EQ(items, (std::vector<int>{1, 2}));
}

TEST_F(MainWindowTest, UtilitiesButtonCreatesOneWindowAndCloseHandlerClosesTables)
{
    app::MainWindow& w = start({});
    app->handle([&] { w.openUtilities(); });
    auto* first = app->utilEcf();
    ASSERT_NE(first, nullptr);
    app->handle([&] { w.openUtilities(); });
    EXPECT_EQ(app->utilEcf(), first);
    EXPECT_EQ(op.shown, (std::vector<common::Window>{common::Window::UtilEcf, common::Window::UtilEcf}));
    app->destroyUtilEcf();
    EXPECT_EQ(app->utilEcf(), nullptr);

    EXPECT_TRUE(w.TFilial.active());
    app->handle([&] { w.onClose(); });
    EXPECT_FALSE(w.TFilial.active());
    EXPECT_FALSE(app->dmFilial().TAcesso.active());
}

TEST_F(MainWindowTest, CouponNumberShownOnlyByTheModelThatReadsIt)
{
    ShellDbOptions fs300;
    fs300.modelo = "FS300";
    start(fs300);
    EXPECT_EQ(op.lastMain.label1, "000000");

    app.reset();
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        std::filesystem::remove(e.path());
    ShellDbOptions fs345;
    fs345.modelo = "FS345";
    start(fs345);
    ASSERT_TRUE(op.texts("exception").empty());
    EXPECT_NE(op.lastMain.label1, "000000");
    EXPECT_EQ(op.lastMain.label1, std::to_string(app->config().couponNumber));
}

TEST(ApplicationHandle, ShowsTheErrorAsUtf8AndGoesOn)
{
    test::TempDir dir;
    test::ScriptedOperator op;
    app::Application::Options opts;
    opts.op = &op;
    opts.workDir = dir.path();
    app::Application app(opts);
    app.handle([] { throw common::DatabaseError("Campo inv\xE1lido"); });
    app.handle([] { throw std::runtime_error("plain"); });
    bool ran = false;
    app.handle([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(op.texts("exception"), (std::vector<std::string>{"Campo inv\xC3\xA1lido", "plain"}));
}

} // namespace

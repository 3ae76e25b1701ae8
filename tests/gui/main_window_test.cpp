// The main window on a database in a temporary folder and the emulated printer.
#include "gui_test_support.h"

#include "Program.h"
#include "TfoTolvar.h"
#include "app/application.h"
#include "app/main_window.h"
#include "coupon/coupon_journal.h"
#include "coupon/saved_coupons.h"
#include "data/table.h"
#include "support/trace_reader.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using ecf::test::DemoDatabase;
using ecf::test::GuiProgram;
using ecf::test::ModalScript;

TEST(MainWindow, CaptionsAndSizeBeforeStartUp)
{
    GuiProgram p;
    TfoTolvar& w = p.program->tolvar();
    EXPECT_EQ(w.windowTitle(), "ECF");
    EXPECT_EQ(w.size(), QSize(385, 265));
    EXPECT_EQ(w.GroupBox1->title(), "  Cupom  ");
    EXPECT_EQ(w.Label1->text(), "000000");
    EXPECT_TRUE(w.Label1->font().bold());
    EXPECT_GT(w.Label1->font().pointSizeF(), w.Button1->font().pointSizeF());
    EXPECT_EQ(w.Button1->text(), "Imprimir");
    EXPECT_EQ(w.Button3->text(), QString::fromUtf8("Utilitários"));
}

TEST(MainWindow, StartUpRunsOnceWhenShownAndReportsTheState)
{
    struct Case {
        DemoDatabase db;
        bool button1Enabled;
        const char* button1;
    };
    const Case cases[] = {
        {{.pendingCoupon = true}, true, "Imprimir"},
        {{.pendingCoupon = false}, false, "Imprimir"},
        {{.tef = true, .pendingCoupon = true}, true, "Integrar c/TEF"},
    };
    for (const Case& c : cases) {
        GuiProgram p(c.db);
        TfoTolvar& w = p.program->tolvar();
        w.show();
        w.hide();
        w.show(); // shown again: the start-up does not run twice
        EXPECT_TRUE(p.script.seen.empty()) << p.script.seen.front();
        EXPECT_EQ(w.Button1->isEnabled(), c.button1Enabled);
        EXPECT_EQ(w.Button1->text(), c.button1);
        EXPECT_EQ(w.Label1->text(), "000000");
        int mains = 0;
        for (const auto& line : ecf::test::readTrace(p.tracePath()))
            mains += line.value("kind", "") == "main";
        EXPECT_EQ(mains, 1);
    }
}

TEST(MainWindow, StartUpStoppedEarlyKeepsTheWindowOpen)
{
    {
        GuiProgram p({.port = ""});
        p.program->tolvar().show();
        EXPECT_EQ(p.script.seen, std::vector<std::string>{"info: Porta da ECF nao cadastrada"});
        EXPECT_TRUE(p.program->tolvar().isVisible());
        EXPECT_FALSE(p.program->tolvar().Button1->isEnabled()); // the tables were not opened
    }
    {
        // A number field that does not convert: the default error handler shows the error.
        GuiProgram p({.fatModNf = "abc"});
        p.program->tolvar().show();
        ASSERT_EQ(p.script.seen.size(), 1u);
        EXPECT_EQ(p.script.seen[0].rfind("error: ", 0), 0u) << p.script.seen[0];
        EXPECT_NE(p.script.seen[0].find("abc"), std::string::npos) << p.script.seen[0];
        EXPECT_TRUE(p.program->tolvar().isVisible());
    }
}

TEST(MainWindow, CouponNumberOfTheFs345)
{
    GuiProgram p({.model = "FS345"});
    p.program->tolvar().show();
    const QString label = p.program->tolvar().Label1->text();
    EXPECT_EQ(label.toStdString(), std::to_string(p.app->config().couponNumber));
    EXPECT_FALSE(label.startsWith('0')) << label.toStdString();
}

TEST(MainWindow, ButtonsCloseTheWindowAndTheCloseHandlerRunsOnce)
{
    struct Case {
        DemoDatabase db;
        QPushButton* TfoTolvar::*button;
    };
    const Case cases[] = {
        {{.tef = true, .pendingCoupon = true}, &TfoTolvar::Button1}, // "Integrar c/TEF" only closes
        {{.pendingCoupon = true}, &TfoTolvar::Button2},
    };
    for (const Case& c : cases) {
        GuiProgram p(c.db);
        TfoTolvar& w = p.program->tolvar();
        QSignalSpy closed(&w, &TfoTolvar::closed);
        w.show();
        (w.*c.button)->click();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(closed.count(), 1);
        EXPECT_FALSE(p.app->main().TFilial.active()); // the close handler closed the branch table
        EXPECT_TRUE(p.script.seen.empty());
        // Nothing was printed and the pending coupon is kept.
        ecf::data::Table cabec("CFCABEC.DB");
        cabec.open();
        EXPECT_EQ(cabec.recordCount(), 1u);
    }
}

TEST(MainWindow, StartUpOffersASavedCopyAndSimPutsItBack)
{
    GuiProgram p({.pendingCoupon = true});
    // The pending coupon was saved and the tables emptied by a run that could not print it.
    ecf::data::Table cabec("CFCABEC.DB");
    cabec.open();
    const auto key = ecf::coupon::CouponKey::of(cabec);
    cabec.close();
    const auto& d = p.dir.path();
    ecf::coupon::SavedCoupons::inStateFolder().save(d / "CFCABEC.DB", d / "CFITENS.DB", ecf::coupon::currentDatabase(),
                                                     key, "test", {2026, 12, 1, 10});
    cabec.emptyTable();

    p.script.then(ModalScript::yes());
    TfoTolvar& w = p.program->tolvar();
    w.show();
    ASSERT_EQ(p.script.seen.size(), 1u);
    EXPECT_EQ(p.script.seen[0], "confirm: O cupom 1001 não foi impresso por inteiro; uma cópia dele foi guardada em "
                                "01/12/2026 às 10:00. Deseja repor o cupom e imprimi-lo agora?");
    EXPECT_TRUE(w.Button1->isEnabled());
    cabec.open();
    EXPECT_EQ(cabec.recordCount(), 1u);
}

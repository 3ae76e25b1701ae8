// The utilities window and the windows it opens, driven by clicks as the operator would.
#include "gui_test_support.h"

#include "DateMaskEdit.h"
#include "Program.h"
#include "QtOperator.h"
#include "TFormSenha.h"
#include "TfoMostraFormasPagamentoECF.h"
#include "TfoRelMemoriaFiscal.h"
#include "TfoTolvar.h"
#include "TfoUtilEcf.h"
#include "app/application.h"
#include "coupon/coupon_journal.h"
#include "data/table.h"
#include "utilities/formas_pagamento.h"
#include "utilities/rel_memoria_fiscal.h"
#include "support/trace_reader.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QApplication>
#include <QWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using ecf::test::DemoDatabase;
using ecf::test::GuiProgram;
using ecf::test::ModalScript;
using ecf::test::processDeletions;

namespace {

// The program after start-up, with the utilities window open.
TfoUtilEcf& openUtilities(GuiProgram& p)
{
    p.program->tolvar().show();
    p.program->tolvar().Button3->click();
    TfoUtilEcf* w = p.op->utilEcfWindow();
    if (!w)
        throw std::runtime_error("no utilities window");
    return *w;
}

bool called(const GuiProgram& p, const std::string& fn)
{
    const auto calls = p.calls();
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(fn + "(", 0) == 0; });
}

} // namespace

TEST(UtilitiesWindow, CaptionsSizeAndOneWindowAtATime)
{
    GuiProgram p;
    TfoUtilEcf& w = openUtilities(p);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Cupom Fiscal");
    EXPECT_EQ(w.size(), QSize(222, 342));
    const QStringList captions{"Leitura X", QString::fromUtf8("Redução Z"), QString::fromUtf8("Cancela Último Cupom"),
                               "Fecha Cupom Aberto", "Cadastra Formas Pgto.",
                               QString::fromUtf8("Leitura Memória Fiscal"), "Fechar"};
    QPushButton* buttons[] = {w.Button1, w.Button2, w.Button3, w.Button4, w.Button5, w.Button6, w.Button7};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(buttons[i]->text(), captions[i]);
        // The caption fits its button.
        EXPECT_LE(buttons[i]->fontMetrics().horizontalAdvance(captions[i]), buttons[i]->width()) << i;
    }

    // A second click shows the same window.
    auto* logic = p.app->utilEcf();
    p.program->tolvar().Button3->click();
    EXPECT_EQ(p.op->utilEcfWindow(), &w);
    EXPECT_EQ(p.app->utilEcf(), logic);
}

TEST(UtilitiesWindow, ClosingDestroysWindowAndLogic)
{
    GuiProgram p;
    QPointer<TfoUtilEcf> first = &openUtilities(p);
    first->Button7->click(); // "Fechar"
    EXPECT_FALSE(first->isVisible());
    processDeletions();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(p.app->utilEcf(), nullptr);

    // The frame closes it the same way; the next click makes a new one.
    QPointer<TfoUtilEcf> second = &openUtilities(p);
    EXPECT_NE(p.app->utilEcf(), nullptr);
    second->close();
    processDeletions();
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(p.app->utilEcf(), nullptr);
}

TEST(UtilitiesWindow, ReopenedBeforeTheClosedOneIsGone)
{
    GuiProgram p;
    QPointer<TfoUtilEcf> old = &openUtilities(p);
    old->Button7->click();
    // "Utilitários" again before the closed window has been destroyed.
    p.program->tolvar().Button3->click();
    TfoUtilEcf* fresh = p.op->utilEcfWindow();
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old.data());
    processDeletions();
    EXPECT_TRUE(old.isNull());
    // The new window keeps its own logic and works.
    ASSERT_NE(p.app->utilEcf(), nullptr);
    p.script.then(ModalScript::yes());
    fresh->Button1->click();
    EXPECT_EQ(p.script.seen, std::vector<std::string>{QString::fromUtf8("confirm: Confirma Emissão da Leitura X ?").toStdString()});
    EXPECT_TRUE(called(p, "Bematech_FI_LeituraX"));
}

TEST(UtilitiesWindow, ZReductionAsksThePasswordFirst)
{
    const std::string confirmZ = QString::fromUtf8("confirm: Confirma Emissão da Redução Z ?").toStdString();
    {
        // Typed with the keyboard: Enter moves through the user panel and ends on "OK".
        GuiProgram p;
        TfoUtilEcf& w = openUtilities(p);
        p.script.then(ModalScript::typePassword("SEGREDO", "7", "ABC")).then(ModalScript::yes());
        w.Button2->click();
        EXPECT_EQ(p.script.seen,
                  (std::vector<std::string>{"password: Entre com a senha 1 [user panel]", confirmZ}));
        EXPECT_TRUE(called(p, "Bematech_FI_ReducaoZ"));
        // The typed texts never reach the trace.
        EXPECT_EQ(ecf::test::readFile(p.tracePath()).find("SEGREDO"), std::string::npos);
    }
    {
        GuiProgram p;
        TfoUtilEcf& w = openUtilities(p);
        p.script.then(ModalScript::cancelPassword());
        w.Button2->click();
        EXPECT_EQ(p.script.seen, std::vector<std::string>{"password: Entre com a senha 1 [user panel]"});
        EXPECT_FALSE(called(p, "Bematech_FI_ReducaoZ"));
    }
}

TEST(UtilitiesWindow, EscapeOrTheCloseBoxOnAConfirmationSendsNothing)
{
    struct Case {
        const char* fn;
        QPushButton* TfoUtilEcf::*button;
        bool password;
    };
    const Case cases[] = {{"Bematech_FI_LeituraX", &TfoUtilEcf::Button1, false},
                          {"Bematech_FI_ReducaoZ", &TfoUtilEcf::Button2, true},
                          {"Bematech_FI_CancelaCupom", &TfoUtilEcf::Button3, false}};
    for (const Case& c : cases) {
        for (auto answer : {ModalScript::escape(), ModalScript::closeFrame()}) {
            SCOPED_TRACE(c.fn);
            GuiProgram p;
            TfoUtilEcf& w = openUtilities(p);
            if (c.password)
                p.script.then(ModalScript::typePassword("SEGREDO", "7", "ABC"));
            p.script.then(answer);
            (w.*c.button)->click();
            EXPECT_EQ(p.script.seen.size(), c.password ? 2u : 1u);
            EXPECT_FALSE(called(p, c.fn));
        }
    }
}

TEST(UtilitiesWindow, PaymentFormListingFilledOnEveryShowing)
{
    GuiProgram p;
    TfoUtilEcf& w = openUtilities(p);
    TfoMostraFormasPagamentoECF& list = p.program->formasPagamento();
    EXPECT_EQ(list.windowTitle(), "Formas de pagamento ECF");
    EXPECT_EQ(list.size(), QSize(527, 148));
    EXPECT_FALSE(list.ComboBox1->isEditable());

    w.Button5->click();
    EXPECT_TRUE(list.isVisible());
    const auto& items = p.app->formasPagamento().items();
    ASSERT_FALSE(items.empty());
    ASSERT_EQ(list.ComboBox1->count(), static_cast<int>(items.size()));
    for (int i = 0; i < list.ComboBox1->count(); ++i)
        EXPECT_EQ(list.ComboBox1->itemText(i).toStdString(), items[static_cast<std::size_t>(i)]);

    // Programming again while the listing is open asks the printer again.
    auto lists = [&] {
        int n = 0;
        for (const auto& line : ecf::test::readTrace(p.tracePath()))
            n += line.value("kind", "") == "list";
        return n;
    };
    EXPECT_EQ(lists(), 1);
    w.Button5->click();
    EXPECT_EQ(lists(), 2);
    EXPECT_TRUE(p.script.seen.empty());
}

TEST(UtilitiesWindow, FiscalMemoryDatesAreKeptBetweenShowings)
{
    GuiProgram p;
    TfoUtilEcf& w = openUtilities(p);
    TfoRelMemoriaFiscal& rel = p.program->relMemoriaFiscal();
    EXPECT_EQ(rel.windowTitle(), QString::fromUtf8("Emissão da leitura da memória fiscal"));
    EXPECT_EQ(rel.size(), QSize(383, 218));

    w.Button6->click();
    ASSERT_TRUE(rel.isVisible());
    EXPECT_EQ(rel.MaskEdit1->maskedText(), "  /  /    ");
    rel.MaskEdit1->setFocus();
    rel.MaskEdit1->home(false);
    QTest::keyClicks(rel.MaskEdit1, "01122026");
    rel.Button1->click(); // BemaFI32: the texts as they stand, then the window closes
    EXPECT_FALSE(rel.isVisible());
    EXPECT_EQ(p.app->relMemoriaFiscal().maskEdit1, "01/12/2026");
    EXPECT_EQ(p.app->relMemoriaFiscal().maskEdit2, "  /  /    ");
    const auto calls = p.calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        R"(Bematech_FI_LeituraMemoriaFiscalData("01/12/2026", "  /  /    "))"),
              calls.end());

    w.Button6->click();
    EXPECT_TRUE(rel.isVisible());
    EXPECT_EQ(rel.MaskEdit1->maskedText(), "01/12/2026");
    rel.Button2->click();
    EXPECT_FALSE(rel.isVisible());
    EXPECT_TRUE(p.script.seen.empty());
}

TEST(UtilitiesWindow, FechaCupomAbertoEnablesImprimirOfACouponHeldBack)
{
    GuiProgram p({.pendingCoupon = true});
    // The journal shows the pending coupon started on the printer and never closed.
    ecf::data::Table cabec("CFCABEC.DB");
    cabec.open();
    ecf::coupon::CouponJournal::inStateFolder().started(ecf::coupon::currentDatabase(),
                                                         ecf::coupon::CouponKey::of(cabec), 0, {});
    cabec.close();
    p.script.then(ModalScript::ok());
    TfoUtilEcf& w = openUtilities(p);
    QPushButton* imprimir = p.program->tolvar().Button1;
    EXPECT_FALSE(imprimir->isEnabled());
    w.Button4->click();
    EXPECT_TRUE(called(p, "Bematech_FI_CancelaCupom"));
    EXPECT_TRUE(imprimir->isEnabled());
}

TEST(UtilitiesWindow, StaysInFrontAfterThePasswordAndClosesWithTheMainWindow)
{
    GuiProgram p;
    TfoUtilEcf& w = openUtilities(p);
    QApplication::processEvents();
    // The password dialog belongs to the utilities window while shown: that window, not the
    // main window, comes back to the front when it goes.
    QWindow* dialogOwner = nullptr;
    p.script
        .then([&](QWidget* d) {
            dialogOwner = d->windowHandle() ? d->windowHandle()->transientParent() : nullptr;
            ModalScript::typePassword("SEGREDO", "7", "ABC")(d);
        })
        .then(ModalScript::no());
    w.Button2->click();
    EXPECT_EQ(p.script.seen.size(), 2u);
    ASSERT_NE(w.windowHandle(), nullptr);
    EXPECT_EQ(dialogOwner, w.windowHandle());
    EXPECT_EQ(p.program->formSenha().parentWidget(), nullptr); // given back

    // The fiscal-memory window open too; "Fechar" of the main window closes them all.
    w.Button6->click();
    TfoRelMemoriaFiscal& rel = p.program->relMemoriaFiscal();
    ASSERT_TRUE(rel.isVisible());
    QPointer<TfoUtilEcf> util = &w;
    p.program->tolvar().Button2->click();
    EXPECT_FALSE(rel.isVisible());
    EXPECT_TRUE(util.isNull() || !util->isVisible());
    EXPECT_EQ(p.op->utilEcfWindow(), nullptr);
    if (util)
        util->Button1->click(); // a click left in the queue sends nothing
    EXPECT_FALSE(called(p, "Bematech_FI_LeituraX"));
}

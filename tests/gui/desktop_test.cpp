// What every window of the desktop program shares: Portuguese standard boxes and print dialog,
// Enter on a focused button, the emulated printer's paper tape, the box after a start-up that
// ended early.
#include "gui_test_support.h"

#include "Program.h"
#include "QtOperator.h"
#include "TfoBobina.h"
#include "printer/library/library_sources.h"
#include "TfoRelMemoriaFiscal.h"
#include "TfoTolvar.h"
#include "TfoUtilEcf.h"
#include "app/application.h"
#include "commands.h"
#include "printer/emulated_printer.h"
#include "printer/printer.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sstream>

using ecf::test::DemoDatabase;
using ecf::test::GuiProgram;
using ecf::test::ModalScript;

namespace {

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

// What a press on a button left behind: the boxes seen, the printer calls, the windows open.
std::string outcome(GuiProgram& p)
{
    ecf::test::processDeletions();
    std::string s = "main " + std::to_string(p.program->tolvar().isVisible()) + ", util "
        + std::to_string(p.op->utilEcfWindow() != nullptr) + ", fiscal memory "
        + std::to_string(p.program->relMemoriaFiscal().isVisible());
    for (const auto& box : p.script.seen)
        s += "\n" + box;
    for (const auto& call : p.calls())
        s += "\n" + call;
    return s;
}

} // namespace

TEST(DesktopConventions, StandardBoxesAndThePrintDialogSpeakPortuguese)
{
    GuiProgram p;
    QString yes, no;
    p.script.then([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        yes = box->button(QMessageBox::Yes)->text();
        no = box->button(QMessageBox::No)->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(p.op->confirm("Confirma?"), ecf::common::Answer::No);
    EXPECT_EQ(plain(yes), "Sim");
    EXPECT_EQ(plain(no), QString::fromUtf8("Não"));
    // Escape and the close box answer nothing, which the operations take for No.
    p.script.then(ModalScript::escape()).then(ModalScript::closeFrame());
    EXPECT_EQ(p.op->confirm("Confirma?"), ecf::common::Answer::Close);
    EXPECT_EQ(p.op->confirm("Confirma?"), ecf::common::Answer::Close);

    QPrinter printer;
    QPrintDialog dialog(&printer);
    QStringList captions;
    for (auto* b : dialog.findChildren<QAbstractButton*>())
        captions << plain(b->text());
    EXPECT_TRUE(captions.contains("Cancelar")) << captions.join("|").toStdString();
    EXPECT_FALSE(captions.contains("Cancel")) << captions.join("|").toStdString();
    EXPECT_FALSE(captions.contains("Print")) << captions.join("|").toStdString();
}

TEST(DesktopConventions, EnterOnAFocusedButtonDoesWhatAClickDoes)
{
    // The same program pressed once by a click and once by Enter (Return, or the keypad's
    // Enter on the first button) must end alike, and the press must have done something.
    using Press = std::function<void(QPushButton*)>;
    const Press click = [](QPushButton* b) { b->click(); };
    const Press enter = [](QPushButton* b) { QTest::keyClick(b, Qt::Key_Return); };
    const Press keypadEnter = [](QPushButton* b) { QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier); };
    const auto compare = [&](const char* window, int count,
                             const std::function<QPushButton*(GuiProgram&, int)>& button) {
        for (int i = 0; i < count; ++i) {
            std::string before, byClick;
            for (const Press& press : {click, i == 0 ? keypadEnter : enter}) {
                GuiProgram p({.pendingCoupon = true});
                QPushButton* b = button(p, i);
                b->setFocus();
                const std::string start = outcome(p);
                press(b);
                const std::string after = outcome(p);
                if (byClick.empty()) {
                    byClick = after;
                    EXPECT_NE(after, start) << window << " Button" << i + 1 << " did nothing";
                } else {
                    EXPECT_EQ(after, byClick) << window << " Button" << i + 1;
                }
            }
        }
    };
    compare("main", 3, [](GuiProgram& p, int i) {
        TfoTolvar& w = p.program->tolvar();
        w.show();
        return std::array{w.Button1, w.Button2, w.Button3}[i];
    });
    compare("utilities", 7, [](GuiProgram& p, int i) {
        p.program->tolvar().show();
        p.program->tolvar().Button3->click();
        TfoUtilEcf& w = *p.op->utilEcfWindow();
        return std::array{w.Button1, w.Button2, w.Button3, w.Button4, w.Button5, w.Button6, w.Button7}[i];
    });
}

TEST(Bobina, ShowsTheDemoCouponAsPrintedOnlyOnTheEmulator)
{
    // DARUMA345 prints through a maker library (our stand-in): no tape then.
    for (const std::string model : {"FS345", "BEMATECH", "NENHUM", "DARUMA345"}) {
        const bool library = model == "DARUMA345";
        ecf::test::ScopedEnv lib("ECF_LIB_DARUMA", library ? ECF_STAND_INS_DIR "/libstandin_daruma.so" : "");
        ecf::test::TempDir dir;
        std::istringstream in;
        std::ostringstream out, err;
        ecf::cli::Streams io{in, out, err};
        ASSERT_EQ(ecf::cli::runCli({"make-demo", dir.path().string(), "--model", model}, io), 0) << err.str();
        ecf::test::ScopedEnv vantis("VANTIS_DIR", dir.path().string());
        ecf::test::ModalScript script; // every question closed from its frame
        ecf::gui::QtOperator op;
        ecf::app::Application::Options o;
        o.op = &op;
        o.workDir = dir.path();
        o.libraries = ecf::printer::library::LibrarySources::fromEnvironment();
        ecf::app::Application app(std::move(o));
        ecf::gui::Program program(app, op);
        TfoBobina& bobina = program.bobina();
        program.tolvar().show();

        const bool emulated = model != "NENHUM" && !library;
        EXPECT_EQ(bobina.isVisible(), emulated) << model;
        // At the printer's width, in a fixed-pitch font.
        if (emulated) {
            EXPECT_GE(bobina.Memo->viewport()->width(),
                      bobina.Memo->fontMetrics().horizontalAdvance(QString(TfoBobina::kColumns, '0')));
        }
        EXPECT_EQ(bobina.Memo->fontMetrics().horizontalAdvance("i"), bobina.Memo->fontMetrics().horizontalAdvance("M"));

        QString atClosing; // what the tape shows when the printer is asked to close the coupon
        bool sawFirstItem = false;
        app.printer().emulated().onLine = [&, showLine = app.printer().emulated().onLine](const std::string& line) {
            showLine(line);
            if (line.find("FIM DO CUPOM") != std::string::npos)
                atClosing = bobina.text();
            sawFirstItem = sawFirstItem || bobina.text().contains(QString::fromUtf8("Café torrado"));
        };
        program.tolvar().Button1->click();
        EXPECT_FALSE(program.tolvar().isVisible()) << model;
        // The coupon stays readable after the main window has closed.
        EXPECT_EQ(bobina.isVisible(), emulated) << model;
        if (!emulated) {
            EXPECT_TRUE(bobina.text().isEmpty()) << bobina.text().toStdString();
            continue;
        }
        EXPECT_TRUE(sawFirstItem) << model;
        for (const char* text : {"CUPOM FISCAL", "Café torrado", "Pão de queijo", "Água mineral", "FIM DO CUPOM"})
            EXPECT_TRUE(atClosing.contains(QString::fromUtf8(text))) << model << ": " << text << "\n"
                                                                     << atClosing.toStdString();
        // The keys of reading scroll the tape.
        for (int i = 0; i < 80; ++i)
            app.printer().emulated().print("linha");
        QTest::keyClick(bobina.Memo, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(bobina.Memo->verticalScrollBar()->value(), 0) << model;
        QTest::keyClick(bobina.Memo, Qt::Key_PageDown);
        EXPECT_GT(bobina.Memo->verticalScrollBar()->value(), 0) << model;
        bobina.close();
    }
}

TEST(MainWindow, ImprimirIsDisabledAfterAnEarlyStartUpEnd)
{
    // Nothing could print: the cashier reads why in the start-up's box, and the window stays.
    GuiProgram p({.port = "", .pendingCoupon = true});
    p.program->tolvar().show();
    EXPECT_FALSE(p.program->tolvar().Button1->isEnabled());
    p.program->tolvar().Button1->click();
    EXPECT_EQ(p.script.seen, std::vector<std::string>{"info: Porta da ECF nao cadastrada"});
    EXPECT_TRUE(p.program->tolvar().isVisible());
}

#include "gui_test_support.h"

#include "DesktopConventions.h"
#include "Program.h"
#include "QtOperator.h"
#include "TFormSenha.h"
#include "app/application.h"
#include "common/trace.h"
#include "support/tables.h"
#include "support/trace_reader.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace ecf::test {

QApplication& qtApp()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv); // lives as long as the test program
    ecf::gui::applyDesktopConventions(*app);  // as the desktop program starts
    return *app;
}

ModalScript::ModalScript()
{
    qtApp();
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    timer_.start();
}

ModalScript& ModalScript::then(Step step)
{
    steps_.push_back(std::move(step));
    return *this;
}

void ModalScript::poll()
{
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || w->property("ecfAnswered").toBool())
        return;
    w->setProperty("ecfAnswered", true);
    w->installEventFilter(this); // a dialog shown again is answered again
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        const char* kind = "message";
        switch (box->icon()) {
        case QMessageBox::Information: kind = "info"; break;
        case QMessageBox::Critical: kind = "error"; break;
        case QMessageBox::Question: kind = "confirm"; break;
        default: break;
        }
        seen.push_back(std::string(kind) + ": " + box->text().toStdString());
    } else if (auto* senha = qobject_cast<TFormSenha*>(w)) {
        seen.push_back("password: " + senha->windowTitle().toStdString()
                       + (senha->userPanelVisible() ? " [user panel]" : ""));
    } else {
        seen.push_back("modal: " + w->windowTitle().toStdString());
    }
    Step step = closeFrame();
    if (!steps_.empty()) {
        step = std::move(steps_.front());
        steps_.pop_front();
    }
    step(w);
}

bool ModalScript::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide)
        watched->setProperty("ecfAnswered", false);
    return QObject::eventFilter(watched, event);
}

namespace {

// Types `text` key by key; characters beyond ASCII go as key events with their text only.
void typeText(QWidget* w, const std::string& utf8)
{
    for (const QChar ch : QString::fromStdString(utf8)) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

ModalScript::Step clickButton(QMessageBox::StandardButton which)
{
    return [which](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->button(which))
            box->button(which)->click();
        else
            w->close();
    };
}

} // namespace

ModalScript::Step ModalScript::yes() { return clickButton(QMessageBox::Yes); }
ModalScript::Step ModalScript::no() { return clickButton(QMessageBox::No); }
ModalScript::Step ModalScript::ok() { return clickButton(QMessageBox::Ok); }
ModalScript::Step ModalScript::escape()
{
    return [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); };
}
ModalScript::Step ModalScript::closeFrame()
{
    return [](QWidget* w) { w->close(); };
}

ModalScript::Step ModalScript::typePassword(std::string senha)
{
    return [senha](QWidget* w) {
        auto* d = qobject_cast<TFormSenha*>(w);
        if (!d) {
            w->close();
            return;
        }
        typeText(d->EdSenha, senha);
        QTest::keyClick(d->EdSenha, Qt::Key_Return); // ends the dialog with OK
    };
}

ModalScript::Step ModalScript::typePassword(std::string senha, std::string usuario, std::string senhaUsuario)
{
    return [=](QWidget* w) {
        auto* d = qobject_cast<TFormSenha*>(w);
        if (!d) {
            w->close();
            return;
        }
        typeText(d->EdSenha, senha);
        QTest::keyClick(d->EdSenha, Qt::Key_Return);
        typeText(d->edUsuario, usuario);
        QTest::keyClick(d->edUsuario, Qt::Key_Return);
        typeText(d->edSenhaUsu, senhaUsuario);
        QTest::keyClick(d->edSenhaUsu, Qt::Key_Return);
        QTest::keyClick(d->btnOK, Qt::Key_Return); // Enter on the focused "OK"
    };
}

ModalScript::Step ModalScript::cancelPassword()
{
    return [](QWidget* w) {
        if (auto* d = qobject_cast<TFormSenha*>(w))
            d->btnCancelar->click();
        else
            w->close();
    };
}

GuiProgram::GuiProgram(const DemoDatabase& db) : vantis("VANTIS_DIR", dir.path().string())
{
    using namespace px_fields;
    using namespace px_values;
    const auto& d = dir.path();
    makeTable(d, "Filial.DB",
              {longField("Filial"), alpha("PortaEcf", 5), alpha("ModeloEcf", 10), alpha("FatModNf", 6),
               longField("VelPortSer"), alpha("TipoDescIt", 1), currency("Perc_Issqn")},
              {{lng(1), txt(db.port), txt(db.model), txt(db.fatModNf), lng(0), txt("V"), num(5)}});
    makeTable(d, "FATURCFG.DB", {logical("TEF")}, {{px::Value::logicalValue(db.tef)}});
    makeTable(d, "Acesso.db",
              {longField("Codigo"), alpha("Conteudo", 20), alpha("Descricao", 30), alpha("Inf_Usuario", 1)},
              {{lng(1), txt("segredo"), txt("Reducao Z"), txt("S")}});
    makeTable(d, "Usuarios.db", {alpha("Codigo", 6), alpha("Senha", 8), alpha("Nivel", 2)},
              {{txt("7"), txt("abc"), txt("1")}});
    makeTable(d, "FormaPtg.DB", {alpha("Descricao", 20)}, {{txt("Dinheiro")}, {txt("Cheque")}});
    const std::vector<px::FieldDef> link{longField("Filial"), longField("Num_Nota"), alpha("Tipo_Nota", 2),
                                         longField("Cod_Clifor"), date("DT_ENTRADA")};
    std::vector<px::FieldDef> cabec = link;
    cabec.push_back(currency("Vlr_Nota"));
    std::vector<px::Record> rows;
    if (db.pendingCoupon)
        rows.push_back({lng(1), lng(1001), txt("CF"), lng(25), px::Value::date(739000), num(10)});
    makeTable(d, "CFCABEC.DB", cabec, rows);
    std::vector<px::FieldDef> itens = link;
    itens.push_back(longField("Num_Item"));
    makeTable(d, "CFITENS.DB", itens);

    op = std::make_unique<ecf::gui::QtOperator>();
    ecf::app::Application::Options o;
    o.op = op.get();
    o.trace = std::make_shared<common::Trace>(tracePath().string());
    o.workDir = d;
    app = std::make_unique<ecf::app::Application>(std::move(o));
    program = std::make_unique<ecf::gui::Program>(*app, *op);
}

GuiProgram::~GuiProgram()
{
    program.reset();
    processDeletions();
    app.reset();
}

std::vector<std::string> GuiProgram::calls() const { return callSignatures(tracePath()); }

void processDeletions() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace ecf::test

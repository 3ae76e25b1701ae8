#include "QtOperator.h"

#include "TFormSenha.h"
#include "TfoBobina.h"
#include "TfoMostraFormasPagamentoECF.h"
#include "TfoRelMemoriaFiscal.h"
#include "TfoTolvar.h"
#include "TfoUtilEcf.h"
#include "app/application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace ecf::gui {

namespace {

const char* const boxTitle = "ECF";

void showBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text)
{
    QMessageBox box(icon, boxTitle, QString::fromStdString(text), QMessageBox::Ok, parent);
    box.exec();
}

// Escape or the frame's close button end a confirmation without an answer; the toolkit would
// otherwise take them for "No".
class NoAnswerFilter : public QObject {
public:
    explicit NoAnswerFilter(QMessageBox& box) : box_(box) {}
    bool closed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &box_) {
            const bool escape = event->type() == QEvent::KeyPress
                && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
            if (escape || event->type() == QEvent::Close) {
                closed = true;
                event->accept();
                box_.done(QDialog::Rejected);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMessageBox& box_;
};

} // namespace

QtOperator::QtOperator() = default;
QtOperator::~QtOperator() = default;

void QtOperator::attach(ecf::app::Application& app, const Windows& windows)
{
    app_ = &app;
    tolvar_ = windows.tolvar;
    formasPagamento_ = windows.formasPagamento;
    relMemoriaFiscal_ = windows.relMemoriaFiscal;
    formSenha_ = windows.formSenha;
    bobina_ = windows.bobina;
}

TfoUtilEcf* QtOperator::utilEcfWindow() const
{
    return utilEcf_ && !utilEcf_->isClosed() ? utilEcf_.data() : nullptr;
}

QWidget* QtOperator::boxParent() const
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    if (TfoUtilEcf* u = utilEcfWindow(); u && u->isVisible())
        return u; // the window the operator works in when the window system does not say
    return tolvar_;
}

void QtOperator::message(const std::string& text) { showBox(boxParent(), QMessageBox::NoIcon, text); }
void QtOperator::info(const std::string& text) { showBox(boxParent(), QMessageBox::Information, text); }
void QtOperator::error(const std::string& text) { showBox(boxParent(), QMessageBox::Critical, text); }
void QtOperator::exception(const std::string& text) { showBox(boxParent(), QMessageBox::Critical, text); }

ecf::common::Answer QtOperator::confirm(const std::string& text)
{
    QMessageBox box(QMessageBox::Question, boxTitle, QString::fromStdString(text), QMessageBox::NoButton,
                    boxParent());
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    box.setDefaultButton(yes);
    NoAnswerFilter filter(box);
    box.installEventFilter(&filter);
    box.exec();
    box.removeEventFilter(&filter);
    if (filter.closed)
        return ecf::common::Answer::Close;
    if (box.clickedButton() == yes)
        return ecf::common::Answer::Yes;
    if (box.clickedButton() == no)
        return ecf::common::Answer::No;
    return ecf::common::Answer::Close;
}

ecf::common::PasswordEntry QtOperator::password(const std::string& caption, bool userPanel)
{
    if (!formSenha_) {
        ownFormSenha_ = std::make_unique<TFormSenha>(tolvar_);
        formSenha_ = ownFormSenha_.get();
    }
    TFormSenha& dialog = *formSenha_;
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setUserPanelVisible(userPanel);
    // The dialog belongs to the window the operator works in (the utilities window for the Z
    // reduction) while it is shown, so that this window, not the main window, comes back to
    // the front when it goes.
    const QPointer<QWidget> owner = dialog.parentWidget();
    const QPointer<QWidget> front = boxParent();
    const bool borrowed = front && front != &dialog && front != owner;
    if (borrowed)
        dialog.setParent(front, dialog.windowFlags());
    ecf::common::PasswordEntry entry;
    entry.ok = dialog.exec() == QDialog::Accepted;
    if (borrowed)
        dialog.setParent(owner, dialog.windowFlags());
    if (front && front->isVisible()) {
        front->raise();
        front->activateWindow();
    }
    entry.senha = dialog.EdSenha->text().toStdString();
    entry.usuario = dialog.edUsuario->text().toStdString();
    entry.senhaUsuario = dialog.edSenhaUsu->text().toStdString();
    return entry;
}

void QtOperator::mainShown(const ecf::common::MainWindowState&)
{
    if (tolvar_)
        tolvar_->refresh();
    // The configured model is known now: its paper tape shows when it runs on the emulator.
    if (bobina_)
        bobina_->showIfEmulated(tolvar_);
}

void QtOperator::listShown(const std::vector<std::string>& items)
{
    if (formasPagamento_)
        formasPagamento_->fill(items);
}

void QtOperator::showWindow(ecf::common::Window window)
{
    switch (window) {
    case ecf::common::Window::UtilEcf: {
        if (!app_)
            return;
        if (utilEcf_ && utilEcf_->isClosed()) {
            // Closed but not yet gone: its logic goes now, the new window gets a new one.
            utilEcf_->releaseLogic();
            utilEcf_ = nullptr;
        }
        if (!utilEcf_) {
            if (!app_->utilEcf())
                app_->createUtilEcf();
            utilEcf_ = new TfoUtilEcf(*app_, tolvar_);
        }
        utilEcf_->showForHandler();
        break;
    }
    case ecf::common::Window::MostraFormasPagamentoECF:
        if (formasPagamento_)
            formasPagamento_->showForHandler();
        break;
    case ecf::common::Window::RelMemoriaFiscal:
        if (relMemoriaFiscal_) {
            relMemoriaFiscal_->show();
            relMemoriaFiscal_->raise();
            relMemoriaFiscal_->activateWindow();
        }
        break;
    }
}

void QtOperator::closeWindow(ecf::common::Window window)
{
    switch (window) {
    case ecf::common::Window::UtilEcf:
        // WA_DeleteOnClose: the window, and its logic with it, go once the running handler is over.
        if (utilEcf_)
            utilEcf_->close();
        break;
    case ecf::common::Window::MostraFormasPagamentoECF:
        if (formasPagamento_)
            formasPagamento_->hide();
        break;
    case ecf::common::Window::RelMemoriaFiscal:
        if (relMemoriaFiscal_)
            relMemoriaFiscal_->hide(); // keeps its dates for the next showing
        break;
    }
}

} // namespace ecf::gui

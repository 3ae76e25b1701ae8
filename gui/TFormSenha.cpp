#include "TFormSenha.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QLineEdit* passwordEdit(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet("lineedit-password-character: 42"); // "*"
    return e;
}

} // namespace

TFormSenha::TFormSenha(QWidget* parent) : QDialog(parent)
{
    setObjectName("FormSenha");
    setWindowTitle("Senha de Entrada");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    EdSenha = passwordEdit(this, "EdSenha");
    auto* top = new QFormLayout;
    top->addRow("Senha", EdSenha);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    edUsuario = new QLineEdit(Panel1);
    edUsuario->setObjectName("edUsuario");
    edUsuario->setMaxLength(6);
    edSenhaUsu = passwordEdit(Panel1, "edSenhaUsu");
    edSenhaUsu->setMaxLength(8);
    auto* panel = new QFormLayout(Panel1);
    panel->addRow(QString::fromUtf8("Usuário"), edUsuario);
    panel->addRow("Senha", edSenhaUsu);
    Panel1->hide();

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnCancelar = new QPushButton("Cancelar", this);
    btnCancelar->setObjectName("btnCancelar");
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancelar);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Panel1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    EdSenha->setMinimumWidth(200);

    setTabOrder(EdSenha, edUsuario);
    setTabOrder(edUsuario, edSenhaUsu);
    setTabOrder(edSenhaUsu, btnOK);
    setTabOrder(btnOK, btnCancelar);

    for (QLineEdit* e : {EdSenha, edUsuario, edSenhaUsu})
        e->installEventFilter(this);
}

void TFormSenha::setUserPanelVisible(bool visible)
{
    userPanel_ = visible;
    Panel1->setVisible(visible);
}

void TFormSenha::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    EdSenha->clear();
    edUsuario->clear();
    edSenhaUsu->clear();
    EdSenha->setFocus();
}

bool TFormSenha::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == EdSenha) {
                if (userPanel_)
                    edUsuario->setFocus();
                else
                    accept();
                return true;
            }
            if (watched == edUsuario) {
                edSenhaUsu->setFocus();
                return true;
            }
            if (watched == edSenhaUsu) {
                btnOK->setFocus();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

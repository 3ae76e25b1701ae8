#pragma once
// TFormSenha, the password dialog of the access check: the operation password and, when the
// operation asks for it, the user code and the user's password.
#include <QDialog>

class QFrame;
class QLineEdit;
class QPushButton;

class TFormSenha : public QDialog {
    Q_OBJECT
public:
    explicit TFormSenha(QWidget* parent = nullptr);

    // Shows or hides the user panel for the next showing.
    void setUserPanelVisible(bool visible);
    bool userPanelVisible() const { return userPanel_; }

    QLineEdit* EdSenha = nullptr;
    QFrame* Panel1 = nullptr;
    QLineEdit* edUsuario = nullptr;
    QLineEdit* edSenhaUsu = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancelar = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool userPanel_ = false;
};

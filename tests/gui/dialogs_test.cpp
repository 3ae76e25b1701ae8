// The password dialog, the masked date edit and the Qt operator port's boxes on their own.
#include "gui_test_support.h"

#include "DateMaskEdit.h"
#include "QtOperator.h"
#include "TFormSenha.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using ecf::common::Answer;
using ecf::test::ModalScript;

TEST(FormSenha, EnterKeys)
{
    ecf::test::qtApp();
    TFormSenha d;

    // Without the user panel, Enter in the password ends the dialog with OK.
    d.setUserPanelVisible(false);
    d.show();
    EXPECT_FALSE(d.Panel1->isVisible());
    QTest::keyClick(d.EdSenha, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);

    // With it, Enter walks the fields in tab order and the texts stay as typed.
    d.setResult(QDialog::Rejected);
    d.setUserPanelVisible(true);
    d.show();
    EXPECT_TRUE(d.Panel1->isVisible());
    EXPECT_EQ(d.focusWidget(), d.EdSenha);
    QTest::keyClicks(d.EdSenha, "x");
    QTest::keyClick(d.EdSenha, Qt::Key_Enter);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.focusWidget(), d.edUsuario);
    QTest::keyClicks(d.edUsuario, "12345678"); // at most 6
    QTest::keyClick(d.edUsuario, Qt::Key_Return);
    EXPECT_EQ(d.focusWidget(), d.edSenhaUsu);
    QTest::keyClick(d.edSenhaUsu, Qt::Key_Return);
    EXPECT_EQ(d.focusWidget(), d.btnOK);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.EdSenha->text(), "x");
    EXPECT_EQ(d.edUsuario->text(), "123456");

    // Shown again: the fields are empty and the focus is in the password.
    d.hide();
    d.show();
    EXPECT_TRUE(d.EdSenha->text().isEmpty());
    EXPECT_TRUE(d.edUsuario->text().isEmpty());
    EXPECT_EQ(d.focusWidget(), d.EdSenha);
    d.hide();
}

TEST(DateMaskEdit, TextIsAlwaysTenCharacters)
{
    ecf::test::qtApp();
    struct Case {
        const char* typed; // from the first position
        const char* text;
    };
    const Case cases[] = {
        {"", "  /  /    "},
        {"01122026", "01/12/2026"},
        {"0112", "01/12/    "},
        {"011220261", "01/12/2026"}, // nothing beyond the mask
        {"ab/cd", "  /  /    "},     // only digits are taken
    };
    for (const Case& c : cases) {
        DateMaskEdit e;
        EXPECT_EQ(e.maskedText(), "  /  /    ");
        e.setFocus();
        e.home(false);
        QTest::keyClicks(&e, c.typed);
        EXPECT_EQ(e.maskedText(), c.text) << c.typed;
        // "_" marks the empty positions while editing.
        EXPECT_EQ(e.displayText(), QString(c.text).replace(' ', '_')) << c.typed;
    }
    const Case given[] = {
        {"07/12/2026", "07/12/2026"},
        {"  /  /    ", "  /  /    "},
        {"x1/1x/2026 and more", " 1/1 /2026"},
    };
    for (const Case& c : given) {
        DateMaskEdit e;
        e.setMaskedText(c.typed);
        EXPECT_EQ(e.maskedText(), c.text) << c.typed;
    }
}

TEST(QtOperatorBoxes, ConfirmAnswers)
{
    ecf::gui::QtOperator op;
    ModalScript script;
    struct Case {
        ModalScript::Step step;
        Answer answer;
    };
    const Case cases[] = {{ModalScript::yes(), Answer::Yes},
                          {ModalScript::no(), Answer::No},
                          {ModalScript::escape(), Answer::Close},
                          {ModalScript::closeFrame(), Answer::Close}};
    for (const Case& c : cases) {
        script.then(c.step);
        EXPECT_EQ(op.confirm("Imprime?"), c.answer);
    }
    EXPECT_EQ(script.seen, std::vector<std::string>(4, "confirm: Imprime?"));
}

TEST(QtOperatorBoxes, KindsAndTexts)
{
    ecf::gui::QtOperator op;
    ModalScript script;
    script.then(ModalScript::ok()).then(ModalScript::ok()).then(ModalScript::escape()).then(ModalScript::ok());
    op.message("COM1 erro: 3");
    op.info("Porta da ECF nao cadastrada");
    op.error("Senha invalida");
    op.exception(QString::fromUtf8("'á' is not a valid integer value").toStdString());
    EXPECT_EQ(script.seen, (std::vector<std::string>{"message: COM1 erro: 3", "info: Porta da ECF nao cadastrada",
                                                     "error: Senha invalida",
                                                     QString::fromUtf8("error: 'á' is not a valid integer value")
                                                         .toStdString()}));
    EXPECT_EQ(script.pending(), 0u);
}

TEST(QtOperatorBoxes, PasswordDialog)
{
    ecf::gui::QtOperator op; // makes its own dialog when none was given
    ModalScript script;
    script.then(ModalScript::typePassword(" Segredo ", QString::fromUtf8("joão").toStdString(), "s1"));
    auto e = op.password("Entre com a senha 1", true);
    EXPECT_TRUE(e.ok);
    EXPECT_EQ(e.senha, " Segredo "); // exactly as typed
    EXPECT_EQ(e.usuario, QString::fromUtf8("joão").toStdString());
    EXPECT_EQ(e.senhaUsuario, "s1");

    // The same dialog again, without the panel; then cancelled by its button and by Escape.
    script.then(ModalScript::cancelPassword()).then(ModalScript::escape());
    EXPECT_FALSE(op.password("Entre com a senha 2", false).ok);
    EXPECT_FALSE(op.password("Entre com a senha 2", false).ok);
    EXPECT_EQ(script.seen, (std::vector<std::string>{"password: Entre com a senha 1 [user panel]",
                                                     "password: Entre com a senha 2",
                                                     "password: Entre com a senha 2"}));
}

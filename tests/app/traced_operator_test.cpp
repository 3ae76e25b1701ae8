// The "ui" lines of the trace, as written by the decorator of the operator port.
#include "app/traced_operator.h"

#include "access/access_check.h"
#include "app/application.h"
#include "app/dm_filial.h"
#include "common/trace.h"
#include "support/scripted_operator.h"
#include "support/tables.h"
#include "support/test_support.h"
#include "support/trace_reader.h"

#include <gtest/gtest.h>

namespace {

using namespace ecf;
using nlohmann::json;

TEST(TracedOperator, WritesOneUiLinePerBoxWithTheAnswersButNoPasswords)
{
    test::TempDir dir;
    const auto file = dir.path() / "trace.jsonl";
    test::ScriptedOperator inner;
    inner.confirmAnswers = {common::Answer::Yes, common::Answer::Close};
    inner.passwordAnswers = {common::PasswordEntry{true, "s3gr3d0", "77", "pw-user"}};
    app::TracedOperator op(inner, std::make_shared<common::Trace>(file.string()));

    op.message("Comando 1: 0");
    op.info("Porta da ECF nao cadastrada");
    op.error("Senha invalida");
    op.exception("'x' is not a valid integer value");
    EXPECT_EQ(op.confirm("Emitir comprovante de entrega ?"), common::Answer::Yes);
    EXPECT_EQ(op.confirm("Confirma Emiss\xC3\xA3o da Leitura X ?"), common::Answer::Close);
    const common::PasswordEntry e = op.password("Entre com a senha 1", true);
    EXPECT_EQ(e.senha, "s3gr3d0"); // the caller still gets what was typed
    op.mainShown({"42", "Integrar c/TEF", false});
    op.listShown({"Dinheiro", "Cart\xC3\xA3o"});
    op.showWindow(common::Window::UtilEcf);

    EXPECT_EQ(inner.events.size(), 10u); // every call reaches the wrapped port

    const auto lines = test::readTrace(file);
    const std::vector<json> expected{
        {{"ev", "ui"}, {"kind", "message"}, {"text", "Comando 1: 0"}},
        {{"ev", "ui"}, {"kind", "info"}, {"text", "Porta da ECF nao cadastrada"}},
        {{"ev", "ui"}, {"kind", "error"}, {"text", "Senha invalida"}},
        {{"ev", "ui"}, {"kind", "exception"}, {"text", "'x' is not a valid integer value"}},
        {{"ev", "ui"}, {"kind", "confirm"}, {"text", "Emitir comprovante de entrega ?"}, {"answer", "yes"}},
        {{"ev", "ui"}, {"kind", "confirm"}, {"text", "Confirma Emiss\xC3\xA3o da Leitura X ?"}, {"answer", "close"}},
        {{"ev", "ui"}, {"kind", "password"}, {"text", "Entre com a senha 1"}, {"user_panel", true}, {"answer", "ok"}},
        {{"ev", "ui"}, {"kind", "main"}, {"label1", "42"}, {"button1", "Integrar c/TEF"}, {"button1_enabled", false}},
        {{"ev", "ui"}, {"kind", "list"}, {"window", "TfoMostraFormasPagamentoECF"}, {"items", {"Dinheiro", "Cart\xC3\xA3o"}}},
    };
    EXPECT_EQ(lines, expected);

    const std::string raw = test::readFile(file);
    for (const char* secret : {"s3gr3d0", "pw-user", "\"77\""})
        EXPECT_EQ(raw.find(secret), std::string::npos) << secret;
}

// The password check of the program as Application assembles it, with the trace on: the
// dialog's text is traced, what was typed is not.
TEST(TracedOperator, PasswordsOfTheAccessCheckNeverReachTheTrace)
{
    using namespace test::px_fields;
    using namespace test::px_values;
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};
    test::makeTable(dir.path(), "Acesso.db",
                    {longField("Codigo"), alpha("Descricao", 40), alpha("Conteudo", 10), alpha("Inf_Usuario", 1)},
                    {{lng(1), txt("Z"), txt(" zeta  "), txt("s")}});
    test::makeTable(dir.path(), "Usuarios.db", {alpha("Codigo", 6), alpha("Senha", 8), alpha("Nivel", 2)},
                    {{txt("ANA"), txt("Flor1"), txt("9")}});
    const auto traceFile = dir.path() / "trace.jsonl";
    test::ScriptedOperator op;
    common::FixedClock clock{{2026, 12, 8, 14, 30, 15, 250}};
    app::Application app({&op, std::make_shared<common::Trace>(traceFile.string()), nullptr, &clock, dir.path(), nullptr});
    app.dmFilial().TAcesso.open();
    const auto check = [&](std::string senha, std::string senhaUsu) {
        op.passwordAnswers.push_back({true, std::move(senha), "ANA", std::move(senhaUsu)});
        return app.access().AutorizaAcesso(1);
    };
    EXPECT_TRUE(check("zeta", "Flor1"));
    EXPECT_FALSE(check("wrongpw", "Flor1"));
    EXPECT_FALSE(check("zeta", "badpass"));
    const std::string trace = test::readFile(traceFile);
    EXPECT_NE(trace.find("Entre com a senha 1"), std::string::npos);
    for (const char* secret : {"zeta", "Flor1", "wrongpw", "badpass"})
        EXPECT_EQ(trace.find(secret), std::string::npos) << secret;
}

} // namespace

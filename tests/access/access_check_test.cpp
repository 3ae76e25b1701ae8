// The access check on real Paradox tables: the operation password, the user identification
// and the monthly access log.
#include "access/access_check.h"
#include "common/clock.h"
#include "common/errors.h"
#include "data/table.h"
#include "support/scripted_operator.h"
#include "support/tables.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace ecf {
namespace {

using namespace test::px_fields;
using namespace test::px_values;
namespace px = data::px;
using Strings = std::vector<std::string>;

// Milliseconds of a date and time on the Paradox engine's count (1 January 0001 is day 1).
double paradoxMs(const common::DateTime& t)
{
    return static_cast<double>(ymd(t.year, t.month, t.day).integer) * 86400000.0 +
           ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
}

// Makes an engine-made table keyed on its first field, as the host keeps Usuarios.db, with
// or without its primary index (one level, one block).
void makeKeyed(const std::filesystem::path& db, std::size_t keyLength, bool withIndex)
{
    std::string b = test::readFile(db);
    b[0x04] = 0x00; // keyed
    b[0x23] = 0x01; // one key field
    test::writeFile(db, b);
    if (!withIndex)
        return;
    const auto u16 = [&](std::size_t at) { return unsigned(std::uint8_t(b[at])) | unsigned(std::uint8_t(b[at + 1])) << 8; };
    const unsigned header = u16(0x02);
    std::string px(2048 + 1024u * std::uint8_t(b[0x05]), '\0');
    const auto put = [&](std::size_t at, unsigned v) { px[at] = char(v & 0xFF); px[at + 1] = char(v >> 8); };
    put(0x00, unsigned(keyLength) + 6);
    put(0x02, 2048);
    px[0x04] = 0x01;
    px[0x05] = b[0x05];
    for (std::size_t at : {0x06, 0x0A, 0x0C, 0x0E, 0x10, 0x1E})
        put(at, 1); // one record, one block, the root
    px[0x20] = px[0x21] = 0x01;
    std::memcpy(&px[2048 + 6], &b[header + 6], keyLength); // the first record's key
    put(2048 + 6 + keyLength, 1);
    put(2048 + 8 + keyLength, u16(header + 4) / u16(0) + 1);
    test::writeFile(std::filesystem::path(db).replace_extension(".PX"), px);
}

class AccessCheckTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};
    common::FixedClock clock{{2026, 12, 8, 14, 30, 15, 250}};
    test::ScriptedOperator op;
    std::unique_ptr<data::Table> acesso;
    std::unique_ptr<access::AccessCheck> checker;
    const std::string descricao1 = "Redu\xE7\xE3o Z di\xE1ria da impressora fiscal"; // 37 bytes, code page 1252

    // Operation 1 identifies the user (a lower-case s), 2 needs its password only, 3 and 4 are
    // unprotected.
    void SetUp() override
    {
        test::makeTable(dir.path(), "Acesso.db",
                        {longField("Codigo"), alpha("Descricao", 40), alpha("Conteudo", 10), alpha("Inf_Usuario", 1)},
                        {{lng(1), txt(descricao1), txt(" zeta  "), txt("s")},
                         {lng(2), txt("Outra"), txt("Dois"), txt("N")},
                         {lng(3), txt("Livre"), txt("   "), txt("S")},
                         {lng(4), txt("Livre"), nul(), txt("S")}});
        usuarios(false, false);
    }

    void usuarios(bool keyed, bool withIndex)
    {
        std::filesystem::remove(dir.path() / "Usuarios.db");
        std::filesystem::remove(dir.path() / "Usuarios.PX");
        const auto file = test::makeTable(dir.path(), "Usuarios.db", {alpha("Codigo", 6), alpha("Senha", 8), alpha("Nivel", 2)},
                                          {{txt("ANA"), txt("Flor1"), txt("9")}, {txt("JO\xC3O"), txt("ma\xE7\xE3"), txt("1")}});
        if (keyed)
            makeKeyed(file, 6, withIndex);
    }

    // The check as the program makes it, over the data module's open access table.
    void start()
    {
        checker.reset();
        acesso = std::make_unique<data::Table>("Acesso.db");
        acesso->open();
        checker = std::make_unique<access::AccessCheck>(op, clock, *acesso);
    }

    bool check(int operation, std::string senha = "", std::string usuario = "", std::string senhaUsu = "", bool ok = true)
    {
        if (!checker)
            start();
        op.passwordAnswers.push_back({ok, std::move(senha), std::move(usuario), std::move(senhaUsu)});
        const bool r = checker->AutorizaAcesso(operation);
        op.passwordAnswers.clear();
        return r;
    }

    std::vector<px::Record> logRecords(const std::string& name = "Log2612.DB") const
    {
        return px::PxTable::read(dir.path() / name).records();
    }
};

TEST_F(AccessCheckTest, UnprotectedOperationsPassWithoutDialog)
{
    // Not in Acesso.db, a password of blanks, a null password.
    for (int operation : {99, 3, 4})
        EXPECT_TRUE(check(operation, "x"));
    EXPECT_TRUE(op.events.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Log2612.DB"));
}

TEST_F(AccessCheckTest, OperationPassword)
{
    struct Case {
        int operation;
        std::string typed;
        bool ok, accepted;
    };
    const Case cases[] = {
        {2, "DOIS", true, true},   {2, "  dOiS ", true, true}, {2, "DOI", true, false},
        {2, "D OIS", true, false}, {2, "", true, false},       {2, "Dois", false, false}, // cancelled
    };
    for (const Case& c : cases) {
        op.events.clear();
        EXPECT_EQ(check(c.operation, c.typed, "", "", c.ok), c.accepted) << c.typed;
        ASSERT_EQ(op.events.size(), c.ok && !c.accepted ? 2u : 1u) << c.typed;
        EXPECT_EQ(op.events[0], (test::OperatorEvent{"password", "Entre com a senha 2", c.ok ? "ok" : "cancel"}));
        if (c.ok && !c.accepted) {
            EXPECT_EQ(op.events[1], (test::OperatorEvent{"error", "Senha invalida", ""}));
        }
    }
    // Without the user panel nothing is logged and no log table is made.
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Log2612.DB"));
    EXPECT_TRUE(checker->currentUserCode.empty());
}

TEST_F(AccessCheckTest, FailedIdentificationLogsNothing)
{
    struct Case {
        std::string senha, usuario, senhaUsu;
        std::string kind, text;
    };
    const Case cases[] = {
        {"cancel", "", "", "", ""},
        {"zetta", "ANA", "Flor1", "error", "Senha invalida"},
        {"zeta", "MARIA", "Flor1", "message", "Usuário não cadastrado!"},
        {"zeta", "ana", "Flor1", "message", "Usuário não cadastrado!"}, // the code matches exactly
        {"zeta", "ANA", "Flor2", "message", "A senha do usuário é inválida!"},
        {"zeta", "ANA", " Flor1", "message", "A senha do usuário é inválida!"}, // not trimmed
        {"zeta", "ANA", "Flor1 ", "message", "A senha do usuário é inválida!"},
    };
    for (const Case& c : cases) {
        op.events.clear();
        EXPECT_FALSE(check(1, c.senha, c.usuario, c.senhaUsu, c.senha != "cancel")) << c.senha << c.usuario << c.senhaUsu;
        EXPECT_EQ(op.events[0].text, "Entre com a senha 1 [user panel]");
        EXPECT_EQ(op.texts(c.kind), c.kind.empty() ? Strings{} : Strings{c.text}) << c.senha << c.usuario << c.senhaUsu;
        EXPECT_EQ(op.events.size(), c.kind.empty() ? 1u : 2u);
    }
    EXPECT_TRUE(logRecords().empty()); // the month's table was made when the dialog showed
    EXPECT_TRUE(checker->currentUserCode.empty());
    EXPECT_TRUE(checker->currentUserLevel.empty());
}

TEST_F(AccessCheckTest, IdentifiedChecksAreLoggedInTheMonthsTable)
{
    start();
    access::AccessCheck& a = *checker;
    a.currentTable = std::string(25, 'T'); // longer than the log's fields: cut to them
    a.currentRecord = "Nota 123";
    a.currentOperation = "IA";
    EXPECT_TRUE(check(1, "ZETA", "ANA", "fLOR1")); // user passwords in any letter case
    EXPECT_EQ(op.events.size(), 1u);
    EXPECT_EQ(a.currentUserCode, "ANA");
    EXPECT_EQ(a.currentUserLevel, "9");

    const px::PxTable log = px::PxTable::read(dir.path() / "Log2612.DB");
    const std::vector<px::FieldDef> fields = {{"DataHora", px::FieldType::Timestamp, 8, 0},
                                              {"Tabela", px::FieldType::Alpha, 20, 0},
                                              {"Acesso", px::FieldType::Alpha, 30, 0},
                                              {"Registro", px::FieldType::Alpha, 100, 0},
                                              {"Operacao", px::FieldType::Alpha, 1, 0},
                                              {"Usuario", px::FieldType::Alpha, 6, 0}};
    ASSERT_EQ(log.fields().size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(log.fields()[i].name, fields[i].name);
        EXPECT_EQ(log.fields()[i].type, fields[i].type);
        EXPECT_EQ(log.fields()[i].size, fields[i].size);
    }
    ASSERT_EQ(log.records().size(), 1u);
    const px::Record& r = log.records()[0];
    EXPECT_EQ(r[0].kind, px::Value::Kind::Timestamp);
    EXPECT_DOUBLE_EQ(r[0].real, paradoxMs(clock.now()));
    EXPECT_EQ(r[1].bytes, std::string(20, 'T'));
    EXPECT_EQ(r[2].bytes, descricao1.substr(0, 30));
    EXPECT_EQ(r[3].bytes, "Nota 123");
    EXPECT_EQ(r[4].bytes, "I");
    EXPECT_EQ(r[5].bytes, "ANA");

    // Later checks of the month append, with the caller's description cleared by the first;
    // the typed texts are compared in the tables' code page.
    clock.set({2026, 12, 31, 23, 59, 59, 0});
    EXPECT_TRUE(check(1, "zeta", "JOÃO", "MAÇÃ"));
    EXPECT_EQ(a.currentUserCode, "JO\xC3O");
    data::Table t("Log2612");
    t.open();
    ASSERT_EQ(t.recordCount(), 2u);
    t.next();
    EXPECT_EQ(t.fieldByName("Usuario").asString(), "JO\xC3O");
    EXPECT_EQ(t.fieldByName("Tabela").asString(), "");
    t.close();

    // A new month starts its own table.
    clock.set({2027, 1, 1, 0, 0, 1, 0});
    EXPECT_TRUE(check(1, "zeta", "ANA", "flor1"));
    EXPECT_EQ(logRecords().size(), 2u);
    EXPECT_EQ(logRecords("Log2701.DB").size(), 1u);
}

TEST_F(AccessCheckTest, CallersDescriptionIsClearedAfterEveryCheck)
{
    struct Case {
        int operation;
        std::string senha, usuario, senhaUsu;
    };
    const Case cases[] = {{99, "", "", ""},     {3, "", "", ""},         {1, "x", "", ""},
                          {1, "zeta", "X", ""}, {1, "zeta", "ANA", "x"}, {2, "dois", "", ""},
                          {1, "zeta", "ANA", "Flor1"}};
    start();
    access::AccessCheck& a = *checker;
    for (const Case& c : cases) {
        a.currentTable = "CFCABEC";
        a.currentRecord = "Nota 123";
        a.currentOperation = "E";
        check(c.operation, c.senha, c.usuario, c.senhaUsu);
        EXPECT_EQ(a.currentTable + a.currentRecord + a.currentOperation, "") << c.operation << c.senha;
    }
    // Also when a database error ends the check.
    std::filesystem::remove(dir.path() / "Usuarios.db");
    a.currentTable = "CFCABEC";
    EXPECT_THROW(check(1, "zeta", "ANA", "Flor1"), common::DatabaseError);
    EXPECT_EQ(a.currentTable, "");
    EXPECT_EQ(op.texts("password").size(), 5u); // the dialog's tables open before it shows
}

TEST_F(AccessCheckTest, UserFoundByKeyWithAndWithoutPrimaryIndex)
{
    for (bool withIndex : {true, false}) {
        SCOPED_TRACE(withIndex ? "with .PX" : "without .PX");
        usuarios(true, withIndex);
        EXPECT_EQ(px::PxTable::read(dir.path() / "Usuarios.db").info().keyFieldCount, 1);
        op.events.clear();
        EXPECT_TRUE(check(1, "zeta", "ANA", "flor1"));
        EXPECT_FALSE(check(1, "zeta", "AN", "flor1"));
        EXPECT_EQ(op.texts("message"), Strings{"Usuário não cadastrado!"});
    }
}

} // namespace
} // namespace ecf

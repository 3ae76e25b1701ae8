// The access check on real Paradox tables: the operation password, the user identification
// and the monthly access log.
#include "access/access_check.h"
#include "access/log_table.h"
#include "app/application.h"
#include "app/dm_filial.h"
#include "common/clock.h"
#include "common/errors.h"
#include "common/trace.h"
#include "data/table.h"
#include "support/scripted_operator.h"
#include "support/tables.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>

namespace ecf {
namespace {

using namespace test::px_fields;
using namespace test::px_values;
namespace px = data::px;

constexpr common::DateTime december{2026, 12, 8, 14, 30, 15, 250};

// Milliseconds of a date and time on the Paradox engine's count (1 January 0001 is day 1).
double paradoxMs(const common::DateTime& t)
{
    const px::Value day = ymd(t.year, t.month, t.day);
    return static_cast<double>(day.integer) * 86400000.0 +
           ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
}

// Turns an unkeyed table made by the engine into a keyed one on its first field, as the host
// keeps Usuarios.db; with `withIndex` also writes a primary index of one level.
void makeKeyed(const std::filesystem::path& db, int keyLength, bool withIndex)
{
    std::string bytes = test::readFile(db);
    ASSERT_GT(bytes.size(), 0x24u);
    bytes[0x04] = 0x00; // a keyed table
    bytes[0x23] = 0x01; // one key field
    test::writeFile(db, bytes);
    if (!withIndex)
        return;

    const auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    const unsigned headerSize = u16(0x02);
    const auto blockCode = static_cast<unsigned char>(bytes[0x05]);
    const std::size_t blockSize = 1024u * blockCode;
    ASSERT_GE(bytes.size(), headerSize + 6 + static_cast<std::size_t>(keyLength));
    const std::string firstKey = bytes.substr(headerSize + 6, static_cast<std::size_t>(keyLength));

    const auto recordsInBlock = u16(headerSize + 4) / u16(0) + 1;
    std::string px(2048 + blockSize, '\0');
    const auto put16 = [&](std::size_t at, unsigned v) {
        px[at] = static_cast<char>(v & 0xFF);
        px[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    put16(0x00, static_cast<unsigned>(keyLength) + 6);
    put16(0x02, 2048);
    px[0x04] = 0x01;
    px[0x05] = static_cast<char>(blockCode);
    put16(0x06, 1);     // one index record
    put16(0x0A, 1);     // blocks in use
    put16(0x0C, 1);     // blocks in the file
    put16(0x0E, 1);     // first block
    put16(0x10, 1);     // last block
    put16(0x1E, 1);     // root
    px[0x20] = 0x01;    // one level
    px[0x21] = 0x01;    // one field
    // Block 1: one record, the key of the first data block's first record.
    const std::size_t b = 2048;
    put16(b + 4, 0);
    std::memcpy(&px[b + 6], firstKey.data(), firstKey.size());
    put16(b + 6 + firstKey.size(), 1);
    put16(b + 8 + firstKey.size(), recordsInBlock);
    std::filesystem::path pxFile = db;
    pxFile.replace_extension(".PX");
    test::writeFile(pxFile, px);
}

class AccessCheckTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv env{"VANTIS_DIR", dir.path().string()};
    common::FixedClock clock{december};
    test::ScriptedOperator op;
    std::unique_ptr<app::Application> app;

    // Acesso.db: operation 1 asks for the user, 2 needs the password only, 3 is unprotected.
    void SetUp() override
    {
        test::makeTable(dir.path(), "Acesso.db",
                        {longField("Codigo"), alpha("Descricao", 40), alpha("Conteudo", 10), alpha("Inf_Usuario", 1)},
                        {{lng(1), txt("Redu\xE7\xE3o Z"), txt(" zeta  "), txt("S")},
                         {lng(2), txt("Outra opera\xE7\xE3o"), txt("Dois"), txt("N")},
                         {lng(3), txt("Livre"), txt("   "), txt("S")}});
        usuarios(false, false);
    }

    void usuarios(bool keyed, bool withIndex)
    {
        std::filesystem::remove(dir.path() / "Usuarios.db");
        std::filesystem::remove(dir.path() / "Usuarios.PX");
        // In key order, as a keyed table holds them.
        const auto file = test::makeTable(dir.path(), "Usuarios.db",
                                          {alpha("Codigo", 6), alpha("Senha", 8), alpha("Nivel", 2)},
                                          {{txt("ANA"), txt("Flor1"), txt("9")}, {txt("JOSE"), txt("abc"), txt("1")}});
        if (keyed)
            makeKeyed(file, 6, withIndex);
    }

    void start(std::shared_ptr<common::Trace> trace = nullptr)
    {
        app::Application::Options o;
        o.op = &op;
        o.trace = std::move(trace);
        o.clock = &clock;
        o.workDir = dir.path();
        app = std::make_unique<app::Application>(o);
        app->dmFilial().TAcesso.open();
    }

    bool check(int operation, std::optional<app::PasswordEntry> answer = std::nullopt)
    {
        if (!app)
            start();
        if (answer)
            op.passwordAnswers.push_back(*answer);
        return app->access().AutorizaAcesso(operation);
    }

    static app::PasswordEntry typed(std::string senha, std::string usuario = "", std::string senhaUsu = "")
    {
        return {true, std::move(senha), std::move(usuario), std::move(senhaUsu)};
    }

    std::filesystem::path logFile(const std::string& name = "Log2612.DB") const { return dir.path() / name; }
    std::size_t logRecords(const std::string& name = "Log2612.DB") const
    {
        return px::PxTable::read(logFile(name)).records().size();
    }
};

} // namespace

TEST_F(AccessCheckTest, UnprotectedOperationsPassWithoutDialog)
{
    // Absent from Acesso.db, or a password of blanks only.
    EXPECT_TRUE(check(99));
    EXPECT_TRUE(check(3));
    EXPECT_TRUE(op.events.empty());
    EXPECT_FALSE(std::filesystem::exists(logFile()));
}

TEST_F(AccessCheckTest, NullPasswordFieldPassesWithoutDialog)
{
    std::filesystem::remove(dir.path() / "Acesso.db");
    test::makeTable(dir.path(), "Acesso.db",
                    {longField("Codigo"), alpha("Descricao", 40), alpha("Conteudo", 10), alpha("Inf_Usuario", 1)},
                    {{lng(7), txt("Sem senha"), nul(), txt("S")}});
    EXPECT_TRUE(check(7));
    EXPECT_TRUE(op.events.empty());
}

TEST_F(AccessCheckTest, CancelledDialogRefusesSilently)
{
    EXPECT_FALSE(check(1)); // the scripted dialog cancels
    ASSERT_EQ(op.events.size(), 1u);
    EXPECT_EQ(op.events[0], (test::OperatorEvent{"password", "Entre com a senha 1 [user panel]", "cancel"}));
    EXPECT_EQ(logRecords(), 0u); // the month's table exists from the showing, with nothing in it
}

TEST_F(AccessCheckTest, OperationPasswordIsComparedUpperCasedAndTrimmed)
{
    struct Case {
        std::string typed;
        bool accepted;
    };
    // Stored: "Dois" for operation 2 (no user panel).
    const Case cases[] = {
        {"DOIS", true}, {"dois", true}, {"  dOiS ", true}, {"Dois", true},
        {"DOI", false}, {"DOISS", false}, {"", false}, {"D OIS", false},
    };
    start();
    for (const Case& c : cases) {
        op.events.clear();
        EXPECT_EQ(check(2, typed(c.typed)), c.accepted) << "typed '" << c.typed << "'";
        ASSERT_FALSE(op.events.empty());
        EXPECT_EQ(op.events[0].text, "Entre com a senha 2");
        EXPECT_EQ(op.texts("error"), c.accepted ? std::vector<std::string>{} : std::vector<std::string>{"Senha invalida"})
            << "typed '" << c.typed << "'";
    }
    // Without the user panel nothing is logged, and no log table is made.
    EXPECT_FALSE(std::filesystem::exists(logFile()));
    EXPECT_TRUE(app->access().currentUserCode.empty());
}

TEST_F(AccessCheckTest, StoredPasswordWithBlanksAndLowerCaseMatchesTypedUpperCase)
{
    // Operation 1 stores " zeta  ".
    EXPECT_TRUE(check(1, typed("ZETA", "ANA", "Flor1")));
}

TEST_F(AccessCheckTest, UserPanelFollowsInfUsuarioInAnyCase)
{
    std::filesystem::remove(dir.path() / "Acesso.db");
    test::makeTable(dir.path(), "Acesso.db",
                    {longField("Codigo"), alpha("Descricao", 40), alpha("Conteudo", 10), alpha("Inf_Usuario", 1)},
                    {{lng(1), txt("a"), txt("x"), txt("s")},
                     {lng(2), txt("b"), txt("x"), txt("S")},
                     {lng(3), txt("c"), txt("x"), txt("N")},
                     {lng(4), txt("d"), txt("x"), nul()}});
    start();
    for (int opNo : {1, 2, 3, 4})
        check(opNo);
    EXPECT_EQ(op.texts("password"),
              (std::vector<std::string>{"Entre com a senha 1 [user panel]", "Entre com a senha 2 [user panel]",
                                        "Entre com a senha 3", "Entre com a senha 4"}));
}

TEST_F(AccessCheckTest, UserIdentificationFailures)
{
    struct Case {
        std::string usuario, senhaUsu, message;
    };
    const Case cases[] = {
        {"MARIA", "Flor1", "Usuário não cadastrado!"},
        {"ana", "Flor1", "Usuário não cadastrado!"}, // the code is matched exactly
        {"", "", "Usuário não cadastrado!"},
        {"ANA", "Flor2", "A senha do usuário é inválida!"},
        {"ANA", " Flor1", "A senha do usuário é inválida!"}, // user passwords are not trimmed
        {"ANA", "Flor1 ", "A senha do usuário é inválida!"},
        {"ANA", "", "A senha do usuário é inválida!"},
    };
    start();
    for (const Case& c : cases) {
        op.events.clear();
        EXPECT_FALSE(check(1, typed("zeta", c.usuario, c.senhaUsu))) << c.usuario << "/" << c.senhaUsu;
        EXPECT_EQ(op.texts("message"), std::vector<std::string>{c.message}) << c.usuario << "/" << c.senhaUsu;
        EXPECT_TRUE(op.texts("error").empty());
    }
    EXPECT_EQ(logRecords(), 0u);
    EXPECT_TRUE(app->access().currentUserCode.empty());
    EXPECT_TRUE(app->access().currentUserLevel.empty());
}

TEST_F(AccessCheckTest, WrongOperationPasswordIsRefusedBeforeTheUser)
{
    EXPECT_FALSE(check(1, typed("zetta", "ANA", "Flor1")));
    EXPECT_EQ(op.texts("error"), std::vector<std::string>{"Senha invalida"});
    EXPECT_TRUE(op.texts("message").empty());
    EXPECT_EQ(logRecords(), 0u);
}

TEST_F(AccessCheckTest, IdentifiedCheckCreatesTheMonthsLogAndAppends)
{
    EXPECT_TRUE(check(1, typed("zeta", "ANA", "fLOR1"))); // user passwords in any letter case
    EXPECT_TRUE(op.texts("error").empty());
    EXPECT_TRUE(op.texts("message").empty());
    EXPECT_EQ(app->access().currentUserCode, "ANA");
    EXPECT_EQ(app->access().currentUserLevel, "9");

    // The structure, as another Paradox reader sees it.
    const px::PxTable log = px::PxTable::read(logFile());
    const std::vector<std::pair<std::string, px::FieldType>> expected = {
        {"DataHora", px::FieldType::Timestamp}, {"Tabela", px::FieldType::Alpha},  {"Acesso", px::FieldType::Alpha},
        {"Registro", px::FieldType::Alpha},     {"Operacao", px::FieldType::Alpha}, {"Usuario", px::FieldType::Alpha}};
    const int sizes[] = {8, 20, 30, 100, 1, 6};
    ASSERT_EQ(log.fields().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(log.fields()[i].name, expected[i].first);
        EXPECT_EQ(log.fields()[i].type, expected[i].second);
        EXPECT_EQ(log.fields()[i].size, sizes[i]);
    }
    ASSERT_EQ(log.records().size(), 1u);
    const px::Record& r = log.records()[0];
    EXPECT_EQ(r[0].kind, px::Value::Kind::Timestamp);
    EXPECT_DOUBLE_EQ(r[0].real, paradoxMs(december));
    EXPECT_TRUE(r[1].isNull() || r[1].bytes.empty());
    EXPECT_EQ(r[2].bytes, "Redu\xE7\xE3o Z");
    EXPECT_TRUE(r[3].isNull() || r[3].bytes.empty());
    EXPECT_TRUE(r[4].isNull() || r[4].bytes.empty());
    EXPECT_EQ(r[5].bytes, "ANA");

    // A later check of the month appends; the user identified last is kept.
    clock.set({2026, 12, 31, 23, 59, 59, 0});
    EXPECT_TRUE(check(1, typed("ZETA", "JOSE", "ABC")));
    EXPECT_EQ(logRecords(), 2u);
    EXPECT_EQ(app->access().currentUserCode, "JOSE");

    // Through the table component as well.
    data::Table t("Log2612");
    t.open();
    std::vector<std::string> users;
    for (; !t.eof(); t.next())
        users.push_back(t.fieldByName("Usuario").asString());
    t.close();
    EXPECT_EQ(users, (std::vector<std::string>{"ANA", "JOSE"}));

    // A new month starts its own table.
    clock.set({2027, 1, 1, 0, 0, 1, 0});
    EXPECT_TRUE(check(1, typed("zeta", "ANA", "flor1")));
    EXPECT_EQ(logRecords(), 2u);
    EXPECT_EQ(logRecords("Log2701.DB"), 1u);
}

TEST_F(AccessCheckTest, AppendsToTheHostsExistingLogTable)
{
    test::makeTable(dir.path(), "LOG2612.DB", access::logTableFields(),
                    {{nul(), txt("CFCABEC"), txt("Outra"), txt("reg"), txt("A"), txt("JOSE")}});
    EXPECT_TRUE(check(1, typed("zeta", "ANA", "Flor1")));
    const px::PxTable log = px::PxTable::read(dir.path() / "LOG2612.DB");
    ASSERT_EQ(log.records().size(), 2u);
    EXPECT_EQ(log.records()[1][5].bytes, "ANA");
    EXPECT_FALSE(std::filesystem::exists(logFile())); // matched case-insensitively, not made twice
}

TEST_F(AccessCheckTest, CallersDescriptionIsLoggedAndClearedAfterEveryCheck)
{
    start();
    access::AccessCheck& a = app->access();
    const auto describe = [&] {
        a.currentTable = "CFCABEC";
        a.currentRecord = "Nota 123";
        a.currentOperation = "E";
    };
    const auto cleared = [&] { return a.currentTable.empty() && a.currentRecord.empty() && a.currentOperation.empty(); };

    describe();
    EXPECT_TRUE(check(99)); // not in Acesso.db
    EXPECT_TRUE(cleared());
    describe();
    EXPECT_TRUE(check(3)); // blank password
    EXPECT_TRUE(cleared());
    describe();
    EXPECT_FALSE(check(1)); // cancelled
    EXPECT_TRUE(cleared());
    describe();
    EXPECT_FALSE(check(1, typed("x"))); // wrong password
    EXPECT_TRUE(cleared());
    describe();
    EXPECT_FALSE(check(1, typed("zeta", "NOBODY", "x")));
    EXPECT_TRUE(cleared());
    describe();
    EXPECT_FALSE(check(1, typed("zeta", "ANA", "x")));
    EXPECT_TRUE(cleared());
    describe();
    EXPECT_TRUE(check(2, typed("dois")));
    EXPECT_TRUE(cleared());
    describe();
    EXPECT_TRUE(check(1, typed("zeta", "ANA", "Flor1")));
    EXPECT_TRUE(cleared());

    const px::PxTable log = px::PxTable::read(logFile());
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0][1].bytes, "CFCABEC");
    EXPECT_EQ(log.records()[0][3].bytes, "Nota 123");
    EXPECT_EQ(log.records()[0][4].bytes, "E");
}

TEST_F(AccessCheckTest, LongTextsAreCutToTheLogFields)
{
    std::filesystem::remove(dir.path() / "Acesso.db");
    const std::string longDescr(40, 'D');
    test::makeTable(dir.path(), "Acesso.db",
                    {longField("Codigo"), alpha("Descricao", 40), alpha("Conteudo", 10), alpha("Inf_Usuario", 1)},
                    {{lng(1), txt(longDescr), txt("x"), txt("S")}});
    start();
    app->access().currentTable = std::string(25, 'T');
    app->access().currentRecord = std::string(120, 'R');
    app->access().currentOperation = "IA";
    EXPECT_TRUE(check(1, typed("x", "ANA", "Flor1")));
    const px::PxTable log = px::PxTable::read(logFile());
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0][1].bytes, std::string(20, 'T'));
    EXPECT_EQ(log.records()[0][2].bytes, std::string(30, 'D'));
    EXPECT_EQ(log.records()[0][3].bytes, std::string(100, 'R'));
    EXPECT_EQ(log.records()[0][4].bytes, "I");
}

TEST_F(AccessCheckTest, UserFoundByKeyWithAndWithoutPrimaryIndex)
{
    for (bool withIndex : {true, false}) {
        SCOPED_TRACE(withIndex ? "with .PX" : "without .PX");
        usuarios(true, withIndex);
        EXPECT_EQ(px::PxTable::read(dir.path() / "Usuarios.db").info().keyFieldCount, 1);
        op.events.clear();
        EXPECT_TRUE(check(1, typed("zeta", "JOSE", "abc")));
        EXPECT_FALSE(check(1, typed("zeta", "JOS", "abc")));
        EXPECT_EQ(op.texts("message"), std::vector<std::string>{"Usuário não cadastrado!"});
    }
}

TEST_F(AccessCheckTest, TypedTextsAreConvertedToTheTablesCodePage)
{
    std::filesystem::remove(dir.path() / "Usuarios.db");
    test::makeTable(dir.path(), "Usuarios.db", {alpha("Codigo", 6), alpha("Senha", 8), alpha("Nivel", 2)},
                    {{txt("JO\xC3O"), txt("ma\xE7\xE3"), txt("1")}}); // JOÃO / maçã in code page 1252
    EXPECT_TRUE(check(1, typed("zeta", "JOÃO", "MAÇÃ")));
    EXPECT_EQ(app->access().currentUserCode, "JO\xC3O");
}

TEST_F(AccessCheckTest, PasswordsNeverReachTheTrace)
{
    const auto traceFile = dir.path() / "trace.jsonl";
    start(std::make_shared<common::Trace>(traceFile.string()));
    EXPECT_TRUE(check(1, typed("zeta", "ANA", "Flor1")));
    EXPECT_FALSE(check(1, typed("wrongpw", "ANA", "Flor1")));
    EXPECT_FALSE(check(1, typed("zeta", "ANA", "badpass")));
    const std::string trace = test::readFile(traceFile);
    EXPECT_NE(trace.find("Entre com a senha 1"), std::string::npos);
    for (const char* secret : {"zeta", "Flor1", "wrongpw", "badpass"})
        EXPECT_EQ(trace.find(secret), std::string::npos) << secret;
}

TEST_F(AccessCheckTest, MissingUserTableEndsTheCheckWithADatabaseError)
{
    std::filesystem::remove(dir.path() / "Usuarios.db");
    start();
    app->access().currentTable = "X";
    EXPECT_THROW(check(1, typed("zeta", "ANA", "Flor1")), common::DatabaseError);
    EXPECT_TRUE(op.texts("password").empty()); // the dialog's tables are opened before it shows
    EXPECT_TRUE(app->access().currentTable.empty());
    // Unprotected operations do not need it.
    EXPECT_TRUE(check(3));
}

TEST(AccessLogTable, MonthAndTimestamp)
{
    EXPECT_EQ(access::logMonth({2026, 12, 31, 23, 59, 59, 0}), "2612");
    EXPECT_EQ(access::logMonth({2000, 1, 1, 0, 0, 0, 0}), "0001");
    EXPECT_EQ(access::logTableName("2701"), "Log2701");
    // 1 January 0001 at noon: day 1 on the engine's count.
    EXPECT_DOUBLE_EQ(access::paradoxTimestamp({1, 1, 1, 12, 0, 0, 0}).real, 86400000.0 + 43200000.0);
    const common::DateTime t{2024, 2, 29, 8, 5, 3, 7};
    EXPECT_DOUBLE_EQ(access::paradoxTimestamp(t).real, paradoxMs(t));
}

} // namespace ecf

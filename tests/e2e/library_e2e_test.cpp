// ecf-cli with a family's maker library (the tests' stand-ins) in the helper process: a library
// that fails in the middle of a coupon, or cannot be loaded at start-up, is shown, reported with
// exit status 3, and the pending coupon stays in the hand-off tables (or, once the printer has
// taken part of it, in a saved copy).
#include "cli_fixture.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace ecf;

std::string standIn(const std::string& family)
{
    return (fs::path(ECF_STAND_INS_DIR) / ("libstandin_" + family + ".so")).string();
}

struct CliRun : test::CliRun {
    std::string trace; // this run's trace alone
};

class LibraryCliTest : public test::CliTest {
protected:
    // Every question answered Yes unless told otherwise.
    CliRun cli(const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env = {},
            const std::string& input = "sim\nsim\nsim\n")
    {
        fs::remove(trace());
        CliRun r;
        static_cast<test::CliRun&>(r) = test::CliTest::cli(args, input, env);
        if (fs::exists(trace()))
            r.trace = test::readFile(trace());
        return r;
    }

    std::size_t records(const char* table) { return data::px::PxTable::read(db() / table).records().size(); }
};

TEST_F(LibraryCliTest, StartUpSaysWhichSourceServes)
{
    makeDemo("DARUMA345");
    CliRun r = cli({"x-reading"}, {{"ECF_LIB_DARUMA", standIn("daruma")}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("ecf-cli: impressora daruma: biblioteca " + standIn("daruma") + "\n"), std::string::npos);
    EXPECT_NE(r.trace.find(R"({"ev":"printer","family":"daruma","source":"library","library":")" + standIn("daruma") +
                           R"(","host":"native"})"),
              std::string::npos);

    r = cli({"x-reading"});
    EXPECT_NE(r.err.find("ecf-cli: impressora daruma: emulador\n"), std::string::npos);
    EXPECT_NE(r.trace.find(R"({"ev":"printer","family":"daruma","source":"emulator"})"), std::string::npos);
}

TEST_F(LibraryCliTest, LibraryFailingMidCouponKeepsThePendingCoupon)
{
    struct Case {
        const char* model;
        const char* variable;
        const char* family;
        const char* fault;
        const char* shown;
    };
    const Case cases[] = {
        {"BEMAFI32", "ECF_LIB_BEMAFI32", "bemafi32", "crash:Bematech_FI_VendeItem:2", "(o programa auxiliar terminou)"},
        {"SCHALTER30", "ECF_LIB_SCHALTER", "schalter", "hang:ecfVenda_Item:2", "(sem resposta em 1 s)"},
        {"SWEDA", "ECF_LIB_SWEDA", "sweda", "overflow:SwedaRead:3", "(escreveu além do buffer de SwedaRead)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        fs::remove_all(db());
        fs::remove_all(dir.path() / "state"); // the journal of the case before
        makeDemo(c.model);
        const CliRun r = cli({"print"}, {{c.variable, standIn(c.family)}, {"STANDIN_FAULT", c.fault},
                                      {"ECF_LIB_TIMEOUT", "1"}});
        EXPECT_EQ(r.status, 3) << r.out << r.err;
        EXPECT_NE(r.out.find("[error] A biblioteca da impressora fiscal \"" + standIn(c.family) + "\""),
                  std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
        EXPECT_NE(r.err.find("ecf-cli: not done: A biblioteca da impressora fiscal"), std::string::npos) << r.err;
        const bool kept = records("CFCABEC.DB") == 1 && records("CFITENS.DB") == 4;
        const bool saved = r.trace.find(R"({"ev":"saved")") != std::string::npos;
        EXPECT_TRUE(kept || saved) << r.trace;
    }
}

TEST_F(LibraryCliTest, UnusableLibraryEndsStartUpBeforeAnythingIsSent)
{
    makeDemo("BEMATECH");
    const std::string missing = (dir.path() / "Mp20fi32.so").string();
    struct Case {
        std::vector<std::pair<std::string, std::string>> env;
        std::string shown;
    };
    const Case cases[] = {
        {{{"ECF_LIB_MP20", missing}}, "Biblioteca da impressora fiscal não encontrada: \"" + missing + "\""},
        {{{"ECF_LIB_MP20", standIn("partial")}}, "não tem a função FormataTX"},
    };
    for (const Case& c : cases) {
        const CliRun r = cli({"print"}, c.env);
        EXPECT_EQ(r.status, 3) << r.out << r.err;
        EXPECT_NE(r.out.find("[error] "), std::string::npos);
        EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
        EXPECT_EQ(r.trace.find(R"("ev":"call")"), std::string::npos) << "nothing is sent";
        EXPECT_EQ(records("CFCABEC.DB"), 1u);
        EXPECT_EQ(records("CFITENS.DB"), 4u);
    }

    // The Sigtron control is a Windows component: a Linux file in its place is refused at start-up.
    fs::remove_all(db());
    makeDemo("FS345");
    const CliRun r = cli({"print"}, {{"ECF_LIB_SIGTRON", standIn("daruma")}});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("não é um arquivo do Windows"), std::string::npos) << r.out;
    EXPECT_EQ(r.trace.find(R"("ev":"call")"), std::string::npos);
    EXPECT_EQ(records("CFITENS.DB"), 4u);
}

TEST_F(LibraryCliTest, TimeoutThatIsNotWholeSecondsStopsTheStart)
{
    makeDemo("DARUMA345");
    for (const char* value : {"0.5", "0", "-3", "abc", ""}) {
        const CliRun r = cli({"x-reading"}, {{"ECF_LIB_TIMEOUT", value}});
        EXPECT_EQ(r.status, 1) << value;
        EXPECT_NE(r.err.find(std::string("ECF_LIB_TIMEOUT=\"") + value + "\" não vale"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(trace()) && r.trace.find(R"("ev":"call")") != std::string::npos);
    }
}

// Whether a helper process (its command line names `library`) is running.
bool helperRunning(const fs::path& library)
{
    for (const auto& p : fs::directory_iterator("/proc")) {
        std::string cmdline = test::readFile(p.path() / "cmdline");
        std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
        if (cmdline.find(library.string()) != std::string::npos && cmdline.find("ecf-maker-host") != std::string::npos)
            return true;
    }
    return false;
}

// Runs `ecf-cli print` with `env` in the background, waits for its helper to hang in a call
// (the trace has the call `before` it), kills the program and tells whether the helper ended
// with it.
bool helperEndsWithTheProgram(const fs::path& db, const fs::path& state, const fs::path& library,
                              const std::string& env, const std::string& before)
{
    const fs::path trace = state.parent_path() / "hang.jsonl";
    const std::string cmd = "cd " + test::quote(db.string()) + "; printf 'sim\\nsim\\nsim\\n' | env VANTIS_DIR=" +
                            test::quote(db.string()) + " ECF_STATE_DIR=" + test::quote(state.string()) + " ECF_TRACE=" + test::quote(trace.string()) + " " + env +
                            " ECF_LIB_TIMEOUT=600 " + test::quote(ECF_CLI_PATH) + " print >/dev/null 2>&1 & echo $!";
    FILE* f = ::popen(cmd.c_str(), "r");
    int pid = 0;
    if (!f || std::fscanf(f, "%d", &pid) != 1)
        return false;
    ::pclose(f);
    for (int i = 0; i < 400 && !(fs::exists(trace) && test::readFile(trace).find(before) != std::string::npos); ++i)
        ::usleep(50'000);
    ::usleep(300'000); // into the hanging call
    if (!helperRunning(library))
        return false;
    ::kill(pid, SIGKILL);
    for (int i = 0; i < 100; ++i) {
        if (!helperRunning(library))
            return true;
        ::usleep(50'000);
    }
    return false;
}

// The helper dies with the program, even while it hangs in a call.
TEST_F(LibraryCliTest, HelperEndsWithTheProgram)
{
    makeDemo("SCHALTER30");
    const fs::path lib = dir.path() / "libstandin_only_here.so"; // a name only this helper has
    fs::copy_file(standIn("schalter"), lib);
    EXPECT_TRUE(helperEndsWithTheProgram(db(), state(), lib,
                                         "ECF_LIB_SCHALTER=" + test::quote(lib.string()) +
                                             " STANDIN_FAULT=hang:ecfVenda_Item",
                                         "ecfImpCab"));
}

#ifdef ECF_WINDOWS_STAND_INS_DIR
// The makers' Windows libraries (the Windows stand-ins) in the Windows helper under Wine: the
// same failures end the same way, and what Wine itself lacks is named at start-up.
class WineCliTest : public LibraryCliTest {
protected:
    void SetUp() override
    {
        if (std::system("command -v wine >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "Wine is not installed";
    }
    static std::string windowsStandIn(const std::string& file)
    {
        return (fs::path(ECF_WINDOWS_STAND_INS_DIR) / file).string();
    }
    // One prefix for all the cases, made by the program itself on the first.
    static std::pair<std::string, std::string> prefix()
    {
        return {"WINEPREFIX", (fs::path(ECF_WINDOWS_STAND_INS_DIR) / "wine-prefix").string()};
    }
};

TEST_F(WineCliTest, LibraryFailingMidCouponKeepsThePendingCoupon)
{
    struct Case {
        const char* model;
        const char* variable;
        const char* file;
        const char* fault;
        const char* shown;
    };
    const Case cases[] = {
        {"BEMAFI32", "ECF_LIB_BEMAFI32", "BEMAFI32.DLL", "crash:Bematech_FI_VendeItem:2", "(o programa auxiliar terminou)"},
        {"SCHALTER30", "ECF_LIB_SCHALTER", "dll32phi.dll", "hang:ecfVenda_Item:2", "(sem resposta em 3 s)"},
        {"SWEDA", "ECF_LIB_SWEDA", "SWECF.DLL", "overflow:SwedaRead:3", "(escreveu além do buffer de SwedaRead)"},
        {"FS345", "ECF_LIB_SIGTRON", "TSigDrCm.ocx", "crash:SetParameter:10", "(o programa auxiliar terminou)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        fs::remove_all(db());
        fs::remove_all(state());
        makeDemo(c.model);
        const CliRun r = cli({"print"}, {{c.variable, windowsStandIn(c.file)}, {"STANDIN_FAULT", c.fault},
                                      {"ECF_LIB_TIMEOUT", "3"}, prefix()});
        EXPECT_EQ(r.status, 3) << r.out << r.err;
        EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
        EXPECT_NE(r.trace.find(R"("host":"wine")"), std::string::npos);
        const bool kept = records("CFCABEC.DB") == 1 && records("CFITENS.DB") == 4;
        EXPECT_TRUE(kept || r.trace.find(R"({"ev":"saved")") != std::string::npos) << r.trace;
    }
}

TEST_F(WineCliTest, UnusableLibraryOrWineEndsStartUpBeforeAnythingIsSent)
{
    // A 64-bit Windows library: only its headers are read.
    const fs::path dll64 = dir.path() / "Mp20fi64.dll";
    std::string pe(0x90, '\0');
    pe[0] = 'M', pe[1] = 'Z', pe[0x3c] = 0x80;
    pe.replace(0x80, 6, std::string("PE\0\0\x64\x86", 6));
    test::writeFile(dll64, pe);
    // Wine without its 32-bit part, as Debian's wine says it.
    const fs::path wine64 = dir.path() / "wine64-only";
    test::writeFile(wine64, "#!/bin/sh\necho 'it looks like wine32 is missing, you should install it.' >&2\nexit 1\n");
    fs::permissions(wine64, fs::perms::owner_all);

    struct Case {
        const char* model;
        std::vector<std::pair<std::string, std::string>> env;
        std::string shown;
    };
    const Case cases[] = {
        {"BEMATECH", {{"ECF_LIB_MP20", windowsStandIn("partial.dll")}}, "não tem a função FormataTX"},
        {"SWEDA", {{"ECF_LIB_SWEDA", windowsStandIn("sweda_partial.dll")}}, "não tem a função SwedaRead (ordinal 4)"},
        {"BEMATECH", {{"ECF_LIB_MP20", dll64.string()}}, "biblioteca do Windows de 64 bits"},
        {"BEMATECH", {{"ECF_LIB_MP20", windowsStandIn("Mp20fi32.dll")}, {"ECF_WINE", "/nonexistent/wine"}},
         "apt-get install wine wine32:i386"},
        {"BEMATECH", {{"ECF_LIB_MP20", windowsStandIn("Mp20fi32.dll")}, {"ECF_WINE", wine64.string()}},
         "instale o pacote wine32"},
        {"FS345", {{"ECF_LIB_SIGTRON", windowsStandIn("TSigDrCm.ocx")}, {"STANDIN_FAULT", "refuse:CreateInstance"}},
         "o controle não foi criado"},
        {"FS300", {{"ECF_LIB_SIGTRON", "{E082E834-EA7F-11D0-86A4-000044022A8A}"}}, "classe não registrada no Wine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        fs::remove_all(db());
        makeDemo(c.model);
        auto env = c.env;
        env.push_back(prefix());
        const CliRun r = cli({"print"}, env);
        EXPECT_EQ(r.status, 3) << r.out << r.err;
        EXPECT_NE(r.out.find("[error] "), std::string::npos);
        EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
        EXPECT_EQ(r.trace.find(R"("ev":"call")"), std::string::npos) << "nothing is sent";
        EXPECT_EQ(records("CFITENS.DB"), 4u);
    }
}
// A control sold with a runtime license is created with ECF_SIGTRON_LICENSE, and only with it.
TEST_F(WineCliTest, LicensedControlGetsItsKey)
{
    makeDemo("FS345");
    const std::pair<std::string, std::string> control{"ECF_LIB_SIGTRON", windowsStandIn("TSigDrCm.ocx")};
    const std::pair<std::string, std::string> license{"STANDIN_LICENSE", "CHAVE-123"};
    CliRun r = cli({"x-reading"}, {control, license, prefix(), {"ECF_SIGTRON_LICENSE", "CHAVE-123"}});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.trace.find(R"("fn":"Open","args":[],"ret":true)"), std::string::npos) << r.trace;

    r = cli({"x-reading"}, {control, license, prefix()});
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_NE(r.out.find("o controle não foi criado"), std::string::npos) << r.out;
}

TEST_F(WineCliTest, HelperEndsWithTheProgram)
{
    makeDemo("DARUMA345");
    const fs::path lib = dir.path() / "Daruma32.dll"; // a path only this helper has
    fs::copy_file(windowsStandIn("Daruma32.dll"), lib);
    EXPECT_TRUE(helperEndsWithTheProgram(db(), state(), lib,
                                         "WINEPREFIX=" + test::quote(prefix().second) + " ECF_LIB_DARUMA=" +
                                             test::quote(lib.string()) + " STANDIN_FAULT=hang:Daruma_FI_VendeItem",
                                         "Daruma_FI_AbreCupom"));
}
#endif

} // namespace

// ecf-cli run as a program on a demo database made in a temp folder.
#include "cli_fixture.h"
#include "support/tables.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace ecf;
using nlohmann::json;
using test::CliRun;
using test::CliTest;

TEST_F(CliTest, UsageErrorsEndWithTwoAndTheUsageText)
{
    const std::vector<std::vector<std::string>> bad{
        {}, {"bogus"}, {"print", "extra"}, {"fiscal-memory", "01/01/2024"}, {"make-demo"}, {"x-reading", "1"},
        {"make-demo", "d", "--model"}, {"make-demo", "d", "--model", "fs345"}, {"show-trace"}};
    for (const auto& args : bad) {
        SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
        const CliRun r = cli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: ecf-cli"), std::string::npos);
    }
    const CliRun help = cli({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("exit status"), std::string::npos);
    EXPECT_NE(help.out.find("ECF_DRIVE_C"), std::string::npos);
    EXPECT_EQ(cli({"version"}).status, 0);
}

TEST_F(CliTest, PrintsTheDemoCouponOnEveryModel)
{
    const std::vector<std::pair<std::string, std::string>> models{
        {"SCHALTER2", "schalter"}, {"SCHALTER30", "schalter"}, {"FS345", "sigtron"}, {"FS300", "sigtron"},
        {"BEMATECH", "mp20"},      {"SWEDA", "sweda"},         {"DARUMA345", "daruma"}, {"FS600", "daruma"},
        {"BEMAFI32", "bemafi32"},  {"MP2100", "bemafi32"}};
    for (const auto& [model, family] : models) {
        SCOPED_TRACE(model);
        fs::remove_all(db());
        fs::remove_all(state()); // the same coupon key in the same folder would count as printed
        fs::remove(trace());
        makeDemo(model);
        const CliRun r = cli({"print"}, "sim\nsim\n");
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        const auto calls = test::readCalls(trace());
        EXPECT_GT(calls.size(), 3u);
        for (const auto& c : calls)
            EXPECT_EQ(c.value("family", ""), family) << c.dump();
        EXPECT_EQ(uiLines("main").size(), 1u);
        EXPECT_TRUE(uiLines("exception").empty());
        EXPECT_EQ(records("CFCABEC.DB"), 0u);
        EXPECT_EQ(records("CFITENS.DB"), 0u);
    }
}

TEST_F(CliTest, ConfirmationAnswersComeFromStandardInput)
{
    makeDemo("BEMAFI32");
    const std::vector<std::pair<std::string, std::string>> answers{
        {"n\n", "no"}, {"SIM\r\n", "yes"}, {"N\xC3\x83O\n", "no"}, {"", "close"}, {"\n", "close"}, {"close\n", "close"},
        {"talvez\nsim\n", "yes"}, {"a\nb\nc\nsim\n", "close"}}; // not understood: asked again, three times
    for (const auto& [input, answer] : answers) {
        SCOPED_TRACE(answer + " from " + input);
        fs::remove(trace());
        const CliRun r = cli({"x-reading"}, input);
        EXPECT_EQ(r.status, answer == "yes" ? 0 : 3) << r.out << r.err;
        const auto confirms = uiLines("confirm");
        ASSERT_EQ(confirms.size(), 1u);
        EXPECT_EQ(confirms[0]["answer"], answer);
    }
}

TEST_F(CliTest, PasswordLinesAreReadButNeverShown)
{
    makeDemo("BEMAFI32");
    CliRun r = cli({"z-reduction"}, "segredo\n1\nsenha1\nsim\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    auto pw = uiLines("password");
    ASSERT_EQ(pw.size(), 1u);
    EXPECT_EQ(pw[0]["user_panel"], true);
    EXPECT_EQ(pw[0]["answer"], "ok");
    const std::string raw = test::readFile(trace());
    for (const std::string& text : {r.out, raw}) {
        EXPECT_EQ(text.find("segredo"), std::string::npos);
        EXPECT_EQ(text.find("senha1"), std::string::npos);
    }

    // End of input inside the dialog cancels it; nothing more is asked.
    fs::remove(trace());
    r = cli({"z-reduction"}, "segredo\n");
    EXPECT_EQ(r.status, 3);
    pw = uiLines("password");
    ASSERT_EQ(pw.size(), 1u);
    EXPECT_EQ(pw[0]["answer"], "cancel");
    EXPECT_TRUE(uiLines("confirm").empty());
}

TEST_F(CliTest, ErrorsGiveStatusOne)
{
    makeDemo("BEMAFI32");
    // A canned-results file that is not JSON stops the program before anything runs.
    test::writeFile(dir.path() / "canned.json", "{not json");
    CliRun r = cli({"print"}, "", {{"ECF_EMULATOR", (dir.path() / "canned.json").string()}});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("canned.json"), std::string::npos);
    EXPECT_EQ(records("CFCABEC.DB"), 1u);

    // An error that ends start-up is shown and the command reports it; the coupon is kept.
    fs::remove(db() / "Filial.DB");
    using namespace test::px_fields;
    using namespace test::px_values;
    test::makeTable(db(), "Filial.DB", {alpha("FatModNf", 5), alpha("PortaEcf", 5), alpha("ModeloEcf", 10)},
                    {{txt("abc"), txt("1"), txt("BEMAFI32")}});
    r = cli({"print"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("[exception]"), std::string::npos);
    EXPECT_EQ(records("CFCABEC.DB"), 1u);
    EXPECT_EQ(records("CFITENS.DB"), 4u);
}

TEST_F(CliTest, MakeDemoNeverOverwritesATable)
{
    makeDemo("BEMAFI32");
    const std::string before = test::readFile(db() / "CFCABEC.DB");
    const CliRun r = cli({"make-demo", db().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(test::readFile(db() / "CFCABEC.DB"), before);
    const CliRun model = cli({"show-model", db().string()});
    EXPECT_EQ(model.status, 0);
    EXPECT_EQ(model.out, "BEMAFI32\n");
}

TEST_F(CliTest, MakeDemoWarnsOfACodeOfNoFamily)
{
    const CliRun r = cli({"make-demo", db().string(), "--model", "FOO"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("FOO is not a model code"), std::string::npos) << r.err;
    // The hint names a program that runs from anywhere, in the database's folder.
    EXPECT_NE(r.out.find("/ecf-cli print --show-paper"), std::string::npos) << r.out;
}

// The tape is paper 48 columns wide: banners are built to fit and a longer line goes on in the
// next, on every family's coupon, X reading, Z reduction, cancel and fiscal-memory reading.
TEST_F(CliTest, EveryFamilysTapeFitsThePaper)
{
    const auto tapeLines = [](const std::string& out) {
        std::vector<std::string> lines;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("| ", 0) == 0)
                lines.push_back(line.substr(2));
        return lines;
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs{
        {{"print"}, "sim\nsim\n"},
        {{"x-reading"}, "sim\nsegredo\n1\nsenha1\n"},
        {{"cancel-last"}, "sim\nsegredo\n1\nsenha1\n"},
        {{"fiscal-memory", "01/12/2026", "09/12/2026"}, "sim\nsegredo\n1\nsenha1\n"},
        {{"z-reduction"}, "segredo\n1\nsenha1\nsim\n"}};
    for (const std::string model : {"SCHALTER2", "FS345", "BEMATECH", "SWEDA", "DARUMA345", "BEMAFI32"}) {
        fs::remove_all(db());
        fs::remove_all(state());
        makeDemo(model);
        for (auto [args, input] : runs) {
            SCOPED_TRACE(model + " " + args.front());
            args.push_back("--show-paper");
            const CliRun r = cli(args, input);
            const auto lines = tapeLines(r.out);
            // Only some families have a fiscal-memory reading.
            EXPECT_TRUE(!lines.empty() || args.front() == "fiscal-memory") << r.out << r.err;
            for (const std::string& line : lines) {
                std::size_t columns = 0;
                for (unsigned char c : line)
                    columns += (c & 0xC0) != 0x80;
                EXPECT_LE(columns, 48u) << line;
            }
            // The coupon's total and payment carry their amounts.
            if (args.front() != "print")
                continue;
            for (const char* word : {"TOTAL", "SUBTOTAL", "PAGAMENTO"})
                for (const std::string& line : lines)
                    if (line.rfind(word, 0) == 0) {
                        EXPECT_NE(line.find_first_of("0123456789"), std::string::npos) << line;
                    }
        }
    }
}

TEST_F(CliTest, PaperTapeAndReadableTrace)
{
    makeDemo("BEMATECH");
    const CliRun r = cli({"print", "--show-paper"}, "n\nn\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("== paper tape"), std::string::npos);

    const CliRun shown = cli({"show-trace", trace().string()});
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("mp20 FormataTX(\"<ESC>|71|Dinheiro|<ESC>\") -> 0"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("ui main: Label1 \"000000\""), std::string::npos);
    EXPECT_EQ(shown.out.find('\x1b'), std::string::npos);

    // The program's other lines are read too.
    test::writeFile(dir.path() / "other.jsonl",
                    "{\"ev\":\"printer\",\"family\":\"daruma\",\"source\":\"emulator\"}\n"
                    "{\"ev\":\"saved\",\"id\":\"20261201-100000\",\"path\":\"/s/20261201-100000\"}\n"
                    "{\"ev\":\"pause\",\"family\":\"bemafi32\",\"ms\":12,\"asked\":10}\n");
    const CliRun other = cli({"show-trace", (dir.path() / "other.jsonl").string()});
    EXPECT_EQ(other.status, 0);
    EXPECT_EQ(other.out, "printer daruma: emulator\nsaved coupon 20261201-100000 in \"/s/20261201-100000\"\n"
                         "pause bemafi32: 12 ms (asked 10)\n");

    test::writeFile(dir.path() / "broken.jsonl", "{\"ev\":\"call\"}\nnot json\n");
    EXPECT_EQ(cli({"show-trace", (dir.path() / "broken.jsonl").string()}).status, 1);
    EXPECT_EQ(cli({"show-trace", (dir.path() / "missing.jsonl").string()}).status, 1);
}

} // namespace

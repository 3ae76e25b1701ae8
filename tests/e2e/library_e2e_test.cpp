// ecf-cli with a family's maker library (the tests' stand-ins) in the helper process: a library
// that fails in the middle of a coupon, or cannot be loaded at start-up, is shown, reported with
// exit status 3, and the pending coupon stays in the hand-off tables (or, once the printer has
// taken part of it, in a saved copy).
#include "cli_fixture.h"

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

    // The Sigtron control has no Linux form: asked for without the emulator, start-up says so.
    fs::remove_all(db());
    makeDemo("FS345");
    const CliRun r = cli({"print"}, {{"ECF_LIB_SIGTRON", "/opt/sigtron/TSigDrCm"}});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("não tem forma para Linux"), std::string::npos) << r.out;
    EXPECT_EQ(r.trace.find(R"("ev":"call")"), std::string::npos);
    EXPECT_EQ(records("CFITENS.DB"), 4u);
}

} // namespace

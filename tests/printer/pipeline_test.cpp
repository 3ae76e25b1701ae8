// The call pipeline: canned results, their validation, and the trace lines.
#include "common/errors.h"
#include "common/trace.h"
#include "printer/canned.h"
#include "printer/pipeline.h"
#include "support/test_support.h"
#include "support/trace_reader.h"

#include <gtest/gtest.h>

using namespace ecf;
using printer::CallPipeline;
using printer::CallRecord;
using printer::CannedResults;

TEST(CannedResults, EntriesAreTakenInOrderUntilUsedUp)
{
    auto canned = CannedResults::parse(
        R"({"calls": {"FormataTX": [{"ret": 5, "times": 2}, {"ret": 7}], "Open": [{"ret": false, "times": "always"}]}})",
        "t.json");
    EXPECT_EQ(canned->take("FormataTX")->resultCode(0), 5);
    EXPECT_EQ(canned->take("FormataTX")->resultCode(0), 5);
    EXPECT_EQ(canned->take("FormataTX")->resultCode(0), 7);
    EXPECT_EQ(canned->take("FormataTX"), nullptr);
    for (int i = 0; i < 1000; ++i)
        ASSERT_FALSE(canned->take("Open")->retBool(true));
    EXPECT_EQ(canned->take("Other"), nullptr);
}

TEST(CannedResults, OutNullAndValuesAndTexts)
{
    auto canned = CannedResults::parse(
        R"({"calls": {"FormataTX": [{"out": null}, {"out": "01\u00e7"}],
                      "Execute": [{"values": {"NumeroCupom": "42"}}],
                      "ReturnValue": [{"ret": "A1800"}]}})",
        "t.json");
    const auto* e = canned->take("FormataTX");
    EXPECT_TRUE(e->hasOut);
    EXPECT_FALSE(e->out.has_value());
    e = canned->take("FormataTX");
    EXPECT_EQ(printer::jsonTextToBytes(*e->out), std::string("01\xE7"));
    EXPECT_EQ(canned->take("Execute")->values.at("NumeroCupom"), "42");
    EXPECT_EQ(canned->take("ReturnValue")->retWide(u""), u"A1800");
}

TEST(CannedResults, MalformedFilesAreRejectedNamingTheFile)
{
    const char* bad[] = {
        "not json",
        "[]",
        R"({"calls": []})",
        R"({"calls": {"Open": {}}})",
        R"({"calls": {"Open": [3]}})",
        R"({"calls": {"Open": [{"ret": [1]}]}})",
        R"({"calls": {"Open": [{"times": 0}]}})",
        R"({"calls": {"Open": [{"times": "often"}]}})",
        R"({"calls": {"Open": [{"rett": 1}]}})",
        R"({"calls": {}, "extra": 1})",
        R"({"calls": {"SendText": [{"ret": 2147483648}]}})",     // beyond what a result code holds
        R"({"calls": {"FormataTX": [{"ret": -2147483648.6}]}})",
        R"({"calls": {"Daruma_FI_VendeItem": [{"ret": "0"}]}})",  // a "ret" the call cannot return
        R"({"calls": {"Open": [{"ret": "false"}]}})",
        R"({"calls": {"ecfStatusAliquotas": [{"ret": 0}]}})",
        R"({"calls": {"SetParameter": [{"ret": 0}]}})",
    };
    for (const char* text : bad) {
        try {
            CannedResults::parse(text, "/tmp/canned.json");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const common::ConfigError& e) {
            EXPECT_NE(std::string(e.what()).find("/tmp/canned.json"), std::string::npos) << e.what();
        }
    }
}

TEST(CallPipeline, TraceLinesFollowTheInterface)
{
    CallRecord r;
    r.family = "mp20";
    r.fn = "FormataTX";
    r.args = {std::string("\x1b|09|\xE7\"\\|")};
    r.ret = std::int64_t{0};
    EXPECT_EQ(CallPipeline::toJson(r),
              R"({"ev":"call","family":"mp20","fn":"FormataTX","args":["\u001b|09|ç\"\\|"],"ret":0,"out":null})");

    CallRecord s;
    s.family = "sigtron";
    s.fn = "Open";
    s.ret = false;
    EXPECT_EQ(CallPipeline::toJson(s), R"({"ev":"call","family":"sigtron","fn":"Open","args":[],"ret":false,"out":null})");

    CallRecord b;
    b.family = "bemafi32";
    b.fn = "Bematech_FI_RetornoImpressora";
    b.ret = std::int64_t{1};
    b.out = std::vector<std::int64_t>{6, 0, 0};
    EXPECT_EQ(CallPipeline::toJson(b),
              R"({"ev":"call","family":"bemafi32","fn":"Bematech_FI_RetornoImpressora","args":[],"ret":1,"out":[6,0,0]})");

    CallRecord d;
    d.family = "daruma";
    d.fn = "Daruma_FI_LeituraMemoriaFiscalData";
    d.args = {46357.0, 0.5, std::u16string(u"Situa\u00e7ao")};
    d.ret = std::int64_t{1};
    EXPECT_EQ(CallPipeline::toJson(d),
              R"({"ev":"call","family":"daruma","fn":"Daruma_FI_LeituraMemoriaFiscalData","args":[46357,0.5,"Situaçao"],"ret":1,"out":null})");
}

TEST(CallPipeline, EachLineIsInTheFileWhenTheCallReturns)
{
    test::TempDir dir;
    const auto file = dir.path() / "trace.jsonl";
    auto trace = std::make_shared<common::Trace>(file.string());
    CallPipeline pipe(trace, nullptr);
    CallRecord r;
    r.family = "schalter";
    r.fn = "ChangePort";
    r.args = {std::int64_t{0}};
    r.ret = std::int64_t{0};
    pipe.trace(r);
    // Read back through another descriptor before anything is closed or flushed.
    auto lines = test::readTrace(file);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["fn"], "ChangePort");
    pipe.trace(r);
    EXPECT_EQ(test::readTrace(file).size(), 2u);
}

// The pause before the port opens: capped, and said when long.
#include "common/trace.h"
#include "printer/pipeline.h"
#include "printer/port_pause.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace ecf;

TEST(PortPause, CappedAtTwoMinutesAndSaidWhenLong)
{
    std::vector<int> slept;
    printer::setPortPauseSleeper([&](int ms) { slept.push_back(ms); });
    test::TempDir dir;
    auto trace = std::make_shared<common::Trace>((dir.path() / "t.jsonl").string());
    printer::CallPipeline pipeline(trace, nullptr);

    testing::internal::CaptureStderr();
    printer::portPause(0, "bemafi32", &pipeline);
    printer::portPause(-5, "bemafi32", &pipeline);
    printer::portPause(2000, "bemafi32", &pipeline);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(test::readFile(dir.path() / "t.jsonl"), "");

    testing::internal::CaptureStderr();
    printer::portPause(2147483647, "bemafi32", &pipeline);
    const std::string err = testing::internal::GetCapturedStderr();
    printer::setPortPauseSleeper(nullptr);

    EXPECT_EQ(slept, (std::vector<int>{2000, 120000}));
    EXPECT_NE(err.find("120 s"), std::string::npos) << err;
    EXPECT_NE(err.find("2147483647"), std::string::npos) << err;
    EXPECT_EQ(test::readFile(dir.path() / "t.jsonl"),
              "{\"ev\":\"pause\",\"family\":\"bemafi32\",\"ms\":120000,\"asked\":2147483647}\n");
}

} // namespace

// ecf-cli on what must never hang, print twice or lose a sale.
#include "cli_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>

namespace {

namespace fs = std::filesystem;
using namespace ecf;
using test::CliRun;
using test::CliTest;

TEST_F(CliTest, EmulatorFileMustBeARegularFile)
{
    makeDemo("BEMAFI32");
    fs::create_directories(dir.path() / "folder");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> cases{
        {(dir.path() / "folder").string(), "is a folder"},
        {"/dev/zero", "not a regular file"},
        {(dir.path() / "fifo").string(), "not a regular file"},
        {(dir.path() / "missing.json").string(), "does not exist"},
    };
    for (const auto& [file, says] : cases) {
        const auto t0 = std::chrono::steady_clock::now();
        const CliRun r = cli({"print"}, "", {{"ECF_EMULATOR", file}});
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(20)) << file;
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
    }
    EXPECT_EQ(records("CFCABEC.DB"), 1u);
}

} // namespace

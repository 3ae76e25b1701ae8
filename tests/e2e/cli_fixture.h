#pragma once
// ecf-cli run as a program on a database in a temp folder, with its own trace and state folder.
#include "data/paradox/px.h"
#include "support/test_support.h"
#include "support/trace_reader.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace ecf::test {

namespace fs = std::filesystem;
using nlohmann::json;

inline std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct CliRun {
    int status = -1;
    std::string out, err;
};

class CliTest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path db() const { return dir.path() / "db"; }
    fs::path trace() const { return dir.path() / "trace.jsonl"; }

    fs::path state() const { return dir.path() / "state"; }

    // Runs ecf-cli in the database folder with VANTIS_DIR, ECF_TRACE and ECF_STATE_DIR set.
    CliRun cli(const std::vector<std::string>& args, const std::string& input = "",
            const std::vector<std::pair<std::string, std::string>>& env = {})
    {
        test::writeFile(dir.path() / "stdin", input);
        fs::create_directories(db());
        std::string cmd = "cd " + quote(db().string()) + " && env VANTIS_DIR=" + quote(db().string()) +
                          " ECF_TRACE=" + quote(trace().string()) +
                          " ECF_STATE_DIR=" + quote(state().string());
        for (const auto& [k, v] : env)
            cmd += " " + k + "=" + quote(v);
        cmd += " " + quote(ECF_CLI_PATH);
        for (const auto& a : args)
            cmd += " " + quote(a);
        cmd += " <" + quote((dir.path() / "stdin").string()) + " >" + quote((dir.path() / "stdout").string()) +
               " 2>" + quote((dir.path() / "stderr").string());
        const int raw = std::system(cmd.c_str());
        CliRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = test::readFile(dir.path() / "stdout");
        r.err = test::readFile(dir.path() / "stderr");
        return r;
    }

    void makeDemo(const std::string& model)
    {
        const CliRun r = cli({"make-demo", db().string(), "--model", model});
        ASSERT_EQ(r.status, 0) << r.err;
    }

    std::size_t records(const char* table) { return data::px::PxTable::read(db() / table).records().size(); }

    std::vector<json> uiLines(const std::string& kind)
    {
        std::vector<json> out;
        for (auto& l : test::readTrace(trace()))
            if (l.value("ev", "") == "ui" && l.value("kind", "") == kind)
                out.push_back(l);
        return out;
    }
};

} // namespace ecf::test

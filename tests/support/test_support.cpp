#include "support/test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ecf::test {

std::filesystem::path samplesDir()
{
    const char* dir = std::getenv("ECF_SAMPLES_DIR");
    return std::filesystem::path(dir && *dir ? dir : ECF_SAMPLES_DIR);
}

std::filesystem::path corpusDir()
{
    const char* dir = std::getenv("ECF_CORPUS_DIR");
    return std::filesystem::path(dir && *dir ? dir : ECF_CORPUS_DIR);
}

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "ecf-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

namespace {
// ECF's own state folder of every test program is a temporary folder of its own, never the
// user's (a test that needs its own sets ECF_STATE_DIR itself).
struct TestStateFolder {
    TempDir dir;
    TestStateFolder() { ::setenv("ECF_STATE_DIR", dir.path().c_str(), 1); }
};
const TestStateFolder testStateFolder;
} // namespace

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name)
{
    if (const char* v = std::getenv(name)) {
        had_ = true;
        old_ = v;
    }
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (had_)
        setenv(name_.c_str(), old_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}

std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::filesystem::path& p, const std::string& content)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << content;
}

} // namespace ecf::test

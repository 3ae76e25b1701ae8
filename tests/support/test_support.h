#pragma once
// Shared helpers of the tests: temporary folders, the samples folder, environment guards.
#include <filesystem>
#include <string>

namespace ecf::test {

// The folders of the real Paradox tables written by Paradox itself, beside the checkout
// (../shared/paradox-samples, ../shared/paradox-corpus) unless ECF_SAMPLES_DIR or
// ECF_CORPUS_DIR names another. Tests that need them skip when they are absent.
std::filesystem::path samplesDir();
std::filesystem::path corpusDir();

// A fresh temporary folder, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& content);

} // namespace ecf::test

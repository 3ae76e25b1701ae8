#pragma once
// Helpers of the table engine's tests.
#include "data/paradox/px.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ecf::test::pxt {

namespace px = ecf::data::px;

inline std::filesystem::path sample(const std::string& name) { return samplesDir() / name; }

// Skips the running test when the shared sample tables are not there.
#define ECF_NEED_SAMPLES()                                                                              \
    if (!std::filesystem::is_directory(::ecf::test::samplesDir()))                                     \
    GTEST_SKIP() << "no sample tables at " << ::ecf::test::samplesDir().string()                       \
                 << " (the shared folder beside the checkout; ECF_SAMPLES_DIR names another)"

// Copies a sample into `dir` (samples are read-only and stay outside the repository).
inline std::filesystem::path copySample(const TempDir& dir, const std::string& name, const std::string& as = "")
{
    const auto to = dir.path() / (as.empty() ? name : as);
    std::filesystem::copy_file(sample(name), to);
    std::filesystem::permissions(to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    return to;
}

inline px::FieldDef field(const std::string& name, px::FieldType type, int size = 0, int bcdDigits = 0)
{
    return px::FieldDef{name, type, size, bcdDigits};
}

inline std::string text(const px::Value& v) { return v.kind == px::Value::Kind::Text ? v.bytes : "<not text>"; }

} // namespace ecf::test::pxt

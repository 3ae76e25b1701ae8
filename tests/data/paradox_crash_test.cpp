// A write killed at any step of its commit leaves the table as it was before or as it is
// after, never half, and the table stays usable.
#include "common/errors.h"
#include "data/paradox/px_file.h"
#include "px_index_files.h"
#include "px_test_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace ecf::test;
using namespace ecf::test::pxt;
using px::FieldType;
using px::Value;

namespace {

using Files = std::map<std::string, std::string>;

// The table's visible files (our lock, journal and temporary files are hidden).
Files visible(const std::filesystem::path& dir)
{
    Files out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if (n[0] != '.')
            out[n] = readFile(e.path());
    }
    return out;
}

bool hiddenLeftovers(const std::filesystem::path& dir)
{
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if (n.ends_with(".ecf-tmp") || n.ends_with(".ecf-journal"))
            return true;
    }
    return false;
}

struct Scenario {
    const char* name;
    std::function<std::filesystem::path(const TempDir&)> setup; // gives the table's file
    std::function<void(const std::filesystem::path&)> write;
    bool needsSamples = false;
};

px::Record row(int i) { return {Value::integerValue(i), Value::text(std::string(150, static_cast<char>('a' + i % 26)))}; }

std::filesystem::path smallTable(const TempDir& dir, int records)
{
    const auto db = dir.path() / "LOG2612.DB";
    px::createTable(db, {field("N", FieldType::Long), field("T", FieldType::Alpha, 150)});
    for (int i = 0; i < records; ++i)
        px::appendRecord(db, row(i));
    return db;
}

const std::vector<Scenario>& scenarios()
{
    static const std::vector<Scenario> all = {
        {"append into the last block", [](const TempDir& d) { return smallTable(d, 2); },
         [](const auto& db) { px::appendRecord(db, row(99)); }},
        {"append a new block", [](const TempDir& d) { return smallTable(d, 13); }, // 13 records fill a 2k block
         [](const auto& db) { px::appendRecord(db, row(99)); }},
        {"empty a keyed table with its indexes",
         [](const TempDir& d) {
             const auto db = copySample(d, "country.db");
             writeFile(d.path() / "country.PX", indexFile(1, 30));
             writeFile(d.path() / "country.X02", indexFile(3, 50));
             writeFile(d.path() / "country.Y02", indexFile(4, 56));
             return db;
         },
         [](const auto& db) { px::emptyTable(db); }, true},
        {"create a table with a memo", [](const TempDir& d) { return d.path() / "NOVA.DB"; },
         [](const auto& db) { px::createTable(db, {field("N", FieldType::Long), field("M", FieldType::Memo, 20)}); }},
    };
    return all;
}

} // namespace

TEST(ParadoxCrash, WriteKilledAtEveryStepLeavesOldOrNewTable)
{
    for (const auto& sc : scenarios()) {
        SCOPED_TRACE(sc.name);
        if (sc.needsSamples && !std::filesystem::is_directory(samplesDir())) {
            std::cout << "no sample tables at " << samplesDir().string() << ": \"" << sc.name << "\" left out\n";
            continue;
        }
        // One clean run gives the states before and after and the steps of the commit.
        TempDir ref;
        const auto refDb = sc.setup(ref);
        const Files before = visible(ref.path());
        std::vector<std::string> steps;
        px::io::setStepHook([&](const std::string& s) { steps.push_back(s); });
        sc.write(refDb);
        px::io::setStepHook(nullptr);
        const Files after = visible(ref.path());
        ASSERT_NE(before, after);
        ASSERT_GE(steps.size(), 4u);

        for (const std::string& killAt : steps) {
            SCOPED_TRACE("killed at " + killAt);
            TempDir dir;
            const auto db = sc.setup(dir);
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                px::io::setStepHook([&](const std::string& s) {
                    if (s == killAt)
                        _exit(0);
                });
                try {
                    sc.write(db);
                } catch (...) {
                    _exit(2);
                }
                _exit(3);
            }
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status));
            ASSERT_EQ(WEXITSTATUS(status), 0);

            // The next reader finishes or discards the interrupted commit.
            std::optional<std::size_t> records;
            try {
                records = px::PxTable::read(db).records().size();
            } catch (const ecf::common::DatabaseError&) {
                // only when the table was being created and the commit did not reach its point
            }
            const Files now = visible(dir.path());
            EXPECT_TRUE(now == before || now == after);
            if (now == before && std::string(sc.name).starts_with("create")) {
                EXPECT_FALSE(records.has_value());
            } else {
                EXPECT_TRUE(records.has_value());
            }

            // The table stays usable, and nothing of the killed write is left behind.
            if (records) {
                px::emptyTable(db);
                EXPECT_TRUE(px::PxTable::read(db).records().empty());
            } else {
                sc.write(db);
            }
            EXPECT_FALSE(hiddenLeftovers(dir.path()));
        }
    }
}

TEST(ParadoxCrash, TwoWritersSerialiseOnTheTableLock)
{
    TempDir dir;
    const auto db = smallTable(dir, 0);
    constexpr int perWriter = 15;
    std::vector<pid_t> kids;
    for (int w = 0; w < 2; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            try {
                for (int i = 0; i < perWriter; ++i)
                    px::appendRecord(db, row(w * 100 + i));
            } catch (...) {
                _exit(2);
            }
            _exit(0);
        }
        kids.push_back(pid);
    }
    for (pid_t k : kids) {
        int status = 0;
        ASSERT_EQ(waitpid(k, &status, 0), k);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(px::PxTable::read(db).records().size(), 2u * perWriter);
}

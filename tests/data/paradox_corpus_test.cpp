// Real tables written by Paradox and the desktop database engine (versions 3 to 7, several code
// pages, every field type), from the shared corpus beside the checkout. Every table is read and
// every value compared with the corpus's verified dump of it.
#include "common/convert.h"
#include "common/errors.h"
#include "data/paradox/px_format.h"
#include "data/table.h"
#include "px_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

using namespace ecf::test;
using namespace ecf::test::pxt;
namespace fs = std::filesystem;
using Kind = px::Value::Kind;

namespace {

// ---------------------------------------------------------------------------------------------
// The dump format of the corpus's expected/ folder.

std::string escaped(std::string_view bytes)
{
    std::string out;
    for (const unsigned char c : bytes) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else
            out.push_back(static_cast<char>(c));
    }
    return out;
}

std::string g17(double d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", d);
    return buf;
}

// Days counted as the engine does (1 January of year 1 is day 1) as YYYY-MM-DD.
std::string dayText(std::int64_t days)
{
    int y = 0, m = 0, d = 0;
    ecf::common::civilDate(days - 1, y, m, d);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

std::string msText(std::int64_t ms)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld.%03lld", static_cast<long long>(ms / 3600000),
                  static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
                  static_cast<long long>(ms % 1000));
    return buf;
}

std::uint64_t fnv1a(std::string_view bytes)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const unsigned char c : bytes)
        h = (h ^ c) * 0x100000001b3ull;
    return h;
}

char typeLetter(px::FieldType t)
{
    switch (t) {
    case px::FieldType::Alpha: return 'A';
    case px::FieldType::Date: return 'D';
    case px::FieldType::Short: return 'S';
    case px::FieldType::Long: return 'I';
    case px::FieldType::Currency: return '$';
    case px::FieldType::Number: return 'N';
    case px::FieldType::Logical: return 'L';
    case px::FieldType::Memo: return 'M';
    case px::FieldType::Blob: return 'B';
    case px::FieldType::FmtMemo: return 'F';
    case px::FieldType::Ole: return 'O';
    case px::FieldType::Graphic: return 'G';
    case px::FieldType::Time: return 'T';
    case px::FieldType::Timestamp: return '@';
    case px::FieldType::AutoInc: return '+';
    case px::FieldType::Bcd: return '#';
    case px::FieldType::Bytes: return 'Y';
    }
    return '?';
}

std::string cell(const px::Value& v, px::FieldType type)
{
    switch (v.kind) {
    case Kind::Null:
        return "\\N";
    case Kind::Text:
        return escaped(v.bytes);
    case Kind::Integer:
        return std::to_string(v.integer);
    case Kind::Float:
        return g17(v.real);
    case Kind::Logical:
        return v.logical ? "T" : "F";
    case Kind::Date:
        return dayText(v.integer);
    case Kind::Time:
        return msText(v.integer);
    case Kind::Timestamp: {
        const double days = std::floor(v.real / 86400000.0);
        return dayText(static_cast<std::int64_t>(days)) + "T" +
               msText(static_cast<std::int64_t>(v.real - days * 86400000.0)) + "|" + g17(v.real);
    }
    case Kind::Bcd:
        return v.bytes;
    case Kind::Bytes:
        if (type == px::FieldType::Bytes) {
            std::string out = "x:";
            char buf[4];
            for (const unsigned char c : v.bytes) {
                std::snprintf(buf, sizeof buf, "%02x", c);
                out += buf;
            }
            return out;
        } else {
            char buf[64];
            std::snprintf(buf, sizeof buf, "blob:len=%zu,fnv=%016llx", v.bytes.size(),
                          static_cast<unsigned long long>(fnv1a(v.bytes)));
            return buf;
        }
    }
    return "?";
}

// The table as dump lines: the header line, then one line per record. Each value is read
// through the checked accessor, so a damaged value shows as an error in its cell.
std::vector<std::string> dump(const px::PxTable& t)
{
    const auto& info = t.info();
    std::ostringstream head;
    head << "#v=" << info.fileVersion << " cp=" << info.codePage << " keys=" << info.keyFieldCount
         << " n=" << t.records().size();
    for (const auto& f : info.fields)
        head << '\t' << typeLetter(f.type) << (f.type == px::FieldType::Bcd ? f.bcdDigits : f.size) << ':'
             << escaped(f.name);
    std::vector<std::string> out{head.str()};
    for (std::size_t r = 0; r < t.records().size(); ++r) {
        std::string line;
        for (std::size_t i = 0; i < info.fields.size(); ++i) {
            if (i)
                line.push_back('\t');
            try {
                line += cell(t.value(r, i), info.fields[i].type);
            } catch (const ecf::common::DatabaseError& e) {
                line += std::string("<error: ") + e.what() + ">";
            }
        }
        out.push_back(std::move(line));
    }
    return out;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        out.push_back(line.substr(from, tab - from));
    out.push_back(line.substr(from));
    return out;
}

// ---------------------------------------------------------------------------------------------
// The tables

bool corpusThere() { return fs::is_directory(corpusDir() / "expected"); }

#define ECF_NEED_CORPUS()                                                                               \
    if (!corpusThere())                                                                                 \
    GTEST_SKIP() << "no table corpus at " << corpusDir().string()                                       \
                 << " (the shared folder beside the checkout; ECF_CORPUS_DIR names another)"

// Every table with a dump, as its path under the corpus; one empty entry when the corpus is
// not there, for a test that says so.
std::vector<std::string> dumpedTables()
{
    std::vector<std::string> out;
    std::error_code ec;
    const fs::path expected = corpusDir() / "expected";
    for (auto it = fs::recursive_directory_iterator(expected, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string rel = fs::relative(it->path(), expected).string();
        if (it->is_regular_file() && rel.ends_with(".txt"))
            out.push_back(rel.substr(0, rel.size() - 4));
    }
    std::sort(out.begin(), out.end());
    if (out.empty())
        out.emplace_back();
    return out;
}

std::string testName(const testing::TestParamInfo<std::string>& info)
{
    if (info.param.empty())
        return "CorpusAbsent";
    std::string n = info.param;
    if (const auto at = n.find("src/test/resources/"); at != std::string::npos)
        n.erase(at, 19);
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
}

fs::path corpusTable(const std::string& rel) { return corpusDir() / rel; }

const std::string bcdTable = "leonhad+paradoxdriver/src/test/resources/fields/bcd.db";
const std::string fmemoTable = "leonhad+paradoxdriver/src/test/resources/fields/fmemo.db";
const std::string membreTable = "teverett+paradoxReader/src/test/resources/examples/MEMBRE.DB";

} // namespace

class ParadoxCorpus : public testing::TestWithParam<std::string> {};

TEST_P(ParadoxCorpus, EveryValueMatchesTheDump)
{
    ECF_NEED_CORPUS();
    const std::string& rel = GetParam();
    const std::vector<std::string> want = lines(readFile(corpusDir() / "expected" / (rel + ".txt")));
    const std::vector<std::string> got = dump(px::PxTable::read(corpusTable(rel)));
    ASSERT_FALSE(want.empty());
    EXPECT_EQ(got[0], want[0]) << "the header line";
    const std::vector<std::string> names = split(want[0]);
    int reported = 0;
    for (std::size_t l = 1; l < std::max(got.size(), want.size()) && reported < 10; ++l) {
        if (l >= got.size() || l >= want.size()) {
            ADD_FAILURE() << "record " << l << ": " << (l < got.size() ? "read but not in the dump" : "missing");
            break;
        }
        if (got[l] == want[l])
            continue;
        const auto g = split(got[l]), w = split(want[l]);
        for (std::size_t i = 0; i < std::max(g.size(), w.size()) && reported < 10; ++i) {
            std::string gi = i < g.size() ? g[i] : "<none>", wi = i < w.size() ? w[i] : "<none>";
            // The dump's hashes of binary blobs are not FNV-1a 64 of their bytes as its README
            // says (a one-byte blob "1" carries another hash), so binary blobs compare by length;
            // their contents take the same path as the memos, which compare whole.
            if (gi.starts_with("blob:") && wi.starts_with("blob:")) {
                gi.resize(gi.find(",fnv="));
                wi.resize(std::min(wi.find(",fnv="), wi.size()));
            }
            if (gi != wi && ++reported)
                ADD_FAILURE() << "record " << l << ", field " << (i + 1 < names.size() ? names[i + 1] : "?")
                              << ":\n  dump: " << wi << "\n  read: " << gi;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, ParadoxCorpus, testing::ValuesIn(dumpedTables()), testName);

TEST(ParadoxCorpusTables, BcdDigitsEndingInFillerReadAsTheDigitsThere)
{
    ECF_NEED_CORPUS();
    // Field C has 32 decimals, of which the writer stored about 19 digits and then filler.
    const auto t = px::PxTable::read(corpusTable(bcdTable));
    ASSERT_EQ(t.records().size(), 3u);
    const std::vector<std::vector<std::string>> want = {
        {"1.23", "1", "0.12299999999999999800000000000000"},
        {"-1.23", "-1", "-0.12299999999999999800000000000000"},
        {"0.00", "", "0.99990000000000001180000000000000"}};
    const double asDouble[] = {0.123, -0.123, 0.9999};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t f = 0; f < 3; ++f) {
            const px::Value& v = t.value(r, f);
            if (want[r][f].empty()) {
                EXPECT_TRUE(v.isNull());
                continue;
            }
            EXPECT_EQ(v.kind, Kind::Bcd);
            EXPECT_EQ(v.bytes, want[r][f]) << r << "," << f;
        }
        EXPECT_EQ(std::stod(t.value(r, 2).bytes), asDouble[r]);
    }
}

TEST(ParadoxCorpusTables, FormattedMemosWithoutALeaderReadFromTheBlobFile)
{
    ECF_NEED_CORPUS();
    const auto t = px::PxTable::read(corpusTable(fmemoTable));
    ASSERT_EQ(t.fields().size(), 2u);
    EXPECT_EQ(t.fields()[1].type, px::FieldType::FmtMemo);
    EXPECT_EQ(t.fields()[1].size, 10);
    ASSERT_EQ(t.records().size(), 2u);
    EXPECT_TRUE(t.damage().empty());
    const std::size_t lengths[] = {169, 726};
    for (std::size_t r = 0; r < 2; ++r) {
        EXPECT_EQ(t.value(r, 0).integer, static_cast<std::int64_t>(r + 1));
        EXPECT_EQ(t.value(r, 1).kind, Kind::Text);
        EXPECT_EQ(t.value(r, 1).bytes.size(), lengths[r]);
    }
}

TEST(ParadoxCorpusTables, MissingBlobFileFailsOnlyTheBlobValues)
{
    ECF_NEED_CORPUS();
    // The table's .MB was never published.
    const auto t = px::PxTable::read(corpusTable(membreTable));
    ASSERT_FALSE(t.records().empty());
    std::size_t failed = 0;
    for (std::size_t r = 0; r < t.records().size(); ++r) {
        for (std::size_t f = 0; f < t.fields().size(); ++f) {
            const bool blob = px::format::isBlobType(t.fields()[f].type);
            try {
                (void)t.value(r, f);
            } catch (const ecf::common::DatabaseError& e) {
                ++failed;
                EXPECT_TRUE(blob) << e.what();
                const std::string what = e.what();
                EXPECT_NE(what.find("MEMBRE.DB: record " + std::to_string(r + 1) + ", field " + t.fields()[f].name + ":"),
                          std::string::npos)
                    << what;
                EXPECT_NE(what.find("MEMBRE.MB is missing"), std::string::npos) << what;
            }
        }
    }
    EXPECT_GT(failed, 0u);
    EXPECT_EQ(failed, t.damage().size());

    // Through the table components: reading that field of that record fails, the rest reads.
    ScopedEnv env("VANTIS_DIR", corpusTable(membreTable).parent_path().string());
    ecf::data::Table table("membre.db");
    table.open();
    EXPECT_EQ(table.fieldByName("Nom").asString(), "LEMAITRE");
    EXPECT_THROW(table.fieldByName("Memo").asString(), ecf::common::DatabaseError);
    EXPECT_THROW(table.fieldByName("Photo").isNull(), ecf::common::DatabaseError);
    table.next();
    EXPECT_TRUE(table.fieldByName("Memo").isNull());
}

TEST(ParadoxCorpusTables, PasswordProtectedTablesAreRefusedClearly)
{
    ECF_NEED_CORPUS();
    for (const char* name : {"encrypted.db", "encrypted35.db", "encryptedmemo.db"}) {
        try {
            px::PxTable::read(corpusDir() / "leonhad+paradoxdriver/src/test/resources/encrypt" / name);
            ADD_FAILURE() << name << " read";
        } catch (const ecf::common::DatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find("password protected"), std::string::npos) << e.what();
        }
    }
}

#include "coupon/coupon_journal.h"

#include "common/errors.h"
#include "common/state_folder.h"
#include "common/text.h"
#include "common/trace.h"
#include "data/table.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sys/file.h>
#include <unistd.h>

namespace ecf::coupon {

std::string currentDatabase()
{
    std::error_code ec;
    const std::filesystem::path dir = data::Database::folder();
    const std::filesystem::path canon = std::filesystem::weakly_canonical(dir, ec);
    return (ec ? dir : canon).string();
}

CouponKey CouponKey::of(data::Table& cabec)
{
    CouponKey k;
    for (std::size_t i = 0; i < fields.size(); ++i)
        k.values[i] = cabec.fieldByName(fields[i]).asString();
    return k;
}

std::string CouponKey::describe(int codePage) const
{
    std::string s = "Num_Nota " + common::toUtf8(values[1], codePage) + " (";
    for (std::size_t i : {0u, 2u, 3u, 4u}) {
        s += fields[i];
        s += ' ';
        s += common::toUtf8(values[i], codePage);
        s += i == 4 ? ")" : ", ";
    }
    return s;
}

namespace {

// One line of the journal as read back: texts in Latin-1 bytes, as written.
struct Line {
    std::string text; // the line itself, for a rewrite
    std::string step;
    std::string db;
    bool hasKey = false;
    CouponKey key;
    std::string id;
    bool hasDb = false;
};

// A reader for the journal's own lines: one flat JSON object whose values are texts, numbers
// or lists of texts, as `append` writes them. Texts come back as Latin-1 bytes (a code point
// above U+00FF as '?'). Anything else makes the line unreadable.
class LineReader {
public:
    explicit LineReader(std::string_view s) : s_(s) {}

    std::optional<Line> read()
    {
        Line line;
        line.text = std::string(s_);
        bool keyOk = true;
        if (!punct('{'))
            return std::nullopt;
        if (!punct('}')) {
            do {
                std::string name;
                if (!text(name) || !punct(':'))
                    return std::nullopt;
                if (peek() == '"') {
                    std::string value;
                    if (!text(value))
                        return std::nullopt;
                    if (name == "step")
                        line.step = std::move(value);
                    else if (name == "db") {
                        line.db = common::utf8ToLatin1(value);
                        line.hasDb = true;
                    }
                    else if (name == "id")
                        line.id = common::utf8ToLatin1(value);
                    else if (name == "key")
                        keyOk = false;
                } else if (peek() == '[') {
                    std::vector<std::string> values;
                    if (!texts(values))
                        return std::nullopt;
                    if (name == "key") {
                        keyOk = values.size() == line.key.values.size();
                        for (std::size_t i = 0; keyOk && i < values.size(); ++i)
                            line.key.values[i] = common::utf8ToLatin1(values[i]);
                        line.hasKey = keyOk;
                    }
                } else if (!number()) {
                    return std::nullopt;
                } else if (name == "key") {
                    keyOk = false;
                }
            } while (punct(','));
            if (!punct('}'))
                return std::nullopt;
        }
        blanks();
        if (i_ != s_.size() || line.step.empty() || !line.hasDb || !keyOk)
            return std::nullopt;
        return line;
    }

private:
    void blanks()
    {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r'))
            ++i_;
    }
    char peek()
    {
        blanks();
        return i_ < s_.size() ? s_[i_] : '\0';
    }
    bool punct(char c)
    {
        if (peek() != c)
            return false;
        ++i_;
        return true;
    }
    bool number()
    {
        const std::size_t from = i_;
        while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) ||
                                  std::string_view("+-.eE").find(s_[i_]) != std::string_view::npos))
            ++i_;
        return i_ > from;
    }
    bool hex4(char32_t& cp)
    {
        if (i_ + 4 > s_.size())
            return false;
        cp = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s_[i_++];
            const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : c >= 'a' && c <= 'f'                     ? c - 'a' + 10
                          : c >= 'A' && c <= 'F'                     ? c - 'A' + 10
                                                                     : -1;
            if (d < 0)
                return false;
            cp = cp * 16 + static_cast<char32_t>(d);
        }
        return true;
    }
    // A JSON text, unescaped, as UTF-8.
    bool text(std::string& out)
    {
        if (!punct('"'))
            return false;
        while (i_ < s_.size()) {
            const char c = s_[i_++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (i_ >= s_.size())
                return false;
            char32_t cp = 0;
            switch (s_[i_++]) {
            case '"': cp = '"'; break;
            case '\\': cp = '\\'; break;
            case '/': cp = '/'; break;
            case 'b': cp = '\b'; break;
            case 'f': cp = '\f'; break;
            case 'n': cp = '\n'; break;
            case 'r': cp = '\r'; break;
            case 't': cp = '\t'; break;
            case 'u':
                if (!hex4(cp))
                    return false;
                if (cp >= 0xD800 && cp <= 0xDBFF && s_.substr(i_, 2) == "\\u") {
                    i_ += 2;
                    char32_t low = 0;
                    if (!hex4(low))
                        return false;
                    cp = low >= 0xDC00 && low <= 0xDFFF ? 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00) : 0xFFFD;
                }
                break;
            default: return false;
            }
            common::appendUtf8(out, cp);
        }
        return false;
    }
    bool texts(std::vector<std::string>& out)
    {
        if (!punct('['))
            return false;
        if (punct(']'))
            return true;
        do {
            out.emplace_back();
            if (!text(out.back()))
                return false;
        } while (punct(','));
        return punct(']');
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

std::vector<Line> readJournal(const std::filesystem::path& file)
{
    std::vector<Line> lines;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::error_code ec;
        if (std::filesystem::exists(file, ec))
            throw common::FileError("Cannot read the journal of coupon issues " + file.string());
        return lines;
    }
    std::string text;
    while (std::getline(in, text)) {
        // A line cut short by a crash, or anything else not of the journal's shape, is skipped.
        if (auto line = LineReader(text).read())
            lines.push_back(std::move(*line));
    }
    return lines;
}

// What one line says of its coupon (a line with the coupon's key), or of every coupon of its
// database (a line without key).
void apply(CouponState& s, const Line& e)
{
    if (!e.hasKey) {
        if (e.step == "open-closed" && s.started && !s.closed)
            s.openSettled = true;
        return;
    }
    if (e.step == "started") {
        s.started = true;
        s.closing = false;
        s.closed = false;
        s.openSettled = false;
    } else if (e.step == "printed") { // a rewrite's summary of a coupon the printer closed
        s = CouponState{};
        s.started = true;
        s.closed = true;
    } else if (e.step == "closing") {
        s.closing = true;
    } else if (e.step == "closed") {
        s.closed = true;
    } else if (e.step == "saved") {
        s.savedId = e.id;
        s.emptying = true;
    } else if (e.step == "emptying") {
        s.emptying = true;
    } else if (e.step == "emptied") {
        s.emptying = false;
    } else if (e.step == "restored") {
        s = CouponState{};
    }
}

// Appends and rewrites of the journal exclude each other among ECF's processes (a lock file
// beside it), so that a rewrite never drops a line another process appended meanwhile.
class JournalLock {
public:
    explicit JournalLock(const std::filesystem::path& journal)
    {
        std::filesystem::path lock = journal;
        lock += ".lock";
        fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~JournalLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

private:
    int fd_ = -1;
};

// A line as the journal writes it.
std::string journalLine(const std::string& step, const std::string& db, const CouponKey* key, const std::string& extra)
{
    std::string line = "{\"step\":";
    common::json::appendLatin1(line, step);
    line += ",\"db\":";
    common::json::appendLatin1(line, db);
    if (key) {
        line += ",\"key\":[";
        for (std::size_t i = 0; i < key->values.size(); ++i) {
            if (i)
                line += ',';
            common::json::appendLatin1(line, key->values[i]);
        }
        line += ']';
    }
    line += extra;
    line += '}';
    return line;
}

} // namespace

CouponJournal CouponJournal::inStateFolder()
{
    return CouponJournal(common::stateFolder() / "coupons.journal");
}

CouponJournal::CouponJournal(std::filesystem::path file, JournalLimits limits) : file_(std::move(file)), limits_(limits) {}

void CouponJournal::append(const std::string& step, const std::string& db, const CouponKey* key,
                           const std::string& extra)
{
    const std::string line = journalLine(step, db, key, extra);
    std::error_code ec;
    if (!std::filesystem::is_directory(file_.parent_path(), ec))
        common::makeStateFolder();
    const JournalLock lock(file_);
    common::appendSynced(file_, line);
}

void CouponJournal::started(const std::string& db, const CouponKey& key, std::size_t items, common::Money total)
{
    append("started", db, &key, ",\"items\":" + std::to_string(items) + ",\"total\":\"" + total.toString() + "\"");
}

void CouponJournal::closing(const std::string& db, const CouponKey& key) { append("closing", db, &key, ""); }
void CouponJournal::closed(const std::string& db, const CouponKey& key) { append("closed", db, &key, ""); }

void CouponJournal::saved(const std::string& db, const CouponKey& key, const std::string& id)
{
    std::string extra = ",\"id\":";
    common::json::appendLatin1(extra, id);
    append("saved", db, &key, extra);
}

void CouponJournal::emptying(const std::string& db, const CouponKey& key) { append("emptying", db, &key, ""); }

void CouponJournal::emptied(const std::string& db, const CouponKey& key)
{
    append("emptied", db, &key, "");
    try {
        compactIfLong();
    } catch (const std::exception&) {
        // The journal stays as it was, whole; the next coupon tries again.
    }
}

void CouponJournal::openCouponClosed(const std::string& db) { append("open-closed", db, nullptr, ""); }
void CouponJournal::restored(const std::string& db, const CouponKey& key) { append("restored", db, &key, ""); }

CouponState CouponJournal::state(const std::string& db, const CouponKey& key) const
{
    CouponState s;
    for (const Line& e : readJournal(file_))
        if (e.db == db && (!e.hasKey || e.key == key))
            apply(s, e);
    return s;
}

std::vector<CouponKey> CouponJournal::unfinishedEmptying(const std::string& db) const
{
    std::vector<CouponKey> open;
    for (const Line& e : readJournal(file_)) {
        if (e.db != db || !e.hasKey)
            continue;
        auto it = std::find(open.begin(), open.end(), e.key);
        const bool begins = e.step == "saved" || e.step == "emptying";
        const bool ends = e.step == "emptied" || e.step == "restored";
        if (begins && it == open.end())
            open.push_back(e.key);
        else if (ends && it != open.end())
            open.erase(it);
    }
    return open;
}

void CouponJournal::compactIfLong()
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(file_, ec);
    if (ec || size <= limits_.compactAbove)
        return;
    const JournalLock lock(file_);
    const std::vector<Line> lines = readJournal(file_);

    // Every coupon's state at the end, and where its last line stands.
    struct Coupon {
        std::string db;
        CouponKey key;
        CouponState state;
        std::size_t last = 0;      // its last line
        std::size_t lastStart = 0; // its last "started" line
        bool kept = false;         // in the rewrite's window of past coupons
    };
    std::vector<Coupon> coupons;
    std::map<std::pair<std::string, std::array<std::string, 5>>, std::size_t> index;
    const auto find = [&](const Line& e) -> Coupon& {
        const auto [it, added] = index.try_emplace({e.db, e.key.values}, coupons.size());
        if (added)
            coupons.push_back(Coupon{e.db, e.key, {}, 0});
        return coupons[it->second];
    };
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const Line& e = lines[n];
        if (!e.hasKey) {
            for (Coupon& c : coupons)
                if (c.db == e.db)
                    apply(c.state, e);
            continue;
        }
        Coupon& c = find(e);
        apply(c.state, e);
        c.last = n;
        if (e.step == "started")
            c.lastStart = n;
    }

    // A coupon whose tables are being emptied keeps every line. Of the others, the latest
    // `keepPrinted` that the printer closed or that were left open are kept in short: one
    // "printed" line, or the "started" line (and a "closing" one) that leaves them open. No
    // line without key comes after a coupon's last "started" while it stays open, so its short
    // form stands where that line stood. The rest have nothing left to tell.
    std::vector<Coupon*> past;
    for (Coupon& c : coupons)
        if (!c.state.emptying && (c.state.closed || c.state.leftOpen()))
            past.push_back(&c);
    std::sort(past.begin(), past.end(), [](const Coupon* a, const Coupon* b) { return a->last < b->last; });
    for (std::size_t i = past.size() > limits_.keepPrinted ? past.size() - limits_.keepPrinted : 0; i < past.size(); ++i)
        past[i]->kept = true;

    std::string content;
    std::set<std::string> dbsWritten; // a line without key matters only after lines of its database
    const auto write = [&](const std::string& line, const std::string& db) {
        content += line;
        content += '\n';
        dbsWritten.insert(db);
    };
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const Line& e = lines[n];
        if (!e.hasKey) {
            if (dbsWritten.count(e.db))
                write(e.text, e.db);
            continue;
        }
        const Coupon& c = find(e);
        if (c.state.emptying)
            write(e.text, e.db);
        else if (c.kept && c.state.closed && n == c.last)
            write(journalLine("printed", c.db, &c.key, ""), c.db);
        else if (c.kept && !c.state.closed && n == c.lastStart) {
            write(e.text, e.db);
            if (c.state.closing)
                write(journalLine("closing", c.db, &c.key, ""), c.db);
        }
    }
    std::filesystem::path fresh = file_;
    fresh += ".new";
    try {
        common::writeSynced(fresh, content);
        std::filesystem::rename(fresh, file_);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(fresh, ec);
        throw;
    }
    common::syncFolder(file_.parent_path());
}

} // namespace ecf::coupon

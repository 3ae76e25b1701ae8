#include "coupon/coupon_journal.h"

#include "common/errors.h"
#include "common/state_folder.h"
#include "common/text.h"
#include "common/trace.h"
#include "data/table.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
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

// One line read through the JSON library's event parser, without building a document: a
// JSON object whose "step" and "db" are texts and whose "key", when present, is a list of five
// texts. Other fields are passed over; anything else makes the line unreadable.
class LineEvents : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit LineEvents(Line& line) : line_(line) {}

    bool readable() const { return topIsObject_ && !line_.step.empty() && line_.hasDb && keyOk_; }

    bool start_object(std::size_t) override
    {
        if (depth_ == 1 && name_ == "key")
            keyOk_ = false;
        return enter(true);
    }
    bool end_object() override { return leave(); }
    bool start_array(std::size_t) override
    {
        const bool key = depth_ == 1 && name_ == "key";
        enter(false);
        if (key) {
            inKey_ = true;
            keyCount_ = 0;
        }
        return true;
    }
    bool end_array() override
    {
        if (inKey_ && depth_ == 2) {
            inKey_ = false;
            keyOk_ = keyOk_ && keyCount_ == line_.key.values.size();
            line_.hasKey = keyOk_;
        }
        return leave();
    }
    bool key(string_t& name) override
    {
        if (depth_ == 1)
            name_ = name;
        return true;
    }
    bool string(string_t& s) override
    {
        if (inKey_ && depth_ == 2) {
            if (keyCount_ < line_.key.values.size())
                line_.key.values[keyCount_] = common::utf8ToLatin1(s);
            ++keyCount_;
        } else if (depth_ == 1) {
            if (name_ == "step")
                line_.step = s;
            else if (name_ == "db") {
                line_.db = common::utf8ToLatin1(s);
                line_.hasDb = true;
            }
            else if (name_ == "id")
                line_.id = common::utf8ToLatin1(s);
            else if (name_ == "key")
                keyOk_ = false;
        }
        return true;
    }
    bool null() override { return other(); }
    bool boolean(bool) override { return other(); }
    bool number_integer(number_integer_t) override { return other(); }
    bool number_unsigned(number_unsigned_t) override { return other(); }
    bool number_float(number_float_t, const string_t&) override { return other(); }
    bool binary(binary_t&) override { return other(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    bool enter(bool object)
    {
        if (depth_ == 0)
            topIsObject_ = object;
        else if (inKey_)
            keyOk_ = false;
        ++depth_;
        return true;
    }
    bool leave()
    {
        --depth_;
        return true;
    }
    // A value that is neither text nor list: wrong inside the key or as the key.
    bool other()
    {
        if ((inKey_ && depth_ == 2) || (depth_ == 1 && name_ == "key"))
            keyOk_ = false;
        return true;
    }

    Line& line_;
    std::size_t depth_ = 0;
    bool topIsObject_ = false;
    std::string name_; // the field being read at the top level
    bool inKey_ = false;
    std::size_t keyCount_ = 0;
    bool keyOk_ = true;
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
        Line line;
        LineEvents events(line);
        if (nlohmann::json::sax_parse(text, &events) && events.readable()) {
            line.text = std::move(text);
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

// What one line says of its coupon (a line with the coupon's key), or of every coupon of its
// database (a line without key).
void apply(CouponState& s, const Line& e)
{
    if (!e.hasKey) {
        if ((e.step == "open-closed" || e.step == "cancelled") && s.started && !s.closed)
            s.openSettled = true;
        else if (e.step == "cancelled" && s.closed && !s.emptying)
            s = CouponState{};
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
        if (s.closed)
            s = CouponState{}; // its issue ran to its end
        s.emptying = false;
    } else if (e.step == "unsent") {
        s = CouponState{};
    } else if (e.step == "restoring") {
        s.restoring = true;
        s.restoringId = e.id;
    } else if (e.step == "restored") {
        s = CouponState{};
    } else if (e.step == "restore-undone") {
        s.restoring = false;
        s.restoringId.clear();
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

void CouponJournal::unsent(const std::string& db, const CouponKey& key) { append("unsent", db, &key, ""); }
void CouponJournal::openCouponClosed(const std::string& db) { append("open-closed", db, nullptr, ""); }
void CouponJournal::lastCouponCancelled(const std::string& db) { append("cancelled", db, nullptr, ""); }

void CouponJournal::restoring(const std::string& db, const CouponKey& key, const std::string& id)
{
    std::string extra = ",\"id\":";
    common::json::appendLatin1(extra, id);
    append("restoring", db, &key, extra);
}

void CouponJournal::restored(const std::string& db, const CouponKey& key) { append("restored", db, &key, ""); }
void CouponJournal::restoreUndone(const std::string& db, const CouponKey& key) { append("restore-undone", db, &key, ""); }

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

std::vector<std::pair<CouponKey, std::string>> CouponJournal::unfinishedRestores(const std::string& db) const
{
    std::vector<std::pair<CouponKey, std::string>> open;
    for (const Line& e : readJournal(file_)) {
        if (e.db != db || !e.hasKey)
            continue;
        auto it = std::find_if(open.begin(), open.end(), [&](const auto& o) { return o.first == e.key; });
        if (e.step == "restoring") {
            if (it == open.end())
                open.emplace_back(e.key, e.id);
            else
                it->second = e.id;
        } else if ((e.step == "restored" || e.step == "restore-undone") && it != open.end()) {
            open.erase(it);
        }
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
        if (!c.state.emptying && !c.state.restoring && (c.state.closed || c.state.leftOpen()))
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
        if (c.state.emptying || c.state.restoring)
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

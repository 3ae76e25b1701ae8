#include "coupon/coupon_journal.h"

#include "common/errors.h"
#include "common/state_folder.h"
#include "common/text.h"
#include "common/trace.h"
#include "data/table.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

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

struct CouponJournal::Entry {
    std::string step;
    std::string db;
    bool hasKey = false;
    CouponKey key;
    std::string id;
};

CouponJournal CouponJournal::inStateFolder()
{
    return CouponJournal(common::stateFolder() / "coupons.journal");
}

CouponJournal::CouponJournal(std::filesystem::path file) : file_(std::move(file)) {}

void CouponJournal::append(const std::string& step, const std::string& db, const CouponKey* key,
                           const std::string& extra)
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
    std::error_code ec;
    if (!std::filesystem::is_directory(file_.parent_path(), ec))
        common::makeStateFolder();
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
void CouponJournal::emptied(const std::string& db, const CouponKey& key) { append("emptied", db, &key, ""); }
void CouponJournal::openCouponClosed(const std::string& db) { append("open-closed", db, nullptr, ""); }
void CouponJournal::restored(const std::string& db, const CouponKey& key) { append("restored", db, &key, ""); }

std::vector<CouponJournal::Entry> CouponJournal::read() const
{
    std::vector<Entry> entries;
    std::ifstream in(file_, std::ios::binary);
    if (!in) {
        std::error_code ec;
        if (std::filesystem::exists(file_, ec))
            throw common::FileError("Cannot read the journal of coupon issues " + file_.string());
        return entries;
    }
    std::string line;
    while (std::getline(in, line)) {
        // A line cut short by a crash, or anything else not of the journal's shape, is skipped.
        const nlohmann::json j = nlohmann::json::parse(line, nullptr, false);
        if (!j.is_object() || !j.contains("step") || !j["step"].is_string() || !j.contains("db") || !j["db"].is_string())
            continue;
        Entry e;
        e.step = j["step"].get<std::string>();
        e.db = common::utf8ToLatin1(j["db"].get<std::string>());
        if (j.contains("key")) {
            const auto& k = j["key"];
            if (!k.is_array() || k.size() != e.key.values.size())
                continue;
            bool ok = true;
            for (std::size_t i = 0; i < k.size(); ++i) {
                if (!k[i].is_string()) {
                    ok = false;
                    break;
                }
                e.key.values[i] = common::utf8ToLatin1(k[i].get<std::string>());
            }
            if (!ok)
                continue;
            e.hasKey = true;
        }
        if (j.contains("id") && j["id"].is_string())
            e.id = common::utf8ToLatin1(j["id"].get<std::string>());
        entries.push_back(std::move(e));
    }
    return entries;
}

CouponState CouponJournal::state(const std::string& db, const CouponKey& key) const
{
    CouponState s;
    for (const Entry& e : read()) {
        if (e.db != db)
            continue;
        if (!e.hasKey) {
            if (e.step == "open-closed" && s.started && !s.closed)
                s.openSettled = true;
            continue;
        }
        if (!(e.key == key))
            continue;
        if (e.step == "started") {
            s.started = true;
            s.closing = false;
            s.closed = false;
            s.openSettled = false;
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
    return s;
}

std::vector<CouponKey> CouponJournal::unfinishedEmptying(const std::string& db) const
{
    std::vector<CouponKey> open;
    for (const Entry& e : read()) {
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

} // namespace ecf::coupon

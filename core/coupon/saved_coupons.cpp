#include "coupon/saved_coupons.h"

#include "common/errors.h"
#include "common/fault_point.h"
#include "common/state_folder.h"
#include "common/system_log.h"
#include "common/text.h"
#include "common/trace.h"
#include "data/paradox/px.h"
#include "data/table.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace fs = std::filesystem;

namespace ecf::coupon {

namespace px = data::px;

namespace {

constexpr const char* headerFile = "CFCABEC.DB";
constexpr const char* itemsFile = "CFITENS.DB";
constexpr const char* infoFile = "coupon.json";
constexpr const char* restoredMark = "restored";

// A copy of a table: the same fields and code page, unkeyed, every record appended durably.
void copyTable(const px::PxTable& from, const fs::path& to)
{
    px::createTable(to, from.fields(), from.info().codePage);
    for (const px::Record& r : from.records())
        px::appendRecord(to, r);
}

std::string stamp(const common::DateTime& t, const char* format)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, format, t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

bool isEmptyTable(const fs::path& file)
{
    return px::PxTable::read(file).records().empty();
}

} // namespace

SavedCoupons SavedCoupons::inStateFolder()
{
    return SavedCoupons(common::makeStateFolder() / "saved");
}

SavedCoupons::SavedCoupons(fs::path root) : root_(std::move(root)) {}

SavedCoupon SavedCoupons::save(const fs::path& cabecFile, const fs::path& itensFile, const std::string& db,
                               const std::optional<CouponKey>& key, const std::string& reason, const common::DateTime& now,
                               bool printerClosed)
{
    // Read both before anything is written: a table that cannot be read is not half saved.
    const px::PxTable cabec = px::PxTable::read(cabecFile);
    const px::PxTable itens = px::PxTable::read(itensFile);

    std::error_code ec;
    fs::create_directories(root_, ec);
    if (ec)
        throw common::FileError("Cannot create the folder of saved coupons " + root_.string() + ": " + ec.message());
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::replace, ec); // customers' data: owner only

    SavedCoupon c;
    const std::string base = stamp(now, "%04d%02d%02d-%02d%02d%02d");
    c.id = base;
    for (int n = 2; fs::exists(root_ / c.id, ec) || fs::exists(root_ / ("." + c.id + ".part"), ec); ++n)
        c.id = base + "-" + std::to_string(n);
    c.folder = root_ / c.id;
    c.db = db;
    c.headers = cabec.records().size();
    c.items = itens.records().size();
    c.reason = reason;
    c.printerClosed = printerClosed;
    c.when = stamp(now, "%04d-%02d-%02d %02d:%02d:%02d");
    c.codePage = cabec.info().codePage;

    // Built under a hidden name and renamed when whole and synced.
    const fs::path part = root_ / ("." + c.id + ".part");
    fs::create_directory(part, ec);
    if (ec)
        throw common::FileError("Cannot create the folder " + part.string() + ": " + ec.message());
    fs::permissions(part, fs::perms::owner_all, fs::perm_options::replace, ec); // its tables are made 0600
    copyTable(cabec, part / headerFile);
    copyTable(itens, part / itemsFile);

    nlohmann::json info;
    info["db"] = common::latin1ToUtf8(db);
    info["reason"] = reason;
    info["when"] = c.when;
    info["headers"] = c.headers;
    info["items"] = c.items;
    info["code_page"] = c.codePage;
    info["printer_closed"] = c.printerClosed;
    if (key) {
        c.hasKey = true;
        c.key = *key;
        nlohmann::json k = nlohmann::json::array();
        for (const std::string& v : key->values)
            k.push_back(common::latin1ToUtf8(v));
        info["key"] = k;
    }
    common::writeSynced(part / infoFile, info.dump());
    common::syncFolder(part);
    fs::rename(part, c.folder, ec);
    if (ec)
        throw common::FileError("Cannot rename " + part.string() + " to " + c.folder.string() + ": " + ec.message());
    common::syncFolder(root_);
    return c;
}

std::optional<SavedCoupon> SavedCoupons::load(const fs::path& folder) const
{
    std::ifstream in(folder / infoFile, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    const nlohmann::json j = nlohmann::json::parse(ss.str(), nullptr, false);
    if (!j.is_object())
        return std::nullopt;
    SavedCoupon c;
    c.id = folder.filename().string();
    c.folder = folder;
    c.db = common::utf8ToLatin1(j.value("db", ""));
    c.reason = j.value("reason", "");
    c.when = j.value("when", "");
    c.headers = j.value("headers", std::size_t{0});
    c.items = j.value("items", std::size_t{0});
    c.codePage = j.value("code_page", 1252);
    c.printerClosed = j.value("printer_closed", false);
    if (j.contains("key") && j["key"].is_array() && j["key"].size() == c.key.values.size()) {
        c.hasKey = true;
        for (std::size_t i = 0; i < c.key.values.size(); ++i)
            c.key.values[i] = j["key"][i].is_string() ? common::utf8ToLatin1(j["key"][i].get<std::string>()) : "";
    }
    return c;
}

std::vector<SavedCoupon> SavedCoupons::pending() const
{
    std::vector<SavedCoupon> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(root_, ec)) {
        const std::string name = e.path().filename().string();
        if (name.empty() || name[0] == '.' || !e.is_directory(ec) || fs::exists(e.path() / restoredMark, ec))
            continue;
        if (auto c = load(e.path()))
            out.push_back(std::move(*c));
    }
    std::sort(out.begin(), out.end(), [](const SavedCoupon& a, const SavedCoupon& b) { return a.id < b.id; });
    return out;
}

std::optional<SavedCoupon> SavedCoupons::find(const std::string& id) const
{
    if (id.empty() || id[0] == '.' || id.find('/') != std::string::npos || id == "..")
        return std::nullopt;
    std::error_code ec;
    if (!fs::is_directory(root_ / id, ec))
        return std::nullopt;
    return load(root_ / id);
}

CouponJournal SavedCoupons::journal() const
{
    return CouponJournal(root_.parent_path() / "coupons.journal");
}

void SavedCoupons::restore(const SavedCoupon& copy, const fs::path& cabecFile, const fs::path& itensFile)
{
    std::error_code ec;
    if (fs::exists(copy.folder / restoredMark, ec))
        throw common::DatabaseError("The saved coupon " + copy.id + " was already put back");
    for (const fs::path& f : {cabecFile, itensFile})
        if (!isEmptyTable(f))
            throw common::DatabaseError("The table " + f.string() +
                                        " is not empty: a pending coupon is there; print it first");
    CouponJournal j = journal();
    const std::string db = copy.db.empty() ? currentDatabase() : copy.db;
    if (copy.hasKey)
        j.restoring(db, copy.key, copy.id);
    common::faultPoint("step:restoring");
    putBack(copy, cabecFile, itensFile);
    if (copy.hasKey)
        j.restored(db, copy.key);
    common::systemLog("saved coupon " + copy.id + " put back into the hand-off tables of " + common::latin1ToUtf8(db) +
                      (copy.printerClosed ? " (the printer had closed it)" : ""));
}

void SavedCoupons::putBack(const SavedCoupon& copy, const fs::path& cabecFile, const fs::path& itensFile)
{
    const px::PxTable cabec = px::PxTable::read(copy.folder / headerFile);
    const px::PxTable itens = px::PxTable::read(copy.folder / itemsFile);
    // The undoing is written ahead, so that it needs no free space when the disk fills up.
    px::prepareEmptyTable(itensFile);
    px::prepareEmptyTable(cabecFile);
    try {
        for (const px::Record& r : itens.records()) {
            px::appendRecord(itensFile, r);
            common::faultPoint("step:restore-item");
        }
        for (const px::Record& r : cabec.records())
            px::appendRecord(cabecFile, r);
        common::faultPoint("step:restore-header");
        common::writeSynced(copy.folder / restoredMark, copy.when + "\n");
        common::syncFolder(copy.folder);
        common::faultPoint("step:restore-marked");
    } catch (...) {
        px::emptyTable(cabecFile);
        px::emptyTable(itensFile);
        if (copy.hasKey)
            journal().restoreUndone(copy.db.empty() ? currentDatabase() : copy.db, copy.key);
        throw;
    }
    px::discardPreparedEmptying(itensFile);
    px::discardPreparedEmptying(cabecFile);
}

std::vector<std::string> SavedCoupons::finishRestores(const std::string& db, data::Table& cabec, data::Table& itens)
{
    std::vector<std::string> told;
    CouponJournal j = journal();
    std::error_code ec;
    if (!fs::exists(j.file(), ec))
        return told;
    const fs::path cabecFile = data::Database::tablePath(cabec.tableName());
    const fs::path itensFile = data::Database::tablePath(itens.tableName());
    for (const auto& [key, id] : j.unfinishedRestores(db)) {
        bool empty = true, ours = true;
        {
            const data::CloseOnExit guard(cabec);
            cabec.open();
            empty = cabec.isEmpty();
            ours = empty || (cabec.recordCount() == 1 && CouponKey::of(cabec) == key);
            cabec.close();
        }
        const std::optional<SavedCoupon> copy = find(id);
        const std::string num = common::toUtf8(common::trim(key.values[1]));
        if (!ours || !copy) {
            j.restoreUndone(db, key);
            told.push_back("A reposição da cópia salva " + id + " (cupom " + num +
                           ") foi interrompida e não pôde ser concluída: a cópia continua salva.");
            continue;
        }
        if (fs::exists(copy->folder / restoredMark, ec) && !empty) {
            j.restored(db, key); // it had ended but for its last line
            continue;
        }
        fs::remove(copy->folder / restoredMark, ec);
        px::emptyTable(itensFile);
        px::emptyTable(cabecFile);
        putBack(*copy, cabecFile, itensFile);
        j.restored(db, key);
        told.push_back("A reposição da cópia salva " + id + " (cupom " + num +
                       ") foi interrompida e foi concluída agora: o cupom está pendente para impressão.");
    }
    return told;
}

} // namespace ecf::coupon

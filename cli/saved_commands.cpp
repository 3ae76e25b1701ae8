// pending and restore: the coupons saved because they were not printed whole.
#include "commands.h"

#include "common/errors.h"
#include "common/text.h"
#include "coupon/coupon_journal.h"
#include "coupon/saved_coupons.h"
#include "data/table.h"

#include <ostream>

namespace ecf::cli {

namespace {

std::string describe(const coupon::SavedCoupon& c)
{
    std::string s = c.id + "  " + c.when + "  ";
    s += c.hasKey ? c.key.describe(c.codePage) : std::string("(no header)");
    s += ", " + std::to_string(c.items) + (c.items == 1 ? " item" : " items");
    s += ", from " + common::latin1ToUtf8(c.db);
    if (!c.reason.empty())
        s += ": " + c.reason;
    return s;
}

} // namespace

std::string PendingCommand::description() const
{
    return "the coupons saved because they were not printed whole (for restore)";
}

int PendingCommand::run(const std::vector<std::string>& args, Streams& io)
{
    if (!args.empty())
        throw UsageError("pending takes no arguments");
    try {
        const auto copies = coupon::SavedCoupons::inStateFolder().pending();
        if (copies.empty())
            io.out << "no saved coupon\n";
        for (const auto& c : copies)
            io.out << describe(c) << '\n';
    } catch (const common::Error& e) {
        io.err << "ecf-cli: " << e.what() << '\n';
        return kExitError;
    }
    return kExitOk;
}

std::string RestoreCommand::description() const
{
    return "put a saved coupon back into the empty hand-off tables, to print it again";
}

int RestoreCommand::run(const std::vector<std::string>& args, Streams& io)
{
    if (args.size() != 1)
        throw UsageError("restore takes the ID of a saved coupon (see pending)");
    try {
        coupon::SavedCoupons saved = coupon::SavedCoupons::inStateFolder();
        const auto copy = saved.find(args[0]);
        if (!copy) {
            io.err << "ecf-cli: no saved coupon " << args[0] << " (ecf-cli pending lists them)\n";
            return kExitError;
        }
        const std::string db = coupon::currentDatabase();
        if (!copy->db.empty() && copy->db != db) {
            io.err << "ecf-cli: the saved coupon " << copy->id << " comes from " << common::latin1ToUtf8(copy->db)
                   << ", not from " << common::latin1ToUtf8(db) << " (VANTIS_DIR)\n";
            return kExitError;
        }
        saved.restore(*copy, data::Database::tablePath("CFCABEC.DB"), data::Database::tablePath("CFITENS.DB"));
        if (copy->hasKey)
            coupon::CouponJournal::inStateFolder().restored(db, copy->key);
        io.out << "restored " << describe(*copy) << '\n';
    } catch (const common::Error& e) {
        io.err << "ecf-cli: " << common::latin1ToUtf8(e.what()) << '\n';
        return kExitError;
    }
    return kExitOk;
}

} // namespace ecf::cli

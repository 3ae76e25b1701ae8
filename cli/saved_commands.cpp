// pending and restore: the coupons saved because they were not printed whole.
#include "commands.h"

#include "common/errors.h"
#include "common/text.h"
#include "coupon/coupon_journal.h"
#include "coupon/hand_off_lock.h"
#include "coupon/saved_coupons.h"
#include "data/table.h"

#include <algorithm>
#include <ostream>

namespace ecf::cli {

namespace {

std::string describe(const coupon::SavedCoupon& c)
{
    std::string s = c.id + "  " + c.when + "  ";
    s += c.hasKey ? c.key.describe(c.codePage) : std::string("(no header)");
    s += ", " + std::to_string(c.items) + (c.items == 1 ? " item" : " items");
    s += ", from " + common::latin1ToUtf8(c.db);
    s += c.printerClosed ? ", closed by the printer (or it may have been)" : ", not closed by the printer";
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

int RestoreCommand::run(const std::vector<std::string>& argsIn, Streams& io)
{
    std::vector<std::string> args = argsIn;
    const auto againAt = std::find(args.begin(), args.end(), "--again");
    const bool again = againAt != args.end();
    if (again)
        args.erase(againAt);
    if (args.size() != 1)
        throw UsageError("restore takes the ID of a saved coupon (see pending), and --again for one the printer closed");
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
        if (copy->printerClosed && !again) {
            io.err << "ecf-cli: the printer closed the saved coupon " << copy->id
                   << " (or may have): printing it again sells it twice. Check the printer's paper; "
                      "restore " << copy->id << " --again puts it back all the same\n";
            return kExitNotDone;
        }
        // Not while an ECF prints on this database; what a cut-short run left is settled first.
        coupon::HandOffLock lock(data::Database::folder());
        if (!lock.take(coupon::HandOffLock::patience)) {
            io.err << "ecf-cli: another ECF is printing this database's coupon; try again when it has ended\n";
            return kExitNotDone;
        }
        data::Table cabec("CFCABEC.DB"), itens("CFITENS.DB");
        const auto isPending = [&] {
            const auto copies = saved.pending();
            return std::any_of(copies.begin(), copies.end(), [&](const auto& c) { return c.id == copy->id; });
        };
        const bool wasPending = isPending();
        for (const std::string& line : saved.finishRestores(db, cabec, itens))
            io.out << line << '\n';
        if (wasPending && !isPending()) {
            io.out << "restored " << describe(*copy) << '\n'; // a putting back cut short, now finished
            return kExitOk;
        }
        saved.restore(*copy, data::Database::tablePath("CFCABEC.DB"), data::Database::tablePath("CFITENS.DB"));
        io.out << "restored " << describe(*copy) << '\n';
    } catch (const common::Error& e) {
        io.err << "ecf-cli: " << common::latin1ToUtf8(e.what()) << '\n';
        return kExitError;
    }
    return kExitOk;
}

} // namespace ecf::cli

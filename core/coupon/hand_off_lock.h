#pragma once
// One ECF at a time on a database's hand-off tables, whatever its state folder: an advisory
// lock (flock) on a hidden file in the database folder, held from the start-up check of a
// pending coupon to the emptying of its tables. A second ECF started on the same database
// meanwhile (two clicks on the host's print button) waits a little, then gives up without
// sending anything to the printer.
#include <chrono>
#include <filesystem>

namespace ecf::coupon {

class HandOffLock {
public:
    // The lock file of the database folder `folder` (not taken yet).
    explicit HandOffLock(std::filesystem::path folder);
    ~HandOffLock();
    HandOffLock(const HandOffLock&) = delete;
    HandOffLock& operator=(const HandOffLock&) = delete;

    // Takes the lock, trying for up to `wait`. false: another process holds it. A folder where
    // the lock file cannot be made (read-only) counts as taken: nothing there can be emptied,
    // and the check before printing says so.
    bool take(std::chrono::milliseconds wait);
    void release();
    bool held() const { return held_; }

    // How long a second ECF waits before it gives up.
    static constexpr std::chrono::milliseconds patience{5000};

private:
    std::filesystem::path file_;
    int fd_ = -1;
    bool held_ = false;
};

} // namespace ecf::coupon

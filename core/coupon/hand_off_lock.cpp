#include "coupon/hand_off_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace ecf::coupon {

HandOffLock::HandOffLock(std::filesystem::path folder) : file_(std::move(folder) / ".ecf-handoff.ecf-lock") {}

HandOffLock::~HandOffLock() { release(); }

bool HandOffLock::take(std::chrono::milliseconds wait)
{
    if (held_)
        return true;
    // Readable and writable by every user who prints on this database, as the tables are.
    fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        held_ = true;
        return true;
    }
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // A file system without locks: nothing better to do than go on, as before.
            held_ = true;
            return true;
        }
        if (std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::close(fd_);
    fd_ = -1;
    return false;
}

void HandOffLock::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    held_ = false;
}

} // namespace ecf::coupon

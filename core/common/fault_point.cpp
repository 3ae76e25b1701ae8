#include "common/fault_point.h"

#include <csignal>
#include <cstdlib>

namespace ecf::common {

namespace {

const char* armedPoint()
{
    static const char* const at = std::getenv("ECF_TEST_KILL");
    return at && *at ? at : nullptr;
}

const char* diskFullPoint()
{
    static const char* const at = std::getenv("ECF_TEST_DISK_FULL");
    return at && *at ? at : nullptr;
}

bool& diskFull()
{
    static bool full = diskFullPoint() && std::string_view(diskFullPoint()) == "start";
    return full;
}

} // namespace

bool faultPointsArmed() { return armedPoint() != nullptr || diskFullPoint() != nullptr; }

void faultPoint(std::string_view name)
{
    if (const char* at = armedPoint(); at && name == at)
        std::raise(SIGKILL);
    if (const char* at = diskFullPoint(); at && name == at)
        diskFull() = true;
}

bool diskFullInjected(const std::filesystem::path& file)
{
    if (!diskFull())
        return false;
    const char* db = std::getenv("VANTIS_DIR");
    if (!db || !*db)
        return false;
    std::error_code ec;
    const auto folder = std::filesystem::weakly_canonical(db, ec);
    const auto at = std::filesystem::weakly_canonical(file.parent_path().empty() ? "." : file.parent_path(), ec);
    return !ec && at == folder;
}

} // namespace ecf::common

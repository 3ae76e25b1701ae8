#include "report/report_settings.h"

#include <cstdlib>

namespace ecf::report {

ReportSettings& reportSettings()
{
    static ReportSettings settings;
    return settings;
}

std::filesystem::path driveC()
{
    if (const char* c = std::getenv("ECF_DRIVE_C"); c && *c)
        return c;
    std::filesystem::path home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    return home / ".ecf" / "C";
}

} // namespace ecf::report

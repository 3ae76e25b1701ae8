#include "common/system_log.h"

#include <string>
#include <syslog.h>

namespace ecf::common {

void systemLog(std::string_view line)
{
    static const bool opened = [] {
        ::openlog("ecf", LOG_PID, LOG_USER);
        return true;
    }();
    (void)opened;
    const std::string text(line);
    ::syslog(LOG_WARNING, "%s", text.c_str());
}

} // namespace ecf::common

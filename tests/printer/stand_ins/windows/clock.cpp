// The clock of the Windows stand-ins. The tests freeze the program's clock with libfaketime,
// which cannot reach a Windows process: the stand-ins read the same moment from FAKETIME
// ("YYYY-MM-DD hh:mm:ss") themselves, and the local time when it is not set.
#include "common/clock.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace ecf::common {

DateTime Clock::now() const
{
    DateTime d;
    if (const char* f = std::getenv("FAKETIME");
        f && std::sscanf(f, "%d-%d-%d %d:%d:%d", &d.year, &d.month, &d.day, &d.hour, &d.minute, &d.second) == 6)
        return d;
    SYSTEMTIME t;
    GetLocalTime(&t);
    d = {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
    return d;
}

} // namespace ecf::common

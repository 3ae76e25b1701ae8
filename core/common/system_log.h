#pragma once
// One line to the system log (syslog, ident "ecf"), for what a technician must see: a coupon
// saved, put back or not printed again, a fiscal operation the printer refused. The branch's
// usual log collection picks it up. Never throws.
#include <string_view>

namespace ecf::common {

void systemLog(std::string_view line);

} // namespace ecf::common

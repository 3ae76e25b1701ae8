#pragma once
// Fault injection for tests of what survives a crash: when the environment variable
// ECF_TEST_KILL equals a point's name, the process kills itself (SIGKILL) there. Points: "call:N"
// just after the Nth maker call of the run has returned and been traced; "step:NAME" after a
// step of a coupon's hand-off ("saved", "emptying", "items-emptied", "header-emptied").
#include <filesystem>
#include <string_view>

namespace ecf::common {

void faultPoint(std::string_view name);
// Whether a fault point is armed at all: a caller that builds a point's name builds it only then.
bool faultPointsArmed();

// A full disk for tests: when ECF_TEST_DISK_FULL names a point ("start", or a point's name as
// above), every file the table engine writes in the database folder (VANTIS_DIR) from that
// point on fails as on a full disk.
bool diskFullInjected(const std::filesystem::path& file);

} // namespace ecf::common

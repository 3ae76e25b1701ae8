#pragma once
// Whole writes to a file descriptor.
#include <string_view>

namespace ecf::common {

// Writes all of `data`, in as many write calls as it takes, retrying interrupted ones. False,
// with errno set, when a write fails.
bool writeFully(int fd, std::string_view data);

} // namespace ecf::common

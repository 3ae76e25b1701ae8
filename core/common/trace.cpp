#include "common/trace.h"

#include "common/errors.h"
#include "common/fd_io.h"
#include "common/text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ecf::common {

std::shared_ptr<Trace> Trace::fromEnvironment()
{
    const char* path = std::getenv("ECF_TRACE");
    if (!path || !*path)
        return nullptr;
    return std::make_shared<Trace>(path);
}

Trace::Trace(const std::string& path) : path_(path)
{
    // Only a regular file: a FIFO would hold the start until someone reads it, a device takes
    // lines nobody keeps. A trace this program creates is the owner's alone (it holds
    // customers' names), whatever the umask.
    const std::string where = "The trace file " + path + " (ECF_TRACE)";
    struct stat st {};
    const bool existed = ::stat(path.c_str(), &st) == 0;
    if (existed && !S_ISREG(st.st_mode))
        throw ConfigError(where + " is not a regular file (a folder, a device, a FIFO or a socket)");
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd_ < 0)
        throw ConfigError("Cannot open the trace file " + path + " (ECF_TRACE): " + std::strerror(errno));
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw ConfigError(where + " is not a regular file (a folder, a device, a FIFO or a socket)");
    }
    if (!existed && ::fchmod(fd_, S_IRUSR | S_IWUSR) != 0) {
        // the mode given at creation, less the umask, stands
    }
    ::fcntl(fd_, F_SETFL, O_APPEND); // writes wait again
}

Trace::~Trace()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void Trace::writeLine(std::string_view json)
{
    // One write per line: the line is in the file before the program goes on, and lines
    // from two processes appending to one trace do not interleave.
    std::string line;
    line.reserve(json.size() + 1);
    line.append(json);
    line.push_back('\n');
    if (!writeFully(fd_, line))
        throw ConfigError("Cannot write the trace file " + path_ + ": " + std::strerror(errno));
}

namespace json {

namespace {

void appendCodePoint(std::string& out, char32_t cp)
{
    switch (cp) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    default: break;
    }
    if (cp < 0x20 || cp == 0x7F) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
        out += buf;
    } else {
        common::appendUtf8(out, cp);
    }
}

} // namespace

void appendLatin1(std::string& out, std::string_view bytes)
{
    out.push_back('"');
    for (char c : bytes)
        appendCodePoint(out, static_cast<unsigned char>(c));
    out.push_back('"');
}

void appendUtf8(std::string& out, std::string_view s)
{
    out.push_back('"');
    for (std::size_t i = 0; i < s.size();)
        appendCodePoint(out, common::nextUtf8(s, i));
    out.push_back('"');
}

void appendUtf16(std::string& out, std::u16string_view w)
{
    out.push_back('"');
    for (std::size_t i = 0; i < w.size(); ++i) {
        char32_t cp = w[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendCodePoint(out, cp);
    }
    out.push_back('"');
}

} // namespace json
} // namespace ecf::common

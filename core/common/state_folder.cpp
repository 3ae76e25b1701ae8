#include "common/state_folder.h"

#include "common/errors.h"
#include "common/fd_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ecf::common {

namespace {

const char* env(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

FileError fileError(const std::string& what, const fs::path& p)
{
    return FileError(what + " " + p.string() + ": " + std::strerror(errno));
}

void writeAll(int fd, std::string_view data, const fs::path& file)
{
    if (!writeFully(fd, data))
        throw fileError("Cannot write", file);
}

void syncAndClose(int fd, const fs::path& file)
{
    if (::fsync(fd) != 0) {
        const FileError e = fileError("Cannot sync", file);
        ::close(fd);
        throw e;
    }
    ::close(fd);
}

} // namespace

fs::path stateFolder()
{
    if (const char* d = env("ECF_STATE_DIR"))
        return fs::path(d);
    if (const char* x = env("XDG_STATE_HOME"))
        return fs::path(x) / "ecf";
    if (const char* h = env("HOME"))
        return fs::path(h) / ".local" / "state" / "ecf";
    throw ConfigError("No folder for ECF's own state: set ECF_STATE_DIR (or XDG_STATE_HOME, or HOME)");
}

fs::path makeStateFolder()
{
    const fs::path dir = stateFolder();
    std::error_code ec;
    if (fs::is_directory(dir, ec))
        return dir;
    if (fs::exists(dir, ec))
        throw ConfigError("The state folder " + dir.string() + " (ECF_STATE_DIR) is not a folder");
    fs::create_directories(dir, ec);
    if (ec)
        throw ConfigError("Cannot create the state folder " + dir.string() + " (ECF_STATE_DIR): " + ec.message());
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
    return dir;
}

void appendSynced(const fs::path& file, std::string_view line)
{
    std::error_code ec;
    const bool existed = fs::exists(file, ec);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        throw fileError("Cannot open", file);
    std::string data(line);
    data.push_back('\n');
    try {
        writeAll(fd, data, file);
    } catch (...) {
        ::close(fd);
        throw;
    }
    syncAndClose(fd, file);
    if (!existed)
        syncFolder(file.parent_path().empty() ? fs::path(".") : file.parent_path());
}

void writeSynced(const fs::path& file, std::string_view content)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        throw fileError("Cannot create", file);
    try {
        writeAll(fd, content, file);
    } catch (...) {
        ::close(fd);
        throw;
    }
    syncAndClose(fd, file);
}

void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw fileError("Cannot open the folder", folder);
    syncAndClose(fd, folder);
}

} // namespace ecf::common

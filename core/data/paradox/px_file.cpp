#include "data/paradox/px_file.h"

#include "common/errors.h"
#include "common/fault_point.h"
#include "common/fd_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ecf::data::px::io {

namespace {

std::function<void(const std::string&)>& hook()
{
    static std::function<void(const std::string&)> h;
    return h;
}

void step(const std::string& s)
{
    if (hook())
        hook()(s);
}

[[noreturn]] void sysFail(const std::string& name, const std::string& what, int err)
{
    throw common::DatabaseError("Table " + name + ": " + what + " (" + std::strerror(err) + ")");
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

fs::path folderOf(const fs::path& p)
{
    fs::path d = p.parent_path();
    return d.empty() ? fs::path(".") : d;
}

// The mode of a new file in `file`'s folder: in a folder only its owner may use (ECF's state
// folder and its saved copies) the owner's alone, whatever the umask; elsewhere as the umask
// gives it, as other programs on the host database expect.
mode_t newFileMode(const fs::path& file)
{
    struct stat st {};
    if (::stat(folderOf(file).c_str(), &st) == 0 && (st.st_mode & 077) == 0)
        return S_IRUSR | S_IWUSR;
    return 0666;
}

// Opens a new file with the mode newFileMode gives, also where the umask would widen it.
int openNew(const fs::path& file, int flags)
{
    const mode_t mode = newFileMode(file);
    const int fd = ::open(file.c_str(), flags | O_CREAT | O_CLOEXEC, mode);
    if (fd >= 0 && mode != 0666)
        (void)::fchmod(fd, mode);
    return fd;
}

// A hidden file beside `file`: ".NAME" and the suffix.
fs::path hiddenBeside(const fs::path& file, std::string_view suffix)
{
    std::string name = ".";
    name += file.filename().string();
    name += suffix;
    return folderOf(file) / name;
}

fs::path tempFor(const fs::path& file) { return hiddenBeside(file, ".ecf-tmp"); }
fs::path journalFor(const fs::path& db) { return hiddenBeside(db, ".ecf-journal"); }
fs::path lockFor(const fs::path& db) { return hiddenBeside(db, ".ecf-lock"); }

void syncFolder(const fs::path& dir, const std::string& name)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        sysFail(name, "cannot open the folder to sync it", errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0 && err != EINVAL)
        sysFail(name, "cannot sync the folder", err);
}

void writeAll(int fd, const char* p, std::size_t n, const std::string& name)
{
    if (!common::writeFully(fd, std::string_view(p, n)))
        sysFail(name, "cannot write", errno);
}

// Writes `content` to `tmp` (a hidden file beside `file`) and syncs it; takes the mode and
// owner of the file it will replace.
void writeBeside(const fs::path& file, const fs::path& tmp, const std::string& content, const std::string& name,
                 bool steps = true)
{
    ::unlink(tmp.c_str());
    if (common::diskFullInjected(tmp))
        sysFail(name, "cannot write " + tmp.string(), ENOSPC);
    const int fd = openNew(tmp, O_WRONLY | O_EXCL);
    if (fd < 0)
        sysFail(name, "cannot create " + tmp.string(), errno);
    try {
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0) {
            (void)::fchmod(fd, st.st_mode & 07777);
            (void)!::fchown(fd, st.st_uid, st.st_gid);
        }
        const std::size_t half = content.size() / 2;
        writeAll(fd, content.data(), half, name);
        if (steps)
            step("temp-half:" + file.filename().string());
        writeAll(fd, content.data() + half, content.size() - half, name);
        if (::fsync(fd) != 0)
            sysFail(name, "cannot sync " + tmp.string(), errno);
    } catch (...) {
        ::close(fd);
        ::unlink(tmp.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        sysFail(name, "cannot write " + tmp.string(), err);
    }
    if (steps)
        step("temp:" + file.filename().string());
}

void writeTemp(const fs::path& file, const std::string& content, const std::string& name)
{
    writeBeside(file, tempFor(file), content, name);
}

fs::path preparedFor(const fs::path& file) { return hiddenBeside(file, ".ecf-ready"); }

// The journal of a commit: the names of its files, one a line.
std::string journalText(const std::vector<NewContent>& files)
{
    std::string list;
    for (const auto& f : files) {
        list += f.file.filename().string();
        list += '\n';
    }
    return list;
}

// Finishes a commit whose journal exists, or deletes the temporary files of one that never
// reached its journal.
void recover(const fs::path& db)
{
    const std::string name = db.string();
    const fs::path dir = folderOf(db);
    const fs::path journal = journalFor(db);
    std::error_code ec;
    if (fs::exists(journal, ec)) {
        std::ifstream in(journal);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty())
                continue;
            const fs::path target = dir / line;
            const fs::path tmp = tempFor(target);
            if (fs::exists(tmp, ec) && ::rename(tmp.c_str(), target.c_str()) != 0)
                sysFail(name, "cannot finish an interrupted write of " + target.string(), errno);
        }
        syncFolder(dir, name);
        ::unlink(journal.c_str());
        syncFolder(dir, name);
    }
    // Temporary files left by a commit that stopped before its journal.
    std::string stem = ".";
    stem += lower(db.stem().string());
    stem += '.';
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        const std::string n = e.path().filename().string();
        const std::string ln = lower(n);
        if (ln.size() > stem.size() + 8 && ln.rfind(stem, 0) == 0 && ln.ends_with(".ecf-tmp"))
            ::unlink(e.path().c_str());
    }
}

} // namespace

void setStepHook(std::function<void(const std::string&)> h) { hook() = std::move(h); }

namespace {

// The file's bytes; with `headerOnly`, only its header: the first bytes, up to the header size
// they name.
std::string readFile(const fs::path& file, const std::string& name, bool headerOnly)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        sysFail(name, "cannot open " + file.string(), errno);
    std::string out;
    const auto readUpTo = [&](std::size_t size) {
        std::size_t got = out.size();
        out.resize(size);
        while (got < out.size()) {
            const ssize_t r = ::read(fd, out.data() + got, out.size() - got);
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                sysFail(name, "cannot read " + file.string(), errno);
            }
            if (r == 0)
                break;
            got += static_cast<std::size_t>(r);
        }
        out.resize(got);
    };
    try {
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            sysFail(name, "cannot read " + file.string(), errno);
        if (!S_ISREG(st.st_mode))
            throw common::DatabaseError("Table " + name + ": " + file.string() + " is not a regular file");
        const auto size = static_cast<std::size_t>(st.st_size);
        if (!headerOnly) {
            readUpTo(size);
        } else {
            // Headers are mostly 2k or 4k; the header size is the second 16-bit word.
            readUpTo(std::min<std::size_t>(size, 4096));
            if (out.size() >= 4) {
                const std::size_t headerSize = static_cast<unsigned char>(out[2]) | static_cast<unsigned char>(out[3]) << 8;
                if (headerSize > out.size())
                    readUpTo(std::min(size, headerSize));
            }
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return out;
}

} // namespace

std::string readWhole(const fs::path& file, const std::string& name) { return readFile(file, name, false); }

std::string readHeader(const fs::path& file, const std::string& name) { return readFile(file, name, true); }

std::optional<fs::path> sibling(const fs::path& db, const std::string& ext)
{
    const fs::path dir = folderOf(db);
    const std::string stem = db.stem().string();
    std::error_code ec;
    for (const std::string& e : {ext, lower(ext)}) {
        fs::path p = dir / (stem + "." + e);
        if (fs::is_regular_file(p, ec))
            return p;
    }
    const std::string want = lower(stem + "." + ext);
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (lower(e.path().filename().string()) == want && e.is_regular_file(ec))
            return e.path();
    return std::nullopt;
}

TableLock::TableLock(const fs::path& db, bool exclusive)
{
    const std::string name = db.string();
    const fs::path lock = lockFor(db);
    std::error_code ec;
    const bool pending = fs::exists(journalFor(db), ec);
    if (exclusive || pending) {
        fd_ = openNew(lock, O_RDWR);
        if (fd_ < 0 && exclusive)
            sysFail(name, "cannot create the lock file " + lock.string(), errno);
    } else {
        fd_ = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd_ < 0)
        return; // a read in a folder we cannot write to
    const bool ex = exclusive || pending;
    while (::flock(fd_, ex ? LOCK_EX : LOCK_SH) != 0) {
        if (errno != EINTR) {
            const int err = errno;
            ::close(fd_);
            fd_ = -1;
            sysFail(name, "cannot lock the table", err);
        }
    }
    if (ex) {
        try {
            recover(db);
        } catch (...) {
            ::close(fd_);
            fd_ = -1;
            throw;
        }
    }
}

TableLock::~TableLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

// The renames of a commit whose temporary files are written and synced (and whose journal,
// when it has one, is in place): each temporary file over its file, in order.
void renameInPlace(const fs::path& db, const std::vector<NewContent>& files, bool journaled)
{
    const std::string name = db.string();
    const fs::path dir = folderOf(db);
    for (const auto& f : files) {
        const fs::path tmp = tempFor(f.file);
        if (f.create && !journaled) {
            // link() fails when the file appeared meanwhile: a new table never replaces one.
            // Where the file system has no hard links (network shares), the check made under
            // our lock above stands, and a rename puts the file in place.
            if (::link(tmp.c_str(), f.file.c_str()) == 0) {
                ::unlink(tmp.c_str());
            } else if (const int err = errno;
                       (err != EPERM && err != ENOTSUP && err != EOPNOTSUPP && err != ENOSYS) ||
                       ::rename(tmp.c_str(), f.file.c_str()) != 0) {
                ::unlink(tmp.c_str());
                sysFail(name, "cannot create " + f.file.string(), err);
            }
        } else if (::rename(tmp.c_str(), f.file.c_str()) != 0) {
            sysFail(name, "cannot replace " + f.file.string(), errno);
        }
        step("rename:" + f.file.filename().string());
    }
    syncFolder(dir, name);
    step("synced");
    if (journaled) {
        ::unlink(journalFor(db).c_str());
        syncFolder(dir, name);
    }
    step("done");
}

} // namespace

void commit(const fs::path& db, const std::vector<NewContent>& files)
{
    const std::string name = db.string();
    const fs::path dir = folderOf(db);
    for (const auto& f : files) {
        std::error_code ec;
        if (f.create && fs::exists(f.file, ec))
            throw common::DatabaseError("Table " + name + ": " + f.file.string() + " already exists");
    }
    for (const auto& f : files)
        writeTemp(f.file, f.content, name);
    const bool journaled = files.size() > 1;
    if (journaled) {
        const fs::path journal = journalFor(db);
        const fs::path tmp = hiddenBeside(db, ".ecf-journal.ecf-tmp");
        writeBeside(journal, tmp, journalText(files), name, false);
        if (::rename(tmp.c_str(), journal.c_str()) != 0)
            sysFail(name, "cannot write the journal " + journal.string(), errno);
        syncFolder(dir, name);
        step("journal");
    }
    renameInPlace(db, files, journaled);
}

void prepare(const fs::path& db, const std::vector<NewContent>& files)
{
    const std::string name = db.string();
    try {
        for (const auto& f : files)
            writeBeside(f.file, preparedFor(f.file), f.content, name);
        if (files.size() > 1)
            writeBeside(journalFor(db), preparedFor(journalFor(db)), journalText(files), name, false);
        syncFolder(folderOf(db), name);
    } catch (...) {
        discardPrepared(db, files);
        throw;
    }
}

bool commitPrepared(const fs::path& db, const std::vector<NewContent>& files)
{
    const std::string name = db.string();
    const fs::path dir = folderOf(db);
    const bool journaled = files.size() > 1;
    std::error_code ec;
    for (const auto& f : files) {
        const fs::path ready = preparedFor(f.file);
        if (f.create || !fs::is_regular_file(ready, ec) || readWhole(ready, name) != f.content)
            return false;
    }
    if (journaled && !fs::is_regular_file(preparedFor(journalFor(db)), ec))
        return false;
    // Renames only: the temporary files first (an interruption here leaves them to be
    // discarded), then the journal, the commit point, then the files as any commit does.
    for (const auto& f : files)
        if (::rename(preparedFor(f.file).c_str(), tempFor(f.file).c_str()) != 0)
            sysFail(name, "cannot use the prepared " + f.file.string(), errno);
    if (journaled) {
        const fs::path journal = journalFor(db);
        if (::rename(preparedFor(journal).c_str(), journal.c_str()) != 0)
            sysFail(name, "cannot write the journal " + journal.string(), errno);
        syncFolder(dir, name);
        step("journal");
    }
    renameInPlace(db, files, journaled);
    return true;
}

void discardPrepared(const fs::path& db, const std::vector<NewContent>& files)
{
    for (const auto& f : files)
        ::unlink(preparedFor(f.file).c_str());
    ::unlink(preparedFor(journalFor(db)).c_str());
}

} // namespace ecf::data::px::io

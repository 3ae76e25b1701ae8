#pragma once
// Durable, atomic file work of the table engine: whole-file reads, the advisory lock that
// guards a table among our own processes, and the commit of new file contents.
//
// A commit writes every new file to a temporary file in the table's folder and syncs it; when
// several files change together it then writes a journal naming them (the commit point);
// then it renames each temporary file over its file, in the order given, syncs the folder and
// removes the journal. An interrupted commit is finished (journal present) or discarded (no
// journal: the temporary files are deleted) by the next reader or writer of the table, so a
// table is always seen whole, old or new.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ecf::data::px::io {

// The whole content of a file; throws DatabaseError naming `name` when it cannot be read.
std::string readWhole(const std::filesystem::path& file, const std::string& name);
// The header of a table or index file: its first bytes, as many as the header size it names
// (the whole file when it is shorter). Throws as readWhole does.
std::string readHeader(const std::filesystem::path& file, const std::string& name);

// A file beside `db` with the same stem and this extension, matched case-insensitively.
std::optional<std::filesystem::path> sibling(const std::filesystem::path& db, const std::string& ext);

// The lock of one table (a hidden lock file beside it, flock). Exclusive locks create the
// lock file; a shared lock is taken only when the lock file exists (read-only folders).
// Either way an interrupted commit of the table is finished or discarded first.
class TableLock {
public:
    TableLock(const std::filesystem::path& db, bool exclusive);
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

private:
    int fd_ = -1;
};

struct NewContent {
    std::filesystem::path file;
    std::string content;
    bool create = false; // the file must not exist yet
};

// Commits the files in the given order (see above); the caller holds the exclusive lock.
void commit(const std::filesystem::path& db, const std::vector<NewContent>& files);

// A commit written ahead: every file's new content (and the journal) written and synced beside
// it under hidden names, so that commitPrepared needs no free space. Throws DatabaseError
// (and leaves nothing) when they cannot be written.
void prepare(const std::filesystem::path& db, const std::vector<NewContent>& files);
// Commits `files` with renames only, when prepare wrote exactly these contents; false (and
// nothing done) otherwise. The caller holds the exclusive lock.
bool commitPrepared(const std::filesystem::path& db, const std::vector<NewContent>& files);
// Removes what prepare wrote for `files`, if anything.
void discardPrepared(const std::filesystem::path& db, const std::vector<NewContent>& files);

// Tests: called at each step of a commit with the step's name ("temp-half:<file>",
// "temp:<file>", "journal", "rename:<file>", "synced", "done").
void setStepHook(std::function<void(const std::string& step)> hook);

} // namespace ecf::data::px::io

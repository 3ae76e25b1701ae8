#pragma once
// ECF's own state folder (the journal of coupon issues, the saved copies of coupons not printed
// whole): ECF_STATE_DIR when set, else $XDG_STATE_HOME/ecf, else ~/.local/state/ecf. And the
// small durable file steps that state needs.
#include <filesystem>
#include <string_view>

namespace ecf::common {

// The folder, whether or not it exists yet. Throws ConfigError when none can be named (no
// ECF_STATE_DIR, no XDG_STATE_HOME and no HOME).
std::filesystem::path stateFolder();
// The folder, created (owner only) with its parents when missing. Throws ConfigError naming
// the folder when it cannot be made or is not a folder.
std::filesystem::path makeStateFolder();

// Appends `line` and a line feed to `file` with one write, then syncs the file (and its
// folder when the file is new). Throws FileError naming the file.
void appendSynced(const std::filesystem::path& file, std::string_view line);
// Writes a new file whole and syncs it (not the folder). Throws FileError.
void writeSynced(const std::filesystem::path& file, std::string_view content);
// Syncs a folder's entries (after a file in it was created or renamed). Throws FileError.
void syncFolder(const std::filesystem::path& folder);

} // namespace ecf::common

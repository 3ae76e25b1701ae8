#pragma once
// The program's side of a maker library loaded in the helper process ecf-maker-host: starts the
// helper for one library, checks that every function of the family's table is there, and makes
// calls through it. A call the helper does not answer in time, or a helper that dies or reports
// a fault, fails the call: it gets the function's failure result and every later call fails at
// once, until the helper is opened again.
#include "printer/library/maker_protocol.h"
#include "printer/library/maker_signatures.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace ecf::printer::library {

struct HostSettings {
    std::filesystem::path helperDir;                // where ecf-maker-host(32) stands
    std::chrono::milliseconds timeout{90'000};      // one call, and the loading of the library
    std::string wine = "wine";                      // the Wine launcher, for Windows libraries
    std::filesystem::path winePrefix;               // empty: WINEPREFIX as set (or ECF's own)
};

// The helper's folder (the running executable's, or libexec/ecf beside its bin folder when
// installed), ECF_LIB_TIMEOUT (seconds; default 90; a value that is not a positive whole
// number throws common::ConfigError naming it), ECF_WINE, and the Wine prefix: WINEPREFIX,
// or else "wine" in ECF's state folder.
HostSettings hostSettingsFromEnvironment();

// The library's ELF class: 32, 64, or 0 when the file is not an ELF object.
int elfClass(const std::filesystem::path& file);
// The machine of a Windows (PE) file: 0x14c for 32-bit x86, 0x8664 for x64, ...; 0 when the
// file is not a PE file.
int peMachine(const std::filesystem::path& file);

class MakerHost {
public:
    MakerHost(const LibraryFamily& family, std::filesystem::path library, HostSettings settings);
    ~MakerHost();
    MakerHost(const MakerHost&) = delete;
    MakerHost& operator=(const MakerHost&) = delete;

    const LibraryFamily& family() const { return family_; }
    const std::filesystem::path& library() const { return library_; }
    // The library is a Windows one, loaded by ecf-maker-host32.exe under Wine.
    bool underWine() const { return windows_; }

    // Starts the helper and loads the library (a helper that failed is started afresh; a
    // running one is kept). Empty when ready; otherwise the operator's message, which names
    // the library file and, for a missing function, the function.
    std::optional<std::string> open();
    // Ends the helper.
    void close();
    bool running() const { return pid_ > 0; }

    // Calls the function at `index` of the family's table with its arguments (as many as its signature has); the
    // buffers ('b') and integers ('r') the library fills are updated in `args`. When the
    // library does not answer, returns the function's failure result and leaves `args` as they
    // were; the first such call of a helper reports its message to the failure handler.
    wire::Value call(int index, std::vector<wire::Value>& args);
    bool failed() const { return failed_; }

    // Told once per failed helper, with the operator's message.
    std::function<void(const std::string&)> onFailure;
    // Told what the operator should know while waiting (the Wine prefix being made).
    std::function<void(const std::string&)> onNotice;

private:
    bool send(const std::string& frame, std::string& why);
    bool exchange(const std::string& frame, std::string& payload, std::string& why);
    bool readFrame(std::string& payload, std::chrono::steady_clock::time_point deadline, std::string& why);
    void fail(std::string message);
    void end(bool kill);
    bool classIdentifier() const;
    std::optional<std::string> prepareWine(std::vector<std::string>& command, std::vector<std::string>& environment);

    const LibraryFamily& family_;
    std::filesystem::path library_;
    HostSettings settings_;
    bool windows_ = false;
    pid_t pid_ = -1;
    int fd_ = -1;
    bool failed_ = false;
    std::string failure_;
};

} // namespace ecf::printer::library

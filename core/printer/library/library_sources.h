#pragma once
// The maker libraries the technician named (ECF_LIB_SCHALTER, ECF_LIB_MP20, ECF_LIB_SWEDA,
// ECF_LIB_DARUMA, ECF_LIB_BEMAFI32, ECF_LIB_SIGTRON: each family's own variable): for each,
// the helper process that loads it. The family's hosted library over that helper takes the
// emulator's place behind its traced wrapper; families without a library keep the emulator.
#include "printer/library/maker_host.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ecf::printer::library {

class LibrarySources {
public:
    // `libraries`: family name ("daruma", ...) to library file; a name of no family with a
    // maker library is passed over.
    LibrarySources(std::map<std::string, std::filesystem::path, std::less<>> libraries, HostSettings settings);
    ~LibrarySources();
    // The variables of the environment (ECF_LIB_SIGTRON: the Sigtron control's file or class).
    static std::unique_ptr<LibrarySources> fromEnvironment();

    // The helper of a family with a library, or null.
    MakerHost* host(std::string_view family);

    // Told when a library fails in the middle of an operation, with the operator's message.
    void setFailureHandler(const std::function<void(const std::string&)>& handler);
    // Told what the operator should know while a library is being prepared.
    void setNoticeHandler(const std::function<void(const std::string&)>& handler);
    // Ends every helper.
    void closeAll();

private:
    std::map<std::string, std::unique_ptr<MakerHost>, std::less<>> hosts_;
};

// The maker library's functions of the family of that name, or null.
const LibraryFamily* findLibraryFamily(std::string_view family);

} // namespace ecf::printer::library

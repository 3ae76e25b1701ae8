#pragma once
// The maker libraries the technician named (ECF_LIB_SCHALTER, ECF_LIB_MP20, ECF_LIB_SWEDA,
// ECF_LIB_DARUMA, ECF_LIB_BEMAFI32): for each, the helper process that loads it and the maker
// interface served by it, which takes the emulator's place behind the family's traced wrapper.
// Families without a library keep the emulator.
#include "printer/library/hosted_libs.h"

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
    // `libraries`: family name ("daruma", ...) to library file.
    LibrarySources(std::map<std::string, std::filesystem::path, std::less<>> libraries, HostSettings settings);
    ~LibrarySources();
    // The variables of the environment (ECF_LIB_SIGTRON: the Sigtron control's file or class).
    static std::unique_ptr<LibrarySources> fromEnvironment();

    // The interface served by the family's library, or null (the emulator serves it).
    schalter::SchalterLib* schalter() { return schalter_.get(); }
    mp20::Mp20Lib* mp20() { return mp20_.get(); }
    sweda::SwedaLib* sweda() { return sweda_.get(); }
    daruma::DarumaLib* daruma() { return daruma_.get(); }
    bemafi32::BemaFI32Lib* bemafi32() { return bemafi32_.get(); }
    sigtron::SigtronLib* sigtron() { return sigtron_.get(); }

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
    std::unique_ptr<HostedSchalter> schalter_;
    std::unique_ptr<HostedMp20> mp20_;
    std::unique_ptr<HostedSweda> sweda_;
    std::unique_ptr<HostedDaruma> daruma_;
    std::unique_ptr<HostedBemaFI32> bemafi32_;
    std::unique_ptr<HostedSigtron> sigtron_;
};

} // namespace ecf::printer::library

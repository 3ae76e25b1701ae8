#include "printer/library/library_sources.h"

#include <cstdlib>

namespace ecf::printer::library {

LibrarySources::LibrarySources(std::map<std::string, std::filesystem::path, std::less<>> libraries,
                               HostSettings settings)
{
    for (auto& [family, file] : libraries) {
        const LibraryFamily* f = findLibraryFamily(family);
        if (!f)
            continue;
        auto& host = hosts_[f->family];
        host = std::make_unique<MakerHost>(*f, file, settings);
        const std::string_view name = f->family;
        if (name == "schalter")
            schalter_ = std::make_unique<HostedSchalter>(*host);
        else if (name == "mp20")
            mp20_ = std::make_unique<HostedMp20>(*host);
        else if (name == "sweda")
            sweda_ = std::make_unique<HostedSweda>(*host);
        else if (name == "daruma")
            daruma_ = std::make_unique<HostedDaruma>(*host);
        else if (name == "bemafi32")
            bemafi32_ = std::make_unique<HostedBemaFI32>(*host);
        else if (name == "sigtron")
            sigtron_ = std::make_unique<HostedSigtron>(*host);
    }
}

LibrarySources::~LibrarySources()
{
    closeAll();
}

std::unique_ptr<LibrarySources> LibrarySources::fromEnvironment()
{
    std::map<std::string, std::filesystem::path, std::less<>> libraries;
    for (const LibraryFamily& f : libraryFamilies())
        if (const char* v = std::getenv(f.variable); v && *v)
            libraries[f.family] = v;
    if (const char* v = std::getenv(sigtronControl().variable); v && *v)
        libraries[sigtronControl().family] = v;
    return std::make_unique<LibrarySources>(std::move(libraries), hostSettingsFromEnvironment());
}

MakerHost* LibrarySources::host(std::string_view family)
{
    const auto it = hosts_.find(family);
    return it == hosts_.end() ? nullptr : it->second.get();
}

void LibrarySources::setFailureHandler(const std::function<void(const std::string&)>& handler)
{
    for (auto& [family, host] : hosts_)
        host->onFailure = handler;
}

void LibrarySources::setNoticeHandler(const std::function<void(const std::string&)>& handler)
{
    for (auto& [family, host] : hosts_)
        host->onNotice = handler;
}

void LibrarySources::closeAll()
{
    for (auto& [family, host] : hosts_)
        host->close();
}

} // namespace ecf::printer::library

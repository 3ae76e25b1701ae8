#include "printer/library/library_sources.h"

#include "printer/family.h"

#include <cstdlib>

namespace ecf::printer::library {

LibrarySources::LibrarySources(std::map<std::string, std::filesystem::path, std::less<>> libraries,
                               HostSettings settings)
{
    for (auto& [family, file] : libraries)
        if (const LibraryFamily* f = findLibraryFamily(family))
            hosts_[f->family] = std::make_unique<MakerHost>(*f, file, settings);
}

LibrarySources::~LibrarySources()
{
    closeAll();
}

std::unique_ptr<LibrarySources> LibrarySources::fromEnvironment()
{
    std::map<std::string, std::filesystem::path, std::less<>> libraries;
    for (const FamilyEntry* f : families())
        if (f->library)
            if (const char* v = std::getenv(f->library().variable); v && *v)
                libraries[f->name] = v;
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

const LibraryFamily* findLibraryFamily(std::string_view family)
{
    const FamilyEntry* f = findFamily(family);
    return f && f->library ? &f->library() : nullptr;
}

} // namespace ecf::printer::library

#include "printer/canned.h"

#include "common/errors.h"
#include "common/text.h"
#include "printer/family.h"
#include "printer/library/maker_signatures.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace ecf::printer {

namespace {

using common::ConfigError;

constexpr std::uintmax_t maxFileSize = 16 * 1024 * 1024;

// Decodes UTF-8 to code points; malformed bytes become U+FFFD.
std::u32string codePoints(std::string_view s)
{
    std::u32string out;
    for (std::size_t i = 0; i < s.size();)
        out.push_back(common::nextUtf8(s, i));
    return out;
}

// What a function returns, for the kind of "ret" its entries may give: 'i' a result code,
// 'b' a truth value, 's' a text, 'v' nothing; 0 for a name no family has.
char resultKind(std::string_view fn)
{
    for (const FamilyEntry* family : families()) {
        if (!family->library)
            continue;
        const library::LibraryFamily& functions = family->library();
        if (const int i = library::findFunction(functions, fn); i >= 0)
            return functions.functions[static_cast<std::size_t>(i)].ret;
    }
    return 0;
}

} // namespace

std::string jsonTextToBytes(std::string_view utf8) { return common::utf8ToLatin1(utf8); }

std::u16string jsonTextToWide(std::string_view utf8)
{
    std::u16string out;
    for (char32_t cp : codePoints(utf8)) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

int CannedEntry::resultCode(int absent) const
{
    if (const auto* d = std::get_if<double>(&ret))
        return static_cast<int>(std::llround(*d));
    if (const auto* b = std::get_if<bool>(&ret))
        return *b ? 1 : 0;
    return absent;
}

bool CannedEntry::retBool(bool absent) const
{
    if (const auto* b = std::get_if<bool>(&ret))
        return *b;
    if (const auto* d = std::get_if<double>(&ret))
        return *d != 0;
    return absent;
}

std::string CannedEntry::retBytes(const std::string& absent) const
{
    if (const auto* s = std::get_if<std::string>(&ret))
        return jsonTextToBytes(*s);
    return absent;
}

std::u16string CannedEntry::retWide(const std::u16string& absent) const
{
    if (const auto* s = std::get_if<std::string>(&ret))
        return jsonTextToWide(*s);
    return absent;
}

std::shared_ptr<CannedResults> CannedResults::fromEnvironment()
{
    const char* path = std::getenv("ECF_EMULATOR");
    if (!path || !*path)
        return nullptr;
    // Only a regular file of sane size: a folder, a device or a FIFO would give an unhelpful
    // parse error or never end.
    const std::string where = std::string("The canned results file ") + path + " (ECF_EMULATOR)";
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        throw ConfigError(where + " does not exist");
    if (std::filesystem::is_directory(status))
        throw ConfigError(where + " is a folder; a JSON file is expected");
    if (!std::filesystem::is_regular_file(status))
        throw ConfigError(where + " is not a regular file (a device, a FIFO or a socket); a JSON file is expected");
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > maxFileSize)
        throw ConfigError(where + " is larger than " + std::to_string(maxFileSize / (1024 * 1024)) + " MB");
    // Opened without waiting, and looked at again once open: a FIFO put in its place since
    // would otherwise hold the start.
    const std::string cannotRead = std::string("Cannot read the canned results file ") + path + " (ECF_EMULATOR)";
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ConfigError(cannotRead + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw ConfigError(where + " is not a regular file (a device, a FIFO or a socket); a JSON file is expected");
    }
    std::string text;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            throw ConfigError(cannotRead + ": " + std::strerror(err));
        }
        if (n == 0)
            break;
        text.append(buf, static_cast<std::size_t>(n));
        if (text.size() > maxFileSize) {
            ::close(fd);
            throw ConfigError(where + " is larger than " + std::to_string(maxFileSize / (1024 * 1024)) + " MB");
        }
    }
    ::close(fd);
    return parse(text, path);
}

std::shared_ptr<CannedResults> CannedResults::parse(std::string_view text, const std::string& fileName)
{
    const std::string where = "Canned results file " + fileName + " (ECF_EMULATOR): ";
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        throw ConfigError(where + "not valid JSON: " + e.what());
    }
    if (!doc.is_object() || !doc.contains("calls") || !doc["calls"].is_object())
        throw ConfigError(where + "expected an object {\"calls\": {NAME: [ENTRY, ...]}}");
    for (auto it = doc.begin(); it != doc.end(); ++it)
        if (it.key() != "calls")
            throw ConfigError(where + "unknown key \"" + it.key() + "\" at the top level");

    auto result = std::make_shared<CannedResults>();
    for (auto& [name, list] : doc["calls"].items()) {
        if (!list.is_array())
            throw ConfigError(where + "the entries of \"" + name + "\" must be a list");
        std::vector<CannedEntry> entries;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto& e = list[i];
            const std::string at = "\"" + name + "\" entry " + std::to_string(i + 1) + ": ";
            if (!e.is_object())
                throw ConfigError(where + at + "must be an object");
            CannedEntry entry;
            for (auto& [key, value] : e.items()) {
                if (key == "ret") {
                    if (value.is_boolean())
                        entry.ret = value.get<bool>();
                    else if (value.is_number()) {
                        const double d = value.get<double>();
                        if (!(std::round(d) >= std::numeric_limits<int>::min() &&
                              std::round(d) <= std::numeric_limits<int>::max()))
                            throw ConfigError(where + at + "\"ret\" " + value.dump() +
                                              " is outside the range of a result code (" +
                                              std::to_string(std::numeric_limits<int>::min()) + " to " +
                                              std::to_string(std::numeric_limits<int>::max()) + ")");
                        entry.ret = d;
                    } else if (value.is_string())
                        entry.ret = value.get<std::string>();
                    else
                        throw ConfigError(where + at + "\"ret\" must be a number, true/false or a text");
                    // A "ret" the call cannot return would silently give way to the default.
                    const char kind = resultKind(name);
                    if (kind == 'v')
                        throw ConfigError(where + at + "\"ret\" is given, but " + name + " returns nothing");
                    if (kind == 's' && !value.is_string())
                        throw ConfigError(where + at + "\"ret\" must be a text: " + name + " returns a text");
                    if ((kind == 'i' || kind == 'b') && value.is_string())
                        throw ConfigError(where + at + "\"ret\" must be " +
                                          (kind == 'b' ? "true or false: " : "a number: ") + name +
                                          (kind == 'b' ? " returns a truth value" : " returns a result code"));
                    // A result code is a whole number: 1.5 would be rounded to a result nobody gave.
                    if (kind == 'i' && value.is_number_float() && value.get<double>() != std::trunc(value.get<double>()))
                        throw ConfigError(where + at + "\"ret\" " + value.dump() + " is not a whole number: " + name +
                                          " returns a whole-number result code");
                } else if (key == "out") {
                    entry.hasOut = true;
                    if (value.is_string())
                        entry.out = value.get<std::string>();
                    else if (!value.is_null())
                        throw ConfigError(where + at + "\"out\" must be a text or null");
                } else if (key == "values") {
                    if (!value.is_object())
                        throw ConfigError(where + at + "\"values\" must be an object of texts");
                    entry.hasValues = true;
                    for (auto& [vn, vv] : value.items()) {
                        if (!vv.is_string())
                            throw ConfigError(where + at + "value \"" + vn + "\" must be a text");
                        entry.values[vn] = vv.get<std::string>();
                    }
                } else if (key == "times") {
                    if (value.is_string() && value.get<std::string>() == "always") {
                        entry.always = true;
                    } else if (value.is_number_integer() && value.get<std::int64_t>() >= 1) {
                        entry.times = value.get<std::int64_t>();
                    } else {
                        throw ConfigError(where + at + "\"times\" must be a whole number from 1 or \"always\"");
                    }
                } else {
                    throw ConfigError(where + at + "unknown field \"" + key + "\"");
                }
            }
            entries.push_back(std::move(entry));
        }
        result->calls_.emplace(name, std::move(entries));
    }
    return result;
}

const CannedEntry* CannedResults::take(std::string_view fn)
{
    const auto it = calls_.find(fn);
    if (it == calls_.end())
        return nullptr;
    for (auto& e : it->second) {
        if (e.always)
            return &e;
        if (e.times > 0) {
            --e.times;
            return &e;
        }
    }
    return nullptr;
}

} // namespace ecf::printer

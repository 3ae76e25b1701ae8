#pragma once
// Canned results for the emulated printer (ECF_EMULATOR):
//   {"calls": {"NAME": [ENTRY, ...], ...}}
// Each call of NAME takes the first entry of its list that is not used up; when the list is
// used up the emulator answers with its own behaviour. Entry fields, each optional:
//   "ret": number, true/false, or text;  "out": text or null;  "values": {name: text};
//   "times": whole number (default 1) or "always".
// A numeric "ret" that a result code cannot hold, and a "ret" of a kind the call cannot return
// (a text for a result code, a number for a text, any "ret" for a call without a result), are
// refused when the file is read, naming the entry, rather than changed into some other value.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ecf::printer {

struct CannedEntry {
    // ret: absent, a number (integral or not), a truth value or a text (UTF-8 as in the file)
    std::variant<std::monostate, double, bool, std::string> ret;
    bool hasOut = false;                 // "out" was given
    std::optional<std::string> out;      // its text (UTF-8); nullopt when "out" was null
    bool hasValues = false;
    std::map<std::string, std::string> values; // Sigtron Execute: named results (UTF-8)
    bool always = false;
    std::int64_t times = 1;              // uses left when not always

    // Typed readings of "ret", with the value to use when it is absent. A number is rounded to
    // the nearest whole; the file is refused at start when one lies outside the range of a
    // result code (int), so every number fits.
    int resultCode(int absent) const;
    bool retBool(bool absent) const;
    std::string retBytes(const std::string& absent) const;       // 8-bit text: code points to bytes
    std::u16string retWide(const std::u16string& absent) const;  // wide text
};

// Texts in the canned file map back to 8-bit bytes code point for code point (the inverse of
// the trace's view); code points above 255 become '?'.
std::string jsonTextToBytes(std::string_view utf8);
std::u16string jsonTextToWide(std::string_view utf8);

class CannedResults {
public:
    // Parses the file named by ECF_EMULATOR; null when unset or empty. Throws
    // common::ConfigError naming the file when it is unreadable, not JSON, or not of the shape.
    static std::shared_ptr<CannedResults> fromEnvironment();
    static std::shared_ptr<CannedResults> parse(std::string_view jsonText, const std::string& fileName);

    // The next entry for `fn`, counting one use of it; null when none is left.
    const CannedEntry* take(std::string_view fn);

private:
    std::map<std::string, std::vector<CannedEntry>, std::less<>> calls_;
};

} // namespace ecf::printer

// Fuzzes the table reader: any input must read or fail with a DatabaseError, never crash,
// hang or touch memory it does not own.
//
// Input: the .DB's bytes, optionally followed by the separator below and the .MB's bytes, so
// that blob pointers and blob blocks are fuzzed too (scripts/fuzz.sh builds such seeds).
#include "common/errors.h"
#include "data/paradox/px.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {
constexpr std::string_view separator = "\n--ECF-MB--\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string_view db = in;
    std::optional<std::string_view> mb;
    if (const auto at = in.find(separator); at != std::string_view::npos) {
        db = in.substr(0, at);
        mb = in.substr(at + separator.size());
    }
    try {
        const auto t = ecf::data::px::PxTable::parse(db, mb, "FUZZ.DB");
        std::size_t n = 0;
        for (const auto& r : t.records())
            n += r.size();
        if (n != t.records().size() * t.fields().size())
            __builtin_trap(); // every record has one value per field
        // A value fails to read exactly when it is listed as damaged, and then as a null.
        std::size_t failed = 0;
        for (std::size_t r = 0; r < t.records().size(); ++r)
            for (std::size_t f = 0; f < t.fields().size(); ++f) {
                try {
                    (void)t.value(r, f);
                } catch (const ecf::common::DatabaseError&) {
                    ++failed;
                    if (!t.records()[r][f].isNull())
                        __builtin_trap();
                }
            }
        if (failed != t.damage().size())
            __builtin_trap();
        for (const auto& f : t.fields())
            (void)t.fieldIndex(f.name);
    } catch (const ecf::common::DatabaseError&) {
        // a clear error: what damaged input must give
    }
    return 0;
}

#include "printer/mp20/mp20_traced.h"

#include <fstream>
#include <system_error>

namespace ecf::printer::mp20 {

namespace {
constexpr const char* family = "mp20";
}

void Mp20Traced::applyCannedReply(const CannedEntry& e)
{
    if (!e.hasOut)
        return;
    const auto file = workDir_ / "MP20FI.RET";
    if (!e.out) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        return;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const std::string bytes = jsonTextToBytes(*e.out);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int Mp20Traced::IniPortaStr(const std::string& port)
{
    return pipe_.callInteger(family, "IniPortaStr", {port}, 1, [&] { return inner_.IniPortaStr(port); });
}

int Mp20Traced::FormataTX(const std::string& command)
{
    // A canned entry's "out" is the whole reply file the call leaves (null: no reply file).
    return pipe_.call(
        CallRecord{family, "FormataTX", {command}, {}, {}},
        [&](const CannedEntry& e) {
            applyCannedReply(e);
            return e.resultCode(0);
        },
        [&] { return inner_.FormataTX(command); }, [](CallRecord& rec, int r) { rec.ret = std::int64_t{r}; });
}

} // namespace ecf::printer::mp20

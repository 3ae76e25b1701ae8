#include "printer/mp20/mp20_traced.h"

#include <fstream>
#include <limits>
#include <system_error>

namespace ecf::printer::mp20 {

namespace {

int toInt(std::int64_t v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

} // namespace

int Mp20Traced::traced(const char* fn, const std::string& arg, int result)
{
    {
        CallRecord rec;
        rec.family = "mp20";
        rec.fn = fn;
        rec.args.emplace_back(arg);
        rec.ret = static_cast<std::int64_t>(result);
        pipe_.trace(rec);
    }
    return result;
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
    int result;
    if (const CannedEntry* e = pipe_.take("IniPortaStr"))
        result = toInt(e->retInteger(1));
    else
        result = inner_.IniPortaStr(port);
    return traced("IniPortaStr", port, result);
}

int Mp20Traced::FormataTX(const std::string& command)
{
    int result;
    if (const CannedEntry* e = pipe_.take("FormataTX")) {
        result = toInt(e->retInteger(0));
        applyCannedReply(*e);
    } else {
        result = inner_.FormataTX(command);
    }
    return traced("FormataTX", command, result);
}

} // namespace ecf::printer::mp20

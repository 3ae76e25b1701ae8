#include "printer/sweda/sweda_traced.h"

#include <algorithm>
#include <cstring>

namespace ecf::printer::sweda {

namespace {
constexpr std::int64_t success = 0;
const char* const family = "sweda";

// The text of a buffer of `size` bytes up to its first NUL.
std::string bufferText(const char* buffer, int size)
{
    return std::string(buffer, strnlen(buffer, static_cast<std::size_t>(std::max(size, 0))));
}
} // namespace

int SwedaTraced::SwedaOpen(int port, int a, int b, int c)
{
    return pipe_.callInteger(family, "SwedaOpen",
                             {std::int64_t{port}, std::int64_t{a}, std::int64_t{b}, std::int64_t{c}}, success,
                             [&] { return inner_.SwedaOpen(port, a, b, c); });
}

int SwedaTraced::SwedaSend(const char* command)
{
    return pipe_.callInteger(family, "SwedaSend", {std::string(command)}, success,
                             [&] { return inner_.SwedaSend(command); });
}

int SwedaTraced::SwedaRead(char* reply, int maxLength)
{
    CallRecord rec{family, "SwedaRead", {bufferText(reply, maxLength), std::int64_t{maxLength}}, {}, {}};
    int r;
    if (const CannedEntry* e = pipe_.take(rec.fn)) {
        r = static_cast<int>(e->retInteger(success));
        if (e->hasOut && maxLength > 0) {
            // The reply, cut to what the buffer may take; a NUL ends it when there is room.
            const std::string text = e->out ? jsonTextToBytes(*e->out) : std::string();
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(maxLength));
            std::memcpy(reply, text.data(), n);
            if (n < static_cast<std::size_t>(maxLength))
                reply[n] = '\0';
        }
    } else {
        r = inner_.SwedaRead(reply, maxLength);
    }
    rec.ret = std::int64_t{r};
    rec.out = bufferText(reply, maxLength);
    pipe_.trace(rec);
    return r;
}

} // namespace ecf::printer::sweda

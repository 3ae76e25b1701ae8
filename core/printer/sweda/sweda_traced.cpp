#include "printer/sweda/sweda_traced.h"

#include <algorithm>

namespace ecf::printer::sweda {

namespace {
constexpr int success = 0;
const char* const family = "sweda";

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
    // The buffer as passed and its length are the arguments; the reply is the out.
    const std::size_t size = static_cast<std::size_t>(std::max(maxLength, 0));
    return pipe_.callBuffer(family, "SwedaRead", {CallPipeline::replyText(reply, size), std::int64_t{maxLength}},
                            success, reply, size, [&] { return inner_.SwedaRead(reply, maxLength); });
}

} // namespace ecf::printer::sweda

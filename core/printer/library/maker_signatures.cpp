#include "printer/library/maker_signatures.h"

namespace ecf::printer::library {

int findFunction(const LibraryFamily& family, std::string_view fn)
{
    for (std::size_t i = 0; i < family.functions.size(); ++i)
        if (fn == family.functions[i].fn)
            return static_cast<int>(i);
    return -1;
}

} // namespace ecf::printer::library

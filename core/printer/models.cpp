#include "printer/models.h"

namespace ecf::printer {

Family familyOf(std::string_view m)
{
    if (m == "SCHALTER2" || m == "SCHALTER30")
        return Family::Schalter;
    if (m == "FS345" || m == "FS300")
        return Family::Sigtron;
    if (m == "BEMATECH")
        return Family::Mp20;
    if (m == "SWEDA")
        return Family::Sweda;
    if (m == "DARUMA345" || m == "FS600")
        return Family::Daruma;
    if (m == "BEMAFI32" || m == "MP2100")
        return Family::BemaFI32;
    return Family::None;
}

const char* traceName(Family f)
{
    switch (f) {
    case Family::Schalter: return "schalter";
    case Family::Sigtron: return "sigtron";
    case Family::Mp20: return "mp20";
    case Family::Sweda: return "sweda";
    case Family::Daruma: return "daruma";
    case Family::BemaFI32: return "bemafi32";
    case Family::None: break;
    }
    return "";
}

} // namespace ecf::printer

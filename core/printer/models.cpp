#include "printer/models.h"

#include <array>

namespace ecf::printer {

namespace {

constexpr std::array models{
    //    code          family            later  feed
    Model{"SCHALTER2", Family::Schalter, false, 6},
    Model{"SCHALTER30", Family::Schalter, true, 9},
    Model{"FS345", Family::Sigtron, true, 0},
    Model{"FS300", Family::Sigtron, false, 0},
    Model{"BEMATECH", Family::Mp20, false, 0},
    Model{"SWEDA", Family::Sweda, false, 0},
    Model{"DARUMA345", Family::Daruma, false, 0},
    Model{"FS600", Family::Daruma, false, 0},
    Model{"BEMAFI32", Family::BemaFI32, false, 0},
    Model{"MP2100", Family::BemaFI32, false, 0},
};

constexpr Model noModel{};

} // namespace

std::span<const Model> allModels() { return models; }

const Model& modelOf(std::string_view code)
{
    for (const Model& m : models)
        if (m.code == code)
            return m;
    return noModel;
}

Family familyOf(std::string_view code) { return modelOf(code).family; }

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

#pragma once
// The catalogue of printer model codes and the six printer families.
#include <string_view>

namespace ecf::printer {

enum class Family { None, Schalter, Sigtron, Mp20, Sweda, Daruma, BemaFI32 };

// The family of a model code, compared as whole, case-sensitive text with no trimming:
// "SCHALTER2", "SCHALTER30" / "FS345", "FS300" / "BEMATECH" / "SWEDA" / "DARUMA345", "FS600" /
// "BEMAFI32", "MP2100". Anything else is Family::None.
Family familyOf(std::string_view modelCode);

// The family's name in the trace: "schalter", "sigtron", "mp20", "sweda", "daruma", "bemafi32".
const char* traceName(Family family);

} // namespace ecf::printer

#pragma once
// The catalogue of printer model codes: one row a model, with its family and what sets it
// apart from the other models of its family. A new model code of an existing family is one
// more row in models.cpp.
#include <span>
#include <string_view>

namespace ecf::printer {

enum class Family { None, Schalter, Sigtron, Mp20, Sweda, Daruma, BemaFI32 };

struct Model {
    std::string_view code;  // as configured: whole, case-sensitive text with no trimming
    Family family = Family::None;
    // The family's later command set. Schalter: sale by code and quantity, 16 tax registers
    // read one by one, ABNT rounding (else sale by text, tax rates from the X reading, 10
    // registers). Sigtron: the FS345 commands, the coupon number read at start.
    bool laterCommands = false;
    int paperFeedLines = 0; // lines fed after the receipts (Schalter)
};

// Every row, in the catalogue's order.
std::span<const Model> allModels();

// The row of a model code; a row of Family::None for a code of no family.
const Model& modelOf(std::string_view modelCode);

Family familyOf(std::string_view modelCode);

// The family's name in the trace: "schalter", "sigtron", "mp20", "sweda", "daruma", "bemafi32".
const char* traceName(Family family);

} // namespace ecf::printer

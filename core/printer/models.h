#pragma once
// The catalogue of printer model codes: each family's entry lists its models, with what sets
// each apart from the other models of its family. A new model code of an existing family is
// one more row in that family's entry.
#include <string_view>
#include <vector>

namespace ecf::printer {

struct FamilyEntry;

struct Model {
    std::string_view code;  // as configured: whole, case-sensitive text with no trimming
    // The family's later command set. Schalter: sale by code and quantity, 16 tax registers
    // read one by one, ABNT rounding (else sale by text, tax rates from the X reading, 10
    // registers). Sigtron: the FS345 commands, the coupon number read at start.
    bool laterCommands = false;
    int paperFeedLines = 0; // lines fed after the receipts (Schalter)
};

// Every model, in the catalogue's order.
std::vector<const Model*> allModels();

// The row of a model code; an empty row for a code of no family.
const Model& modelOf(std::string_view modelCode);

// The family of a model code, or null for a code of no family.
const FamilyEntry* familyOf(std::string_view modelCode);

} // namespace ecf::printer

#pragma once
// A printer family as one unit. Each family's folder exports one FamilyEntry (<fam>_family.cpp):
// its trace name, its model codes, its maker library's functions, and how to make its parts
// for a printer connection (the emulator, the maker's library when one is set, the traced
// wrapper over whichever serves, and the driver). families.cpp lists the entries; the printer
// connection, the library sources and the model catalogue walk that list, so that a new family
// is its folder and one line there.
#include "printer/family_context.h"
#include "printer/family_driver.h"
#include "printer/models.h"

#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace ecf::printer {

class CallPipeline;
class EmulatedPrinter;
namespace library {
class MakerHost;
struct LibraryFamily;
} // namespace library

// What a family's parts are made with.
struct FamilyServices {
    EmulatedPrinter& emulated;      // the printer behind every family's emulator
    CallPipeline& pipeline;         // every maker call passes it
    library::MakerHost* host;       // the family's maker library in the helper process, or null
    std::filesystem::path workDir;  // the current folder (the MP-20 reply file)
};

// A family's parts for one printer connection.
class FamilyUnit {
public:
    virtual ~FamilyUnit() = default;
    // The family's driver, sending through the traced wrapper.
    virtual std::unique_ptr<FamilyDriver> makeDriver(FamilyContext& ctx) = 0;
};

struct FamilyEntry {
    const char* name;                          // in the trace: "daruma"
    std::span<const Model> models;             // its model codes
    const library::LibraryFamily& (*library)(); // its maker library's functions (null: none)
    std::unique_ptr<FamilyUnit> (*make)(const FamilyServices& services);
    // The payment-form description into `buffer`, for a family that offers it to the others
    // (the BemaFI32 family lists its forms through the Daruma library); null when it does not.
    int (*describePaymentForms)(FamilyUnit& unit, std::string& buffer) = nullptr;
};

// Every family, in the catalogue's order.
std::span<const FamilyEntry* const> families();
// One more family, after the built-in ones (a family of the tests), before any printer
// connection is made.
void addFamily(const FamilyEntry& entry);
// The family of that trace name, or null.
const FamilyEntry* findFamily(std::string_view name);

} // namespace ecf::printer

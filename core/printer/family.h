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
#include <type_traits>

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
// One more family, after the built-in ones (a family of the tests).
void addFamily(const FamilyEntry& entry);
// The family of that trace name, or null.
const FamilyEntry* findFamily(std::string_view name);

// The parts most families are: the emulator (made from the emulated printer, and the current
// folder when it takes one), the hosted library when the family's maker library is set, the
// traced wrapper over whichever serves (made from the pipeline and that interface, and the
// current folder when it takes one), and the driver (made from the context and the wrapper).
template <class Lib, class Emulator, class Traced, class Hosted, class Driver>
class FamilyParts : public FamilyUnit {
public:
    explicit FamilyParts(const FamilyServices& s)
        : emulator_(makeEmulator(s)), hosted_(s.host ? std::make_unique<Hosted>(*s.host) : nullptr),
          traced_(makeTraced(s, hosted_ ? static_cast<Lib&>(*hosted_) : static_cast<Lib&>(emulator_)))
    {
    }
    static std::unique_ptr<FamilyUnit> make(const FamilyServices& s) { return std::make_unique<FamilyParts>(s); }

    std::unique_ptr<FamilyDriver> makeDriver(FamilyContext& ctx) override
    {
        return std::make_unique<Driver>(ctx, static_cast<Lib&>(traced_));
    }
    Traced& traced() { return traced_; }

private:
    static Emulator makeEmulator(const FamilyServices& s)
    {
        if constexpr (std::is_constructible_v<Emulator, EmulatedPrinter&, std::filesystem::path>)
            return Emulator(s.emulated, s.workDir);
        else
            return Emulator(s.emulated);
    }
    static Traced makeTraced(const FamilyServices& s, Lib& inner)
    {
        if constexpr (std::is_constructible_v<Traced, CallPipeline&, Lib&, std::filesystem::path>)
            return Traced(s.pipeline, inner, s.workDir);
        else
            return Traced(s.pipeline, inner);
    }

    Emulator emulator_;
    std::unique_ptr<Hosted> hosted_;
    Traced traced_;
};

} // namespace ecf::printer

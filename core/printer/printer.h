#pragma once
// The printer connection as the rest of the program sees it: every family's parts (families.cpp,
// each family's maker interface traced over its emulator or its maker's library), the tax
// table, and for the configured model code the family's driver, which knows everything that
// family sends for every operation.
// Nothing outside printer/ branches on a model code.
#include "common/operator_port.h"
#include "common/startup_config.h"
#include "common/clock.h"
#include "printer/family_context.h"
#include "printer/family_driver.h"
#include "printer/models.h"
#include "printer/records.h"
#include "printer/tax_table.h"

#include <filesystem>
#include <memory>

namespace ecf::common {
class Outcome;
class Trace;
}
namespace ecf::printer::library { class LibrarySources; }

namespace ecf::printer {

class CannedResults;
class EmulatedPrinter;
class CallPipeline;

// The printer connection of the process.
class Printer {
public:
    struct Options {
        std::shared_ptr<common::Trace> trace;          // may be null
        std::shared_ptr<CannedResults> canned;          // may be null
        std::filesystem::path workDir;                  // defaults to the current folder
        // The maker libraries that serve their families in the emulator's place; may be null
        // (the emulator serves every family).
        std::shared_ptr<library::LibrarySources> libraries;
        // Told that the operation was not done when a maker library fails; may be null.
        common::Outcome* outcome = nullptr;
    };
    Printer(common::StartupConfig& config, common::OperatorPort& op, const common::Clock& clock, Options options);
    ~Printer();

    TaxTable& taxTable() { return taxTable_; }
    // The driver for the configuration's current model code (one that does nothing once the
    // family's source was refused at start-up).
    FamilyDriver& driver();
    EmulatedPrinter& emulated();  // the emulated printer behind every family's emulator
    CallPipeline& pipeline();     // every maker call passes it
    // The configuration's model code is of a family whose calls reach the emulated printer
    // (false for a code of no family, and for a family whose maker library is set).
    bool runsOnEmulator() const;

    // The source of the configured family, at start-up before anything is sent: writes the
    // trace's "printer" line and, with a maker library, starts its helper and checks every
    // function. false: an error box said why (the library file, a missing function, or a Sigtron
    // model asked for without the emulator) and start-up ends.
    bool openSource();
    // Ends the helpers of the maker libraries (at close).
    void closeSource();
    // Which source serves the configured family, in one line for a person; empty for no family.
    std::string sourceDescription() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    common::StartupConfig& config_;
    common::OperatorPort& op_;
    const common::Clock& clock_;
    TaxTable taxTable_;
    // A maker library failed (at start-up or in the middle of an operation): the operator is
    // shown why, and the operation was not done.
    void reportLibraryFailure(const std::string& message);

    common::Outcome* outcome_ = nullptr;
    bool sourceRefused_ = false;
};

} // namespace ecf::printer

#pragma once
// The printer connection as the rest of the program sees it: the maker interfaces of the six
// families (each traced, over its emulator), the tax table, and for the configured model code
// the family's driver, which knows everything that family sends for every operation.
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
class Trace;
}

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
    };
    Printer(common::StartupConfig& config, common::OperatorPort& op, const common::Clock& clock, Options options);
    ~Printer();

    TaxTable& taxTable() { return taxTable_; }
    // The driver for the configuration's current model code.
    FamilyDriver& driver();
    MakerInterfaces& makers();
    EmulatedPrinter& emulated();  // the emulated printer behind the six interfaces
    CallPipeline& pipeline();     // every maker call passes it
    // The configuration's model code is of a family whose calls reach the emulated printer
    // (false for a code of no family).
    bool runsOnEmulator() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    common::StartupConfig& config_;
    common::OperatorPort& op_;
    const common::Clock& clock_;
    TaxTable taxTable_;
};

} // namespace ecf::printer

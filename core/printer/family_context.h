#pragma once
// What a family's operations work with: the configuration, the tax table, the operator, the
// clock and the folder. A family's traced maker interface is given to its driver, and its own
// state lives there.
#include "common/operator_port.h"
#include "common/startup_config.h"
#include "common/clock.h"
#include "printer/models.h"
#include "printer/tax_table.h"

#include <filesystem>
#include <functional>
#include <string>

namespace ecf::printer {

class CallPipeline;

// What a family's operations work with.
struct FamilyContext {
    common::StartupConfig& config;
    TaxTable& taxTable;
    common::OperatorPort& op;
    const common::Clock& clock;
    // The payment-form description into `buffer` (275 characters) of the family that offers it
    // (the Daruma library's, which the BemaFI32 family lists its forms through as well); its
    // result code.
    std::function<int(std::string& buffer)> describePaymentForms;
    std::filesystem::path workDir;       // the current folder, where "MP20FI.RET" is
    CallPipeline* pipeline = nullptr;    // for trace lines other than calls (may be null)

    // The row of the configured model code, read afresh (the utilities window re-reads the
    // branch configuration).
    const Model& model() const { return modelOf(config.modeloEcf); }
};

} // namespace ecf::printer

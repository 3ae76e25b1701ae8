#pragma once
// What a family's operations work with: the configuration, the tax table, the operator, the
// clock and the traced maker interfaces. A family's own state lives in its driver.
#include "common/operator_port.h"
#include "common/startup_config.h"
#include "common/clock.h"
#include "printer/models.h"
#include "printer/tax_table.h"

#include <filesystem>
#include <string>

namespace ecf::printer::schalter { class SchalterLib; }
namespace ecf::printer::sigtron { class SigtronLib; }
namespace ecf::printer::mp20 { class Mp20Lib; }
namespace ecf::printer::sweda { class SwedaLib; }
namespace ecf::printer::daruma { class DarumaLib; }
namespace ecf::printer::bemafi32 { class BemaFI32Lib; }

namespace ecf::printer {

class CallPipeline;

// The traced maker interfaces of the process (all six are set in the program; a test may set
// only those its family uses).
struct MakerInterfaces {
    schalter::SchalterLib* schalter = nullptr;
    sigtron::SigtronLib* sigtron = nullptr;
    mp20::Mp20Lib* mp20 = nullptr;
    sweda::SwedaLib* sweda = nullptr;
    daruma::DarumaLib* daruma = nullptr;
    bemafi32::BemaFI32Lib* bemafi32 = nullptr;

    // The Daruma library's payment-form description into `buffer` (275 characters), which the
    // BemaFI32 family lists its forms through as well; its result code.
    int describePaymentForms(std::string& buffer);
};

// What a family's operations work with.
struct FamilyContext {
    common::StartupConfig& config;
    TaxTable& taxTable;
    common::OperatorPort& op;
    const common::Clock& clock;
    MakerInterfaces& makers;
    std::filesystem::path workDir;       // the current folder, where "MP20FI.RET" is
    CallPipeline* pipeline = nullptr;    // for trace lines other than calls (may be null)

    // The row of the configured model code, read afresh (the utilities window re-reads the
    // branch configuration).
    const Model& model() const { return modelOf(config.modeloEcf); }
};

} // namespace ecf::printer

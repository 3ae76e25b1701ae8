#include "printer/printer.h"

#include "printer/bemafi32/bemafi32_driver.h"
#include "printer/bemafi32/bemafi32_emulator.h"
#include "printer/bemafi32/bemafi32_traced.h"
#include "printer/daruma/daruma_driver.h"
#include "printer/daruma/daruma_emulator.h"
#include "printer/daruma/daruma_traced.h"
#include "printer/emulated_printer.h"
#include "printer/mp20/mp20_driver.h"
#include "printer/mp20/mp20_emulator.h"
#include "printer/mp20/mp20_traced.h"
#include "printer/no_family_driver.h"
#include "printer/pipeline.h"
#include "printer/schalter/schalter_driver.h"
#include "printer/schalter/schalter_emulator.h"
#include "printer/schalter/schalter_traced.h"
#include "printer/sigtron/sigtron_driver.h"
#include "printer/sigtron/sigtron_emulator.h"
#include "printer/sigtron/sigtron_traced.h"
#include "printer/sweda/sweda_driver.h"
#include "printer/sweda/sweda_emulator.h"
#include "printer/sweda/sweda_traced.h"

namespace ecf::printer {

// The six maker interfaces, each traced over its emulator, all behind one emulated printer.
// A real maker library would take the emulator's place behind the same traced wrapper.
struct Printer::Impl {
    Impl(Printer& owner, Options options)
        : workDir(options.workDir.empty() ? std::filesystem::current_path() : options.workDir),
          pipeline(std::move(options.trace), std::move(options.canned)),
          schalterEmu(emulated), sigtronEmu(emulated), mp20Emu(emulated, workDir), swedaEmu(emulated),
          darumaEmu(emulated), bemafi32Emu(emulated),
          schalter(pipeline, schalterEmu), sigtron(pipeline, sigtronEmu), mp20(pipeline, mp20Emu, workDir),
          sweda(pipeline, swedaEmu), daruma(pipeline, darumaEmu), bemafi32(pipeline, bemafi32Emu),
          makers{&schalter, &sigtron, &mp20, &sweda, &daruma, &bemafi32},
          context{owner.config_, owner.taxTable_, owner.op_, owner.clock_, makers, workDir, &pipeline}
    {
    }

    std::unique_ptr<FamilyDriver> makeDriver(Family family)
    {
        switch (family) {
        case Family::Schalter: return std::make_unique<schalter::SchalterDriver>(context);
        case Family::Sigtron: return std::make_unique<sigtron::SigtronDriver>(context);
        case Family::Mp20: return std::make_unique<mp20::Mp20Driver>(context);
        case Family::Sweda: return std::make_unique<sweda::SwedaDriver>(context);
        case Family::Daruma: return std::make_unique<daruma::DarumaDriver>(context);
        case Family::BemaFI32: return std::make_unique<bemafi32::BemaFI32Driver>(context);
        case Family::None: break;
        }
        return std::make_unique<NoFamilyDriver>();
    }

    std::filesystem::path workDir;
    EmulatedPrinter emulated;
    CallPipeline pipeline;
    schalter::SchalterEmulator schalterEmu;
    sigtron::SigtronEmulator sigtronEmu;
    mp20::Mp20Emulator mp20Emu;
    sweda::SwedaEmulator swedaEmu;
    daruma::DarumaEmulator darumaEmu;
    bemafi32::BemaFI32Emulator bemafi32Emu;
    schalter::SchalterTraced schalter;
    sigtron::SigtronTraced sigtron;
    mp20::Mp20Traced mp20;
    sweda::SwedaTraced sweda;
    daruma::DarumaTraced daruma;
    bemafi32::BemaFI32Traced bemafi32;
    MakerInterfaces makers;
    FamilyContext context;
    // One driver per family, made when first asked for; the model code is read afresh by
    // every operation, since the utilities window re-reads the branch configuration.
    std::map<Family, std::unique_ptr<FamilyDriver>> drivers;
};

Printer::Printer(common::StartupConfig& config, common::OperatorPort& op, const common::Clock& clock, Options options)
    : config_(config), op_(op), clock_(clock)
{
    impl_ = std::make_unique<Impl>(*this, std::move(options));
}

Printer::~Printer() = default;

FamilyDriver& Printer::driver()
{
    const Family family = familyOf(config_.modeloEcf);
    auto& slot = impl_->drivers[family];
    if (!slot)
        slot = impl_->makeDriver(family);
    return *slot;
}

MakerInterfaces& Printer::makers()
{
    return impl_->makers;
}

CallPipeline& Printer::pipeline()
{
    return impl_->pipeline;
}

EmulatedPrinter& Printer::emulated()
{
    return impl_->emulated;
}

bool Printer::runsOnEmulator() const
{
    // Every family's calls go to its emulator; a code of no family prints nowhere.
    return familyOf(config_.modeloEcf) != Family::None;
}

} // namespace ecf::printer

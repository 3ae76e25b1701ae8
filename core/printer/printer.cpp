#include "printer/printer.h"

#include "printer/bemafi32/bemafi32_driver.h"
#include "printer/bemafi32/bemafi32_emulator.h"
#include "printer/bemafi32/bemafi32_traced.h"
#include "printer/daruma/daruma_driver.h"
#include "printer/daruma/daruma_emulator.h"
#include "printer/daruma/daruma_traced.h"
#include "common/outcome.h"
#include "common/trace.h"
#include "printer/emulated_printer.h"
#include "printer/library/library_sources.h"
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

namespace {
// The maker library's interface when the family has one, else the emulator.
template <class Lib>
Lib& served(Lib* library, Lib& emulator)
{
    return library ? *library : emulator;
}
} // namespace

// The six maker interfaces, each traced over its emulator, all behind one emulated printer.
// A real maker library would take the emulator's place behind the same traced wrapper.
struct Printer::Impl {
    Impl(Printer& owner, Options options)
        : workDir(options.workDir.empty() ? std::filesystem::current_path() : options.workDir),
          trace(options.trace), libraries(std::move(options.libraries)),
          pipeline(std::move(options.trace), std::move(options.canned)),
          schalterEmu(emulated), sigtronEmu(emulated), mp20Emu(emulated, workDir), swedaEmu(emulated),
          darumaEmu(emulated), bemafi32Emu(emulated),
          schalter(pipeline, served(libraries ? libraries->schalter() : nullptr, static_cast<schalter::SchalterLib&>(schalterEmu))),
          sigtron(pipeline, served(libraries ? libraries->sigtron() : nullptr, static_cast<sigtron::SigtronLib&>(sigtronEmu))),
          mp20(pipeline, served(libraries ? libraries->mp20() : nullptr, static_cast<mp20::Mp20Lib&>(mp20Emu)), workDir),
          sweda(pipeline, served(libraries ? libraries->sweda() : nullptr, static_cast<sweda::SwedaLib&>(swedaEmu))),
          daruma(pipeline, served(libraries ? libraries->daruma() : nullptr, static_cast<daruma::DarumaLib&>(darumaEmu))),
          bemafi32(pipeline, served(libraries ? libraries->bemafi32() : nullptr, static_cast<bemafi32::BemaFI32Lib&>(bemafi32Emu))),
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
    std::shared_ptr<common::Trace> trace;
    std::shared_ptr<library::LibrarySources> libraries;
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
    outcome_ = options.outcome;
    impl_ = std::make_unique<Impl>(*this, std::move(options));
    if (impl_->libraries) {
        impl_->libraries->setFailureHandler([this](const std::string& message) { reportLibraryFailure(message); });
        impl_->libraries->setNoticeHandler([this](const std::string& message) { op_.info(message); });
    }
}

Printer::~Printer()
{
    if (impl_->libraries) {
        impl_->libraries->setFailureHandler(nullptr);
        impl_->libraries->setNoticeHandler(nullptr);
    }
}

bool Printer::openSource()
{
    sourceRefused_ = false;
    const Family family = familyOf(config_.modeloEcf);
    if (family == Family::None)
        return true;
    library::LibrarySources* libraries = impl_->libraries.get();
    const char* name = traceName(family);
    library::MakerHost* host = libraries ? libraries->host(name) : nullptr;
    if (impl_->trace) {
        std::string line = R"({"ev":"printer","family":")";
        line += name;
        line += host ? R"(","source":"library","library":)" : R"(","source":"emulator"})";
        if (host) {
            common::json::appendUtf8(line, host->library().string());
            line += host->underWine() ? R"(,"host":"wine"})" : R"(,"host":"native"})";
        }
        impl_->trace->writeLine(line);
    }
    if (!host)
        return true;
    if (auto problem = host->open()) {
        reportLibraryFailure(*problem);
        sourceRefused_ = true;
        return false;
    }
    return true;
}

void Printer::reportLibraryFailure(const std::string& message)
{
    // A coupon in print is not printed whole, whatever result the failed call is given (the
    // Sigtron control's calls have none that tells).
    auto& watch = impl_->pipeline.watch();
    watch.libraryFailed = true;
    if (watch.refusal.empty())
        watch.refusal = message;
    if (outcome_)
        outcome_->notDone(message);
    op_.error(message);
}

void Printer::closeSource()
{
    if (impl_->libraries)
        impl_->libraries->closeAll();
}

std::string Printer::sourceDescription() const
{
    const Family family = familyOf(config_.modeloEcf);
    if (family == Family::None)
        return std::string();
    const char* name = traceName(family);
    library::MakerHost* host = impl_->libraries ? impl_->libraries->host(name) : nullptr;
    if (!host)
        return std::string("impressora ") + name + ": emulador";
    return std::string("impressora ") + name + ": biblioteca " + host->library().string();
}

FamilyDriver& Printer::driver()
{
    // A family whose source could not be opened at start-up is sent nothing, not even at close.
    const Family family = sourceRefused_ ? Family::None : familyOf(config_.modeloEcf);
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
    // A code of no family prints nowhere; a family with its maker's library set prints on paper.
    const Family family = familyOf(config_.modeloEcf);
    if (family == Family::None)
        return false;
    library::LibrarySources* libraries = impl_->libraries.get();
    return !(libraries && libraries->host(traceName(family)));
}

} // namespace ecf::printer

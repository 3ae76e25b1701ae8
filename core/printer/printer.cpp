#include "printer/printer.h"

#include "common/outcome.h"
#include "common/trace.h"
#include "printer/emulated_printer.h"
#include "printer/family.h"
#include "printer/library/library_sources.h"
#include "printer/no_family_driver.h"
#include "printer/pipeline.h"

#include <map>

namespace ecf::printer {

// Every family's parts, each over the one emulated printer or, when its maker library is set,
// over that library; all behind one call pipeline.
struct Printer::Impl {
    Impl(Printer& owner, Options options)
        : workDir(options.workDir.empty() ? std::filesystem::current_path() : options.workDir),
          trace(options.trace), libraries(std::move(options.libraries)),
          pipeline(std::move(options.trace), std::move(options.canned)),
          context{owner.config_, owner.taxTable_, owner.op_, owner.clock_, {}, workDir, &pipeline}
    {
        for (const FamilyEntry* family : families()) {
            library::MakerHost* host = libraries ? libraries->host(family->name) : nullptr;
            FamilyUnit& unit = *(units[family] = family->make({emulated, pipeline, host, workDir}));
            if (family->describePaymentForms && !context.describePaymentForms)
                context.describePaymentForms = [&unit, describe = family->describePaymentForms](std::string& buffer) {
                    return describe(unit, buffer);
                };
        }
    }

    std::unique_ptr<FamilyDriver> makeDriver(const FamilyEntry* family)
    {
        if (!family)
            return std::make_unique<NoFamilyDriver>();
        return units.at(family)->makeDriver(context);
    }

    std::filesystem::path workDir;
    std::shared_ptr<common::Trace> trace;
    std::shared_ptr<library::LibrarySources> libraries;
    EmulatedPrinter emulated;
    CallPipeline pipeline;
    FamilyContext context;
    std::map<const FamilyEntry*, std::unique_ptr<FamilyUnit>> units;
    // One driver per family, made when first asked for; the model code is read afresh by
    // every operation, since the utilities window re-reads the branch configuration.
    std::map<const FamilyEntry*, std::unique_ptr<FamilyDriver>> drivers;
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
    const FamilyEntry* family = familyOf(config_.modeloEcf);
    if (!family)
        return true;
    library::LibrarySources* libraries = impl_->libraries.get();
    const char* name = family->name;
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
    const FamilyEntry* family = familyOf(config_.modeloEcf);
    if (!family)
        return std::string();
    const char* name = family->name;
    library::MakerHost* host = impl_->libraries ? impl_->libraries->host(name) : nullptr;
    if (!host)
        return std::string("impressora ") + name + ": emulador";
    return std::string("impressora ") + name + ": biblioteca " + host->library().string();
}

FamilyDriver& Printer::driver()
{
    // A family whose source could not be opened at start-up is sent nothing, not even at close.
    const FamilyEntry* family = sourceRefused_ ? nullptr : familyOf(config_.modeloEcf);
    auto& slot = impl_->drivers[family];
    if (!slot)
        slot = impl_->makeDriver(family);
    return *slot;
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
    const FamilyEntry* family = familyOf(config_.modeloEcf);
    if (!family)
        return false;
    library::LibrarySources* libraries = impl_->libraries.get();
    return !(libraries && libraries->host(family->name));
}

} // namespace ecf::printer

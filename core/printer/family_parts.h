#pragma once
// How a family's folder makes its parts: FamilyParts, and the macros that derive its traced
// wrapper and hosted library from its list of functions.
#include "printer/family.h"
#include "printer/library/hosted_call.h"
#include "printer/traced_call.h"

#include <type_traits>

namespace ecf::printer {

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

// `Name`, a family's parts: the traced wrapper and the hosted library of `Lib` derived from its
// list, over `Emulator`, for `Driver`.
#define ECF_FAMILY_PARTS(Name, Lib, LIST, Emulator, Driver)                                            \
    ECF_TRACED_CLASS(Name##Traced, Lib, LIST);                                                          \
    ECF_FAMILY_PARTS_TRACED(Name, Lib, LIST, Emulator, Name##Traced, Driver)

// The same with a traced wrapper of the family's own (one that does more for a canned entry,
// over ECF_TRACED_CLASS).
#define ECF_FAMILY_PARTS_TRACED(Name, Lib, LIST, Emulator, Traced, Driver)                             \
    ECF_HOSTED_CLASS(Name##Hosted, Lib, LIST);                                                          \
    using Name = ::ecf::printer::FamilyParts<Lib, Emulator, Traced, Name##Hosted, Driver>

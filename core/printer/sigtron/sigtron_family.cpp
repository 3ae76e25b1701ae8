#include "printer/sigtron/sigtron_family.h"

#include "printer/family_parts.h"
#include "printer/sigtron/sigtron_driver.h"
#include "printer/sigtron/sigtron_emulator.h"

#include <map>
#include <optional>

namespace ecf::printer::sigtron {

namespace {

ECF_TRACED_CLASS(SigtronTracedCalls, SigtronLib, ECF_SIGTRON_FUNCTIONS);

// A canned Execute's "values" answer the ReturnValue calls until the next Execute.
class SigtronTraced : public SigtronTracedCalls {
public:
    using SigtronTracedCalls::SigtronTracedCalls;

    int Execute() override
    {
        cannedValues_.reset();
        return tracedCall(pipe_, &Lib::Execute, Lib::fn_Execute, [&] { return inner_.Execute(); },
                          std::forward_as_tuple(), [&](const CannedEntry& e) {
                              if (!e.hasValues)
                                  return;
                              cannedValues_.emplace();
                              for (const auto& [name, value] : e.values)
                                  (*cannedValues_)[jsonTextToWide(name)] = jsonTextToWide(value);
                          });
    }

    WideResult ReturnValue(WideText name) override
    {
        return tracedCall(pipe_, &Lib::ReturnValue, Lib::fn_ReturnValue,
                          [&]() -> std::u16string {
                              if (!cannedValues_)
                                  return inner_.ReturnValue(name);
                              const auto it = cannedValues_->find(name);
                              return it != cannedValues_->end() ? it->second : std::u16string();
                          },
                          std::forward_as_tuple(name));
    }

private:
    // Named results of the last canned Execute that carried "values" (wide names and texts).
    std::optional<std::map<std::u16string, std::u16string>> cannedValues_;
};

ECF_FAMILY_PARTS_TRACED(Parts, SigtronLib, ECF_SIGTRON_FUNCTIONS, SigtronEmulator, SigtronTraced, SigtronDriver);

constexpr Model models[] = {
    //     code     later
    Model{"FS345", true},
    Model{"FS300", false},
};

} // namespace

const FamilyEntry family{"sigtron", models, &SigtronLib::library, &Parts::make};

} // namespace ecf::printer::sigtron

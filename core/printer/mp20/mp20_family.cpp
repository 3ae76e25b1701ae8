#include "printer/mp20/mp20_family.h"

#include "printer/family_parts.h"
#include "printer/mp20/mp20_driver.h"
#include "printer/mp20/mp20_emulator.h"

#include <fstream>
#include <system_error>

namespace ecf::printer::mp20 {

namespace {

ECF_TRACED_CLASS(Mp20TracedCalls, Mp20Lib, ECF_MP20_FUNCTIONS);

// A canned FormataTX writes its "out" as the whole content of "MP20FI.RET" in the working
// folder ("out": null removes the file).
class Mp20Traced : public Mp20TracedCalls {
public:
    Mp20Traced(CallPipeline& pipe, Mp20Lib& inner, std::filesystem::path workDir)
        : Mp20TracedCalls(pipe, inner), workDir_(std::move(workDir))
    {
    }

    int FormataTX(Text command) override
    {
        return tracedCall(pipe_, &Lib::FormataTX, Lib::fn_FormataTX, [&] { return inner_.FormataTX(command); },
                          std::forward_as_tuple(command), [&](const CannedEntry& e) { writeReplyFile(e); });
    }

private:
    void writeReplyFile(const CannedEntry& e)
    {
        if (!e.hasOut)
            return;
        const auto file = workDir_ / "MP20FI.RET";
        if (!e.out) {
            std::error_code ec;
            std::filesystem::remove(file, ec);
            return;
        }
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        const std::string bytes = jsonTextToBytes(*e.out);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path workDir_;
};

ECF_FAMILY_PARTS_TRACED(Parts, Mp20Lib, ECF_MP20_FUNCTIONS, Mp20Emulator, Mp20Traced, Mp20Driver);

constexpr Model models[] = {{"BEMATECH"}};

} // namespace

const FamilyEntry family{"mp20", models, &Mp20Lib::library, &Parts::make};

} // namespace ecf::printer::mp20

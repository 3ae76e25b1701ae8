#pragma once
// A printer rig for the Sweda, Daruma and BemaFI32 tests: the shared emulated printer, the
// three families' emulators behind their traced wrappers on one call pipeline (trace file in a
// temporary folder, optional canned results), the Sweda channel, and a family context with a
// scripted operator.
#include "common/startup_config.h"
#include "common/clock.h"
#include "common/trace.h"
#include "printer/bemafi32/bemafi32_driver.h"
#include "printer/bemafi32/bemafi32_emulator.h"
#include "printer/bemafi32/bemafi32_traced.h"
#include "printer/canned.h"
#include "printer/daruma/daruma_driver.h"
#include "printer/daruma/daruma_emulator.h"
#include "printer/daruma/daruma_traced.h"
#include "printer/emulated_printer.h"
#include "printer/pipeline.h"
#include "printer/printer.h"
#include "printer/sweda/sweda_channel.h"
#include "printer/sweda/sweda_driver.h"
#include "printer/sweda/sweda_emulator.h"
#include "printer/sweda/sweda_traced.h"
#include "support/scripted_operator.h"
#include "support/test_support.h"
#include "support/trace_reader.h"

#include <memory>
#include <string>
#include <vector>

namespace ecf::test::famb {

using ecf::test::ScriptedOperator;
using ecf::test::TempDir;

struct FamBRig {
    TempDir dir;
    std::filesystem::path tracePath = dir.path() / "trace.jsonl";
    printer::CallPipeline pipe;
    printer::EmulatedPrinter emu;
    printer::sweda::SwedaEmulator swedaEmu{emu};
    printer::sweda::SwedaTraced sweda{pipe, swedaEmu};
    printer::sweda::SwedaChannel channel{sweda};
    printer::daruma::DarumaEmulator darumaEmu{emu};
    printer::daruma::DarumaTraced daruma{pipe, darumaEmu};
    printer::bemafi32::BemaFI32Emulator bemaEmu{emu};
    printer::bemafi32::BemaFI32Traced bema{pipe, bemaEmu};

    common::StartupConfig config;
    printer::TaxTable taxTable;
    ScriptedOperator op;
    common::FixedClock clock{common::DateTime{2026, 12, 31, 23, 59, 59, 0}};
    printer::MakerInterfaces makers{nullptr, nullptr, nullptr, &sweda, &daruma, &bema};
    printer::FamilyContext ctx{config, taxTable, op, clock, makers, dir.path()};

    // cannedJson: the content of an ECF_EMULATOR file, or empty for the emulator's own answers.
    explicit FamBRig(const std::string& model, const std::string& cannedJson = "", const std::string& port = "1")
        : pipe(std::make_shared<common::Trace>((dir.path() / "trace.jsonl").string()),
               cannedJson.empty() ? nullptr : printer::CannedResults::parse(cannedJson, "canned.json"))
    {
        config.modeloEcf = model;
        config.portaEcf = port;
    }

    // "fn(arg, ...)" of every call so far.
    std::vector<std::string> calls() const { return callSignatures(tracePath); }
    std::vector<nlohmann::json> callLines() const { return readCalls(tracePath); }
    // Only the calls named fn, as signatures.
    std::vector<std::string> callsOf(const std::string& fn) const
    {
        std::vector<std::string> out;
        for (const auto& s : calls())
            if (s.rfind(fn + "(", 0) == 0)
                out.push_back(s);
        return out;
    }
    std::vector<std::string> messages() const { return op.texts("message"); }
};

// A JSON string literal of 8-bit bytes, as the trace and canned files write them.
inline std::string jsonBytes(const std::string& bytes)
{
    std::string out;
    common::json::appendLatin1(out, bytes);
    return out;
}

} // namespace ecf::test::famb

#pragma once
// A printer rig for the Sweda, Daruma and BemaFI32 tests: the program's printer connection
// (trace file in a temporary folder, optional canned results) with a scripted operator.
#include "common/startup_config.h"
#include "common/clock.h"
#include "common/trace.h"
#include "printer/canned.h"
#include "printer/emulated_printer.h"
#include "printer/pipeline.h"
#include "printer/printer.h"
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
    common::StartupConfig config;
    ScriptedOperator op;
    common::FixedClock clock{common::DateTime{2026, 12, 31, 23, 59, 59, 0}};
    printer::Printer printer;
    printer::EmulatedPrinter& emu = printer.emulated();
    printer::TaxTable& taxTable = printer.taxTable();

    // cannedJson: the content of an ECF_EMULATOR file, or empty for the emulator's own answers.
    explicit FamBRig(const std::string& model, const std::string& cannedJson = "", const std::string& port = "1")
        : printer(config, op, clock,
                  {std::make_shared<common::Trace>((dir.path() / "trace.jsonl").string()),
                   cannedJson.empty() ? nullptr : printer::CannedResults::parse(cannedJson, "canned.json"),
                   dir.path(), nullptr, nullptr})
    {
        config.modeloEcf = model;
        config.portaEcf = port;
    }

    // The driver of the configured model, as the program's operations reach it.
    printer::FamilyDriver& driver() { return printer.driver(); }

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

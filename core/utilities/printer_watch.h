#pragma once
// A utility's printer operation under the call pipeline's watch: a result that is not the
// family's success value makes what the operator asked for "not done".
#include "common/outcome.h"
#include "printer/pipeline.h"
#include "printer/printer.h"

#include <functional>
#include <string>

namespace ecf::utilities {

// Runs `operation`; returns the first refusal ("" when every call succeeded). An error that
// ends the operation propagates.
inline std::string runWatched(printer::Printer& printer, common::Outcome* outcome,
                              const std::function<void()>& operation)
{
    printer::CallWatch& watch = printer.pipeline().watch();
    watch = {};
    operation();
    if (!watch.refusal.empty() && outcome)
        outcome->notDone("the printer refused: " + watch.refusal);
    return watch.refusal;
}

} // namespace ecf::utilities

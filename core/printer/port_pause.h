#pragma once
// The pause before a serial port is opened (the branch's VelPortSer, in milliseconds).
#include <functional>

namespace ecf::printer {

class CallPipeline;

// The longest pause taken, whatever the branch record asks for.
constexpr int maxPortPauseMs = 2 * 60 * 1000;
// Pauses longer than this are said on standard error and in the trace before they begin.
constexpr int noticedPortPauseMs = 2000;

// Sleeps `milliseconds` (nothing when not positive), capped at maxPortPauseMs. A pause over
// noticedPortPauseMs writes a line on standard error and a "pause" trace line through
// `pipeline` (when not null): {"ev":"pause","family":F,"ms":TAKEN,"asked":ASKED}.
void portPause(int milliseconds, const char* family, CallPipeline* pipeline);

// Tests: replaces the sleep (null restores it).
void setPortPauseSleeper(std::function<void(int milliseconds)> sleeper);

} // namespace ecf::printer

#include "printer/port_pause.h"

#include "printer/pipeline.h"

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

namespace ecf::printer {

namespace {
std::function<void(int)>& sleeper()
{
    static std::function<void(int)> s;
    return s;
}
} // namespace

void setPortPauseSleeper(std::function<void(int)> s)
{
    sleeper() = std::move(s);
}

void portPause(int milliseconds, const char* family, CallPipeline* pipeline)
{
    if (milliseconds <= 0)
        return;
    const int taken = milliseconds > maxPortPauseMs ? maxPortPauseMs : milliseconds;
    if (taken > noticedPortPauseMs) {
        std::cerr << "ecf: pausing " << taken / 1000.0 << " s before opening the printer port (VelPortSer "
                  << milliseconds << (taken < milliseconds ? ", capped at two minutes" : "") << ")" << std::endl;
        if (pipeline)
            pipeline->traceLine("{\"ev\":\"pause\",\"family\":\"" + std::string(family) + "\",\"ms\":" +
                                std::to_string(taken) + ",\"asked\":" + std::to_string(milliseconds) + "}");
    }
    if (sleeper())
        sleeper()(taken);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(taken));
}

} // namespace ecf::printer

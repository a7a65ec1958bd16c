#include "Core/PStageTimer.h"

#include "Core/Log.h"

bool CPStageTimer::enabled = false;

namespace {

double Seconds(std::chrono::steady_clock::duration time) {
    return std::chrono::duration<double>(time).count();
}

} // namespace

CPStageTimer::CPStageTimer(const char* workName) : work(workName), start(Clock::now()), last(start) {}

CPStageTimer::~CPStageTimer() {
    End();
}

void CPStageTimer::End() {
    if (enabled && !ended)
        GetLog().Print(0, "Timing: %s: total %.3f s\n", work, Seconds(Clock::now() - start));
    ended = true;
}

void CPStageTimer::Stage(const char* stage) {
    const Clock::time_point now = Clock::now();
    if (enabled && !ended)
        GetLog().Print(0, "Timing: %s: %s %.3f s\n", work, stage, Seconds(now - last));
    last = now;
}

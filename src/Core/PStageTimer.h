#pragma once

#include <chrono>

// Times the stages of a long piece of work (the start-up, loading a level)
// and, when timings are asked for (the --timings option), writes each stage
// to the log as it ends, then the whole at End (or when the timer goes):
//   Timing: level load: terrain 0.123 s
//   Timing: level load: total 0.850 s
// With timings off it does nothing but read the clock.
class CPStageTimer {
public:
    explicit CPStageTimer(const char* work);
    ~CPStageTimer();
    CPStageTimer(const CPStageTimer&) = delete;
    CPStageTimer& operator=(const CPStageTimer&) = delete;

    // Ends the stage that ran since the last mark (or the start).
    void Stage(const char* stage);
    // Ends the work: the total is logged once, and later stages are not.
    void End();

    static void SetEnabled(bool on) { enabled = on; }
    static bool IsEnabled() { return enabled; }

private:
    using Clock = std::chrono::steady_clock;

    static bool enabled;
    const char* work;
    Clock::time_point start;
    Clock::time_point last;
    bool ended = false;
};

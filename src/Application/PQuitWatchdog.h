#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Ends a game that cannot quit. A script blocked inside one call of a C
// library (a pattern search that backtracks without end, a read from a pipe
// that never writes) keeps the frame from returning, so neither a signal
// nor a closed window is ever heard. While the watchdog lives (the kernel's
// main loop), once a quit has been requested (Platform/QuitRequest.h) and
// the watchdog is still alive after the grace time, it writes "the game is
// stuck in a script; ending without saving" to the log (stderr and log.txt)
// and ends the process at once with status 1: the shut-down that would save
// cannot run while the frame is stuck.
class CPQuitWatchdog {
public:
    static constexpr std::chrono::milliseconds kGrace{5000};

    explicit CPQuitWatchdog(std::chrono::milliseconds grace = kGrace);
    // Stops watching: the main loop has ended.
    ~CPQuitWatchdog();
    CPQuitWatchdog(const CPQuitWatchdog&) = delete;
    CPQuitWatchdog& operator=(const CPQuitWatchdog&) = delete;

private:
    void Watch();

    const std::chrono::milliseconds grace;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

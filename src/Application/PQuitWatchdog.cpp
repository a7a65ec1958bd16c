#include "Application/PQuitWatchdog.h"

#include "Core/Log.h"
#include "Platform/QuitRequest.h"

#include <cstdlib>
#include <optional>

namespace {

// How often the watchdog looks for a quit request.
constexpr std::chrono::milliseconds kLookEvery{100};

} // namespace

CPQuitWatchdog::CPQuitWatchdog(std::chrono::milliseconds grace) : grace(grace), thread([this] { Watch(); }) {}

CPQuitWatchdog::~CPQuitWatchdog() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

void CPQuitWatchdog::Watch() {
    std::optional<std::chrono::steady_clock::time_point> deadline;
    std::unique_lock<std::mutex> lock(mutex);
    while (!wake.wait_for(lock, kLookEvery, [this] { return stopping; })) {
        const auto now = std::chrono::steady_clock::now();
        if (!deadline && PlatQuitRequested())
            deadline = now + grace;
        if (deadline && now >= *deadline) {
            GetLog().Print(0, "the game is stuck in a script; ending without saving\n");
            std::_Exit(EXIT_FAILURE);
        }
    }
}

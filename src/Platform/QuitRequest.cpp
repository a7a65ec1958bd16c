#include "Platform/QuitRequest.h"

#include <array>
#include <atomic>
#include <csignal>

namespace {

constexpr std::array kQuitSignals = {SIGINT, SIGTERM, SIGHUP};

// Lock-free, so the signal handler may set it.
std::atomic<bool> g_QuitRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

std::array<struct sigaction, kQuitSignals.size()> g_Before{};
bool g_Watching = false;

// The slot of g_Before that holds the signal's handler.
std::size_t SlotOf(int signal) {
    std::size_t slot = 0;
    while (slot + 1 < kQuitSignals.size() && kQuitSignals[slot] != signal)
        ++slot;
    return slot;
}

void PassOn(int signal, siginfo_t* info, void* context) {
    const struct sigaction& before = g_Before[SlotOf(signal)];
    if (before.sa_flags & SA_SIGINFO) {
        before.sa_sigaction(signal, info, context);
    } else if (before.sa_handler == SIG_DFL) {
        // Taken with its default action once this handler returns.
        ::sigaction(signal, &before, nullptr);
        ::raise(signal);
    } else if (before.sa_handler != SIG_IGN) {
        before.sa_handler(signal);
    }
}

void OnQuitSignal(int signal, siginfo_t* info, void* context) {
    g_QuitRequested.store(true);
    PassOn(signal, info, context);
}

} // namespace

bool PlatWatchQuitSignals() {
    g_QuitRequested.store(false);
    if (g_Watching)
        return true;
    struct sigaction action {};
    action.sa_sigaction = OnQuitSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t slot = 0; slot < kQuitSignals.size(); ++slot) {
        if (::sigaction(kQuitSignals[slot], &action, &g_Before[slot]) != 0) {
            for (std::size_t undo = 0; undo < slot; ++undo)
                ::sigaction(kQuitSignals[undo], &g_Before[undo], nullptr);
            return false;
        }
    }
    g_Watching = true;
    return true;
}

void PlatUnwatchQuitSignals() {
    if (!g_Watching)
        return;
    for (std::size_t slot = 0; slot < kQuitSignals.size(); ++slot)
        ::sigaction(kQuitSignals[slot], &g_Before[slot], nullptr);
    g_Watching = false;
}

void PlatRequestQuit() {
    g_QuitRequested.store(true);
}

bool PlatQuitRequested() {
    return g_QuitRequested.load();
}

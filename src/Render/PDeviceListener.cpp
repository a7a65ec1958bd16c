#include "Render/PDeviceListener.h"

#include <algorithm>
#include <vector>

namespace {

// The listeners each notification in progress has still to call (more than
// one when a listener notifies from inside a notification).
std::vector<std::vector<CPDeviceListener*>*>& PendingWalks() {
    static std::vector<std::vector<CPDeviceListener*>*> walks;
    return walks;
}

// Calls `notify` on every listener registered when the walk starts, oldest
// first. A listener destroyed before its turn is blanked out of the walk, so
// listeners may remove themselves or others from inside a notification.
template <class Notify>
void NotifyAll(Notify notify) {
    std::vector<CPDeviceListener*> pending(GetDeviceListeners().begin(), GetDeviceListeners().end());
    PendingWalks().push_back(&pending);
    for (CPDeviceListener* listener : pending)
        if (listener)
            notify(*listener);
    PendingWalks().pop_back();
}

} // namespace

std::list<CPDeviceListener*>& GetDeviceListeners() {
    // Created on first use, so that listeners of static objects find it.
    static std::list<CPDeviceListener*> listeners;
    return listeners;
}

CPDeviceListener::CPDeviceListener() {
    position = GetDeviceListeners().insert(GetDeviceListeners().end(), this);
}

CPDeviceListener::~CPDeviceListener() {
    for (std::vector<CPDeviceListener*>* walk : PendingWalks())
        std::replace(walk->begin(), walk->end(), static_cast<CPDeviceListener*>(this),
                     static_cast<CPDeviceListener*>(nullptr));
    GetDeviceListeners().erase(position);
}

void NotifyDeviceLost() {
    NotifyAll([](CPDeviceListener& listener) { listener.OnLostDevice(); });
}

void NotifyDeviceReset() {
    NotifyAll([](CPDeviceListener& listener) { listener.OnResetDevice(); });
}

#include "Render/PDeviceListener.h"

std::list<CPDeviceListener*>& GetDeviceListeners() {
    // Created on first use, so that listeners of static objects find it.
    static std::list<CPDeviceListener*> listeners;
    return listeners;
}

CPDeviceListener::CPDeviceListener() {
    position = GetDeviceListeners().insert(GetDeviceListeners().end(), this);
}

CPDeviceListener::~CPDeviceListener() {
    GetDeviceListeners().erase(position);
}

void NotifyDeviceLost() {
    for (CPDeviceListener* listener : GetDeviceListeners())
        listener->OnLostDevice();
}

void NotifyDeviceReset() {
    for (CPDeviceListener* listener : GetDeviceListeners())
        listener->OnResetDevice();
}

#pragma once

#include <list>

// Base of every holder of default-pool device objects: such objects must be
// released before the device is reset and re-created afterwards. A listener
// is registered for exactly its lifetime, in construction order.
class CPDeviceListener {
public:
    CPDeviceListener();
    virtual ~CPDeviceListener();
    CPDeviceListener(const CPDeviceListener&) = delete;
    CPDeviceListener& operator=(const CPDeviceListener&) = delete;

    // Releases every default-pool object; called again while already
    // released when a reset failed before.
    virtual void OnLostDevice() = 0;
    // Re-creates what OnLostDevice released.
    virtual void OnResetDevice() = 0;

private:
    std::list<CPDeviceListener*>::iterator position;
};

// Every live listener, oldest first.
std::list<CPDeviceListener*>& GetDeviceListeners();

// Calls OnLostDevice (NotifyDeviceReset: OnResetDevice) on every listener,
// oldest first. Listeners may be created or destroyed meanwhile: one created
// during the walk is not called, one destroyed before its turn neither.
void NotifyDeviceLost();
void NotifyDeviceReset();

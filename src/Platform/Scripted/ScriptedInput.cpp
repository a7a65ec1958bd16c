#include "Platform/Scripted/ScriptedInput.h"

#include "Platform/Input/DirectInput8.h"

#include <algorithm>
#include <utility>

void PlatScriptedInput::Reset() {
    *this = PlatScriptedInput();
}

void PlatScriptedInput::Schedule(std::vector<PlatInputChange> changes) {
    std::stable_sort(changes.begin(), changes.end(),
                     [](const PlatInputChange& a, const PlatInputChange& b) { return a.pass < b.pass; });
    schedule = std::move(changes);
    nextChange = 0;
}

void PlatScriptedInput::ApplyScheduled() {
    for (; nextChange < schedule.size() && schedule[nextChange].pass <= pass; ++nextChange) {
        const PlatInputChange& change = schedule[nextChange];
        switch (change.kind) {
        case PlatInputChange::Key:
            SetKey(change.code, change.down);
            break;
        case PlatInputChange::Motion:
            Move(change.x, change.y);
            break;
        case PlatInputChange::Button:
            SetButton(change.code, change.down);
            break;
        case PlatInputChange::Wheel:
            Turn(change.x);
            break;
        }
    }
}

bool PlatScriptedInput::Open(const PlatInputDevice& device) {
    if (refusedDevices.count(device.kind))
        return false;
    if (device.kind == PlatInputDevice::Controller && device.controller >= controllerCount)
        return false;
    open.insert(device.kind);
    return true;
}

void PlatScriptedInput::Close(const PlatInputDevice& device) {
    open.erase(device.kind);
}

HRESULT PlatScriptedInput::SetUp(const PlatInputDevice& device, bool) {
    return refusedSetUps.count(device.kind) ? E_FAIL : S_OK;
}

HRESULT PlatScriptedInput::Acquire(const PlatInputDevice& device, bool) {
    if (device.kind == PlatInputDevice::Controller) {
        ++controllerAcquires;
        if (controllerLost)
            return DIERR_INPUTLOST;
    }
    acquired.insert(device.kind);
    return S_OK;
}

void PlatScriptedInput::Unacquire(const PlatInputDevice& device) {
    acquired.erase(device.kind);
}

HRESULT PlatScriptedInput::Poll(const PlatInputDevice& device) {
    if (device.kind == PlatInputDevice::Controller)
        ++controllerPolls;
    return S_OK;
}

bool PlatScriptedInput::ReadKeys(BYTE out[256]) {
    if (TakeFailure(PlatInputDevice::Keyboard))
        return false;
    state.TakeKeys(out);
    return true;
}

bool PlatScriptedInput::ReadMouse(DIMOUSESTATE& out) {
    ++pass;
    ApplyScheduled();
    if (TakeFailure(PlatInputDevice::Mouse))
        return false;
    out = state.TakeMouse();
    return true;
}

int PlatScriptedInput::ControllerAxes(int controller) {
    return controller < controllerCount ? 6 : 0;
}

PlatScriptedInput& PlatGetScriptedInput() {
    static PlatScriptedInput input;
    return input;
}

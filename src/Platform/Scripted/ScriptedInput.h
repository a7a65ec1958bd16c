#pragma once

#include "Platform/Input/InputBackend.h"
#include "Platform/Input/InputChange.h"
#include "Platform/Input/InputState.h"

#include <set>
#include <vector>

// Input devices driven by the program: tests set the state a pass reads
// (keys, buttons, motion, wheel, failing reads, refused devices, attached
// controllers), and a scheduled list of changes replays recorded input. Every
// mouse read starts a new pass: the changes scheduled for it are applied
// first.
class PlatScriptedInput : public PlatInputBackend {
public:
    // Back to no keys, buttons, motion, schedule, controllers or failures.
    void Reset();

    void SetKey(int code, bool down) { state.SetKey(code, down); }
    void SetButton(int button, bool down) { state.SetButton(button, down); }
    void Move(LONG dx, LONG dy) { state.Move(dx, dy); }
    void Turn(LONG notches) { state.Turn(notches); }
    // The next read of the device fails (and loses nothing).
    void FailNextRead(PlatInputDevice::Kind kind) { failingReads.insert(kind); }
    void RefuseOpening(PlatInputDevice::Kind kind) { refusedDevices.insert(kind); }
    // The device's cooperative level is refused.
    void RefuseSetUp(PlatInputDevice::Kind kind) { refusedSetUps.insert(kind); }
    // While lost, acquiring the controller reports DIERR_INPUTLOST.
    void SetControllerLost(bool lost) { controllerLost = lost; }
    void SetControllerCount(int count) { controllerCount = count; }
    // Changes applied in pass order; a change for a pass already read is
    // applied at the next read.
    void Schedule(std::vector<PlatInputChange> changes);

    int GetPass() const { return pass; }
    bool IsAcquired(PlatInputDevice::Kind kind) const { return acquired.count(kind) != 0; }
    bool IsOpen(PlatInputDevice::Kind kind) const { return open.count(kind) != 0; }
    int GetControllerAcquires() const { return controllerAcquires; }
    int GetControllerPolls() const { return controllerPolls; }

    bool Open(const PlatInputDevice& device) override;
    void Close(const PlatInputDevice& device) override;
    HRESULT SetUp(const PlatInputDevice& device, bool exclusive) override;
    HRESULT Acquire(const PlatInputDevice& device, bool exclusive) override;
    void Unacquire(const PlatInputDevice& device) override;
    HRESULT Poll(const PlatInputDevice& device) override;
    bool ReadKeys(BYTE keys[256]) override;
    bool ReadMouse(DIMOUSESTATE& state) override;
    int ControllerCount() override { return controllerCount; }
    int ControllerAxes(int controller) override;

private:
    void ApplyScheduled();
    bool TakeFailure(PlatInputDevice::Kind kind) { return failingReads.erase(kind) != 0; }

    PlatInputState state;
    int pass = 0;
    int controllerCount = 0;
    int controllerAcquires = 0;
    int controllerPolls = 0;
    bool controllerLost = false;
    std::vector<PlatInputChange> schedule;
    std::size_t nextChange = 0;
    std::set<PlatInputDevice::Kind> failingReads;
    std::set<PlatInputDevice::Kind> refusedDevices;
    std::set<PlatInputDevice::Kind> refusedSetUps;
    std::set<PlatInputDevice::Kind> open;
    std::set<PlatInputDevice::Kind> acquired;
};

PlatScriptedInput& PlatGetScriptedInput();

#pragma once

#include "Application/InputReplay.h"
#include "Core/PTask.h"
#include "Platform/D3DX9Math.h"

#include <array>
#include <vector>

class CPLine;

// The driving keys the autodriver holds in one pass.
struct SPAutoDriveKeys {
    bool up = false;
    bool left = false;
    bool right = false;
    bool nitro = false;
    bool fire = false;

    bool operator==(const SPAutoDriveKeys&) const = default;
};

// Drives the player's car for tests and demonstrations as a player would:
// while input is replayed, before the input task reads the devices, it
// presses and releases the keys bound to "up", "left", "right", "nitro" and
// "fire", so that everything flows through the key bindings and the car's
// script. While it is on it holds the throttle (half of it in sharp turns
// and before bends), steers toward the racing line ("c_path") a few pieces
// ahead in the race direction, uses nitro on the straights and fires in
// bursts. The replay
// file's "autodrive" lines switch it.
class CPAutoDriver : public CPTask {
public:
    // Pieces ahead of the nearest one that the car steers at.
    static constexpr int kLookAhead = 4;
    // Pieces beyond those that it looks at for a bend to slow down for.
    static constexpr int kBrakeLookAhead = 3 * kLookAhead;
    // Heading errors within this many radians need no steering; within a
    // fifth of it the road counts as straight.
    static constexpr float kDeadZone = 0.05f;
    // Beyond this error the throttle is held every other frame only, so the
    // car turns tighter.
    static constexpr float kSharpTurn = 0.35f;
    // Fire is held for the first kFireFrames of every kFirePeriod frames.
    static constexpr int kFirePeriod = 30;
    static constexpr int kFireFrames = 10;

    explicit CPAutoDriver(std::vector<SPAutodriveSwitch> switches);

    void Update() override;
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPAutoDriver); }
    std::string GetClassName() const override { return "CPAutoDriver"; }

    // The keys for a car at `position` facing `forward` that should head for
    // `target`, in the given frame.
    static SPAutoDriveKeys Decide(const D3DXVECTOR3& position, const D3DXVECTOR3& forward,
                                  const D3DXVECTOR3& target, int frame);

private:
    // Whether the switches make the driver drive in the frame.
    bool OnIn(int frame) const;
    // The keys for the current race; none without a level and its player car.
    SPAutoDriveKeys KeysFor(int frame);
    void Press(const SPAutoDriveKeys& keys);

    std::vector<SPAutodriveSwitch> switches;
    // The racing line's piece nearest the car when last looked for.
    CPLine* nearest = nullptr;
    const void* nearestLevel = nullptr;
    SPAutoDriveKeys held;
};

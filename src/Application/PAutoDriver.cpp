#include "Application/PAutoDriver.h"

#include "Game/PLevel.h"
#include "Game/PLine.h"
#include "Input/NInput.h"
#include "Platform/Input/InputBackend.h"
#include "Script/Functions/RaceAccess.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Half size of the square searched for the nearest piece of the line.
constexpr float kSearchRadius = 40.0f;

// The key bound to the action, or -1 when none is.
int KeyOf(const char* action) {
    if (!g_Input)
        return -1;
    for (int code = 0; code < static_cast<int>(g_Input->keyBindings.size()); ++code) {
        const ActionBinding& binding = g_Input->keyBindings[code];
        if (binding.bound && binding.text == action)
            return code;
    }
    return -1;
}

} // namespace

CPAutoDriver::CPAutoDriver(std::vector<SPAutodriveSwitch> autodrive) : switches(std::move(autodrive)) {
    std::stable_sort(
        switches.begin(), switches.end(),
        [](const SPAutodriveSwitch& a, const SPAutodriveSwitch& b) { return a.frame < b.frame; });
}

void CPAutoDriver::Update() {
    if (g_Level != nearestLevel) {
        nearest = nullptr;
        nearestLevel = g_Level;
    }
    // The input task reads the next pass of the replayed devices.
    const int frame = PlatGetReplayPass() + 1;
    Press(OnIn(frame) ? KeysFor(frame) : SPAutoDriveKeys());
}

bool CPAutoDriver::OnIn(int frame) const {
    bool on = false;
    for (const SPAutodriveSwitch& change : switches)
        if (change.frame <= frame)
            on = change.on;
    return on;
}

SPAutoDriveKeys CPAutoDriver::KeysFor(int frame) {
    if (!g_Level || !g_Level->player || !g_Level->centrePath)
        return {};
    const CPPlayer& car = *g_Level->player;
    float radius = kSearchRadius;
    g_Level->centrePath->FindClosestLine(car.GetPosition(), radius, 0, nearest);
    if (!nearest)
        return {};
    const CPLine* target = nearest;
    for (int i = 0; i < kLookAhead; ++i)
        target = g_Level->reverse ? target->next : target->prev;
    SPAutoDriveKeys keys = Decide(car.GetPosition(), ForwardOf(car), target->centre, frame);
    const CPLine* far = target;
    for (int i = 0; i < kBrakeLookAhead; ++i)
        far = g_Level->reverse ? far->next : far->prev;
    // A bend coming up: no nitro and half the throttle, so the car enters it
    // slow enough to stay on the road.
    const SPAutoDriveKeys ahead = Decide(car.GetPosition(), ForwardOf(car), far->centre, frame);
    if (ahead.left || ahead.right) {
        keys.nitro = false;
        keys.up = keys.up && frame % 2 == 0;
    }
    return keys;
}

SPAutoDriveKeys CPAutoDriver::Decide(const D3DXVECTOR3& position, const D3DXVECTOR3& forward,
                                     const D3DXVECTOR3& target, int frame) {
    const float wanted = std::atan2(target.y - position.y, target.x - position.x);
    float error = wanted - std::atan2(forward.y, forward.x);
    error = std::remainder(error, 2 * std::numbers::pi_v<float>);
    SPAutoDriveKeys keys;
    keys.up = std::fabs(error) < kSharpTurn || frame % 2 == 0;
    // The cars steer right for a target clockwise of their heading (a
    // negative turn about z).
    keys.right = error < -kDeadZone;
    keys.left = error > kDeadZone;
    keys.nitro = std::fabs(error) < kDeadZone / 5;
    keys.fire = frame % kFirePeriod < kFireFrames;
    return keys;
}

void CPAutoDriver::Press(const SPAutoDriveKeys& keys) {
    if (keys == held)
        return;
    const std::pair<const char*, bool> actions[] = {{"up", keys.up},
                                                    {"left", keys.left},
                                                    {"right", keys.right},
                                                    {"nitro", keys.nitro},
                                                    {"fire", keys.fire}};
    for (const auto& [action, down] : actions)
        if (const int code = KeyOf(action); code >= 0)
            PlatSetReplayKey(code, down);
    held = keys;
}

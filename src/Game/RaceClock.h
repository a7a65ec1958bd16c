#pragma once

#include <cstdint>

// The race's own clocks besides the level's countdown (PLevelUpdate.cpp).
struct RaceClock {
    float idle = 0;
    float warmUp = 0;
    // Milliseconds of the system clock at the level's construction, kept
    // whole so that differences stay exact however long the machine has run.
    uint32_t mark = 0;
    // Unused time carried to the player's next fixed step.
    float stepAccumulator = 0;
    float checkpointTimer = 0;
    float padSoundCooldown = 0;
};

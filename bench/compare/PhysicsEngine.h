#pragma once

#include "../PhysicsScenes.h"

#include <vector>

// When the libraries' bodies go to sleep: by each library's own defaults, or
// by a rule matched to our simulator's (a body comes to rest once it has
// stayed below 1 m/s and 1 rad/s for 11 steps, about 0.18 s).
enum class SleepRule { Defaults, Matched };
inline constexpr int MatchedSleepSteps = 11;
inline constexpr float MatchedSleepSpeed = 1.0f; // m/s and rad/s

// One engine of the comparison: loads a shared scene, steps it by
// SceneTimeStep (wheel rays and forces included in the step) and reports
// where its bodies are.
class PhysicsEngine {
public:
    virtual ~PhysicsEngine() = default;
    virtual const char* Name() const = 0;
    // Prints the engine's settings: solver, iterations, friction and
    // restitution rules, collision margins, sleeping, how the wheels work.
    virtual void PrintSettings() const = 0;
    // Replaces whatever was loaded before.
    virtual void Load(const PhysicsScene& scene) = 0;
    virtual void Step() = 0;
    // Centres of the boxes, then of the cars, in scene order.
    virtual std::vector<RbVector> Positions() const = 0;
};

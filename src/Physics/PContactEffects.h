#pragma once

#include "Physics/Simulator/RbVector.h"

struct RbCollisionInfo;

// Turns the world's contact reports into dents, sparks and the impact sound.
// The cars' geometries have material 1 and the ground's triangles material
// 0; any other contact is ignored. Lives for the whole run: the spark timer
// is not reset between races.
class CPContactEffects {
public:
    static constexpr int FrameSparkBudget = 40;
    // Car-against-car sparks come at most once per this much frame time.
    static constexpr float CarSparkInterval = 0.038f;
    static constexpr float GroundDent = 0.008f;
    static constexpr float CarDent = 0.08f;

    void OnCollision(const RbCollisionInfo& info);
    // Emits up to count "iskra" sparks from the position, within what is left
    // of the frame's spark budget.
    void SpawnSparks(const RbVector& position, const RbVector& direction, int count);

    // Frame time since the last car-against-car sparks.
    float Timer() const { return timer; }

private:
    void OnGroundContact(const RbCollisionInfo& info, float speed);
    void OnCarContact(const RbCollisionInfo& info, float speed);
    void PlaySlam();

    float timer = 0.0f;
    // The frame whose time the timer last took.
    int frameStamp = -1;
};

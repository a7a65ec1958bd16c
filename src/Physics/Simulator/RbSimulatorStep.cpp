#include "Physics/Simulator/RbSimulator.h"

#include <cmath>

int RbSimulator::Advance(float time, int steps, RbPerformanceReport* report) {
    if (!(time > 0.0f) || !std::isfinite(time) || steps <= 0)
        return ++stepCounter; // no step of zero or negative length
    stepTime = time / static_cast<float>(steps);
    inverseStepTime = 1.0f / stepTime;
    historySlot = stepCounter % 10;
    currentReport = report;
    if (report) {
        report->Begin();
        timer.Restart();
    }
    for (int i = 0; i < steps; ++i)
        Step();
    ClearMovedFlags();
    if (report)
        report->Finish(timer.Total());
    return ++stepCounter;
}

// One fixed step, each phase timed into its slot.
void RbSimulator::Step() {
    ResetSensors();
    UpdateBodyBounds();
    region.Update();
    Lap(kRbBroadPhaseSlot);
    CheckBodyCollisions();
    Lap(kRbBodyPairsSlot);
    CheckTerrainCollisions();
    Lap(kRbTerrainSlot);
    ClearAccumulators();
    ApplyForces(rigidLists);
    ApplyForces(particleLists);
    Lap(kRbForcesSlot);
    SolveStacks();
    ResolveContacts();
    Lap(kRbContactsSlot);
    Integrate(rigidLists);
    Integrate(particleLists);
    Lap(kRbIntegrationSlot);
    // The world holds no joints, so nothing runs after integration.
    Lap(kRbJointsSlot);
}

void RbSimulator::Lap(RbPhaseSlot slot) {
    if (currentReport)
        timer.Lap(slot);
}

void RbSimulator::ResetSensors() {
    for (RbBodyLists* lists : {&animatedLists, &particleLists, &rigidLists})
        for (RbBody* body = lists->active.head; body; body = body->poolNext)
            body->ClearSensorHits();
}

void RbSimulator::UpdateBodyBounds() {
    for (RbBodyLists* lists : {&rigidLists, &particleLists})
        for (RbBody* body = lists->active.head; body; body = body->poolNext)
            body->UpdateWorldBounds();
    for (RbBody* body = animatedLists.active.head; body; body = body->poolNext)
        if (static_cast<RbAnimatedBody*>(body)->moved)
            body->UpdateWorldBounds();
}

void RbSimulator::ClearAccumulators() {
    for (RbBodyLists* lists : {&rigidLists, &particleLists}) {
        for (RbBody* body = lists->active.head; body; body = body->poolNext) {
            auto* rigid = static_cast<RbRigidBody*>(body);
            rigid->forceAccumulator = {};
            rigid->torqueAccumulator = {};
        }
    }
}

void RbSimulator::ApplyForces(RbBodyLists& lists) {
    for (RbBody* body = lists.active.head; body; body = body->poolNext)
        static_cast<RbRigidBody*>(body)->ApplyForces(stepTime);
}

void RbSimulator::Integrate(RbBodyLists& lists) {
    for (RbBody* body = lists.active.head; body; body = body->poolNext) {
        auto* rigid = static_cast<RbRigidBody*>(body);
        rigid->integrated = 1;
        if (rigid->restState == kRbResting)
            continue;
        if (!rigid->group)
            rigid->UpdateRestState();
        if (rigid->restState != kRbResting)
            rigid->Integrate(stepTime);
    }
}

void RbSimulator::ClearMovedFlags() {
    for (RbBody* body = animatedLists.active.head; body; body = body->poolNext)
        static_cast<RbAnimatedBody*>(body)->moved = 0;
}

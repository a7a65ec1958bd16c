#pragma once

#include "Core/PRefPtr.h"
#include "Vehicles/PPlayer.h"

class CPLine;
class CPSpline;

// One computer driver: it follows the level's racing line, brakes before
// sharp bends, swerves from cars in front, keeps pace with the human player
// and backs out when stuck. It drives its vehicle only through the vehicle's
// controls, brake and nitro, in steps of fixed length.
class AI_Vehicle : public CPObject {
public:
    static constexpr int kPathCount = 3;
    // Seconds of straight driving at the start of a race.
    static constexpr float kStartTime = 5.0f;

    size_t GetSize() const override { return sizeof(AI_Vehicle); }
    std::string GetClassName() const override { return "AI_Vehicle"; }

    // The level's view of the vehicle this frame: the vehicle (kept counted),
    // its heading (flattened onto the ground and normalised), its speed and
    // the rubber band's thresholds A and B in track pieces.
    void SetCarState(const CPRefPtr<CPPlayer>& car, const D3DXVECTOR3& carHeading, float carSpeed,
                     int thresholdA, int thresholdB);
    // Path 0 is the racing line's current piece; 1 and 2 the right and left
    // edges' first pieces. Each call also takes the level's racing line as
    // the path to follow. Indexes outside 0..2 are refused.
    void SetPath(int pathIndex, CPLine* sample);
    // Forgets the track pieces and the racing line: their level is going.
    void ForgetPaths();
    CPRefPtr<CPPlayer> GetCar() const { return vehicle; }
    void ReleaseCar();
    // One decision of `dt` seconds; sends the vehicle its controls. Without
    // a vehicle, a racing line or a current piece, or with a locked vehicle,
    // nothing happens.
    void Step(float dt);

    float steering = 0.0f;
    float throttle = 1.0f;
    float speed = 0.0f;
    D3DXVECTOR3 position{0, 0, 0};
    D3DXVECTOR3 heading{0, 0, 0};
    CPRefPtr<CPPlayer> vehicle;
    CPLine* currentSample = nullptr;
    CPLine* edgeSamples[kPathCount] = {};
    CPSpline* mainPath = nullptr;
    float drivingTime = 0.0f;
    float stuckTimer = 0.0f;
    D3DXVECTOR3 checkPosition{0, 0, 0};
    bool reversing = false;
    float reverseTimer = 0.0f;
    bool reverseRoute = false;
    int paceA = 0;
    int paceB = 0;

private:
    // The steps after the straight start: steering, braking and pace.
    void Decide(float dt, bool& nitro);
    // The signed angle from the heading to the direction of angle t:
    // positive when the heading lies anticlockwise of it.
    float SignedAngleTo(float t) const;
    // Whether a piece 8 to 11 pieces ahead turns away from the steering
    // angle by more than the bend limit.
    bool BendAhead(float steer) const;
    // The steering the cars in front add: each car the forward ray hits adds
    // a swerve to the side the driver already lies.
    float Avoidance(float side, float dt) const;
    // Slows down far ahead of the human player's piece, speeds up just
    // behind it.
    void RubberBand(bool& nitro);
    // Every 1.5 s: a vehicle that has not moved 1 unit since the last check
    // backs out with turned-round controls for 2 s.
    void CheckStuck(float dt);
};

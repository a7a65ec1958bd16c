#pragma once

#include "Core/PRefPtr.h"
#include "Vehicles/PPlayer.h"

class CPLine;
class CPSpline;

// One computer driver's controller. Stands in for the drivers until they are
// built: it keeps its car and its track pieces and reports the calls the
// level makes.
class AI_Vehicle : public CPObject {
public:
    static constexpr int kPathCount = 3;

    size_t GetSize() const override { return sizeof(AI_Vehicle); }
    std::string GetClassName() const override { return "AI_Vehicle"; }

    // Path 0 is the racing line's current piece; 1 and 2 the right and left
    // edges' first pieces. Indexes outside 0..2 are refused.
    void SetPath(int pathIndex, CPLine* sample);
    // Forgets the track pieces: their line is going.
    void ForgetPaths();
    CPRefPtr<CPPlayer> GetCar() const { return vehicle; }
    void ReleaseCar();

    CPRefPtr<CPPlayer> vehicle;
    CPLine* currentSample = nullptr;
    CPLine* edgeSamples[kPathCount] = {};
};

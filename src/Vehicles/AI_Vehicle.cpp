#include "Vehicles/AI_Vehicle.h"

#include "Core/CallRecorder.h"

void AI_Vehicle::SetPath(int pathIndex, CPLine* sample) {
    if (pathIndex < 0 || pathIndex >= kPathCount)
        return;
    RecordCall("AI_Vehicle::SetPath " + std::to_string(pathIndex));
    edgeSamples[pathIndex] = sample;
    if (pathIndex == 0)
        currentSample = sample;
}

void AI_Vehicle::ForgetPaths() {
    currentSample = nullptr;
    for (CPLine*& sample : edgeSamples)
        sample = nullptr;
}

void AI_Vehicle::ReleaseCar() {
    RecordCall("AI_Vehicle::ReleaseCar");
    vehicle = nullptr;
}

#include "Vehicles/AI_Task.h"

#include "Core/CallRecorder.h"
#include "Core/PGlobalTimer.h"

#include <algorithm>

AI_Task* g_AITask = nullptr;

AI_Task::AI_Task() {
    g_AITask = this;
    priority = PRIORITY_DEFAULT;
    RecordCall("AI_Task()");
    AddDrivers(kMainDrivers, extraVehicleCount);
}

AI_Task::~AI_Task() {
    RecordCall("~AI_Task()");
    if (g_AITask == this)
        g_AITask = nullptr;
}

AI_Task* GetAITask() {
    return g_AITask;
}

void AI_Task::Update() {
    const float frame = std::clamp(g_FrameTime, 0.0f, kMaxFrameTime);
    for (float& gathered : accumulators)
        gathered += frame;
    float& gathered = accumulators[currentSlot];
    AI_Vehicle* driver = GetDriver(currentSlot);
    while (gathered >= kStepTime) {
        if (driver)
            driver->Step(kStepTime);
        gathered -= kStepTime;
    }
    currentSlot = (currentSlot + 1) % kMainDrivers;
}

void AI_Task::ReleaseVehicles() {
    RecordCall("AI_Task::ReleaseVehicles");
    for (auto* list : {&mainDrivers, &extraDrivers}) {
        for (const std::unique_ptr<AI_Vehicle>& driver : *list)
            driver->ReleaseCar();
        list->clear();
    }
}

void AI_Task::AddDrivers(int mainCount, int extraCount) {
    for (int i = 0; i < mainCount; ++i)
        mainDrivers.push_back(std::make_unique<AI_Vehicle>());
    for (int i = 0; i < extraCount; ++i)
        extraDrivers.push_back(std::make_unique<AI_Vehicle>());
}

void AI_Task::SetExtraVehicleCount(int count) {
    extraVehicleCount = count;
    if (count == 0)
        extraVehiclesActive = false;
}

AI_Vehicle* AI_Task::GetDriver(int index) const {
    if (index < 0)
        return nullptr;
    const auto& list = index < kMainDrivers ? mainDrivers : extraDrivers;
    const int slot = index < kMainDrivers ? index : index - kMainDrivers;
    if (slot >= static_cast<int>(list.size()))
        return nullptr;
    return list[slot].get();
}

void AI_Task::SetVehicleState(int index, const CPRefPtr<CPPlayer>& vehicle, const D3DXVECTOR3& heading,
                              float speed, int thresholdA, int thresholdB) {
    if (AI_Vehicle* driver = GetDriver(index))
        driver->SetCarState(vehicle, heading, speed, thresholdA, thresholdB);
}

void AI_Task::SetVehiclePath(int index, int pathIndex, CPLine* sample) {
    RecordCall("AI_Task::SetVehiclePath " + std::to_string(index) + " " + std::to_string(pathIndex));
    if (AI_Vehicle* driver = GetDriver(index))
        driver->SetPath(pathIndex, sample);
}

void AI_Task::ForgetPaths() {
    for (const auto* list : {&mainDrivers, &extraDrivers}) {
        for (const std::unique_ptr<AI_Vehicle>& driver : *list)
            driver->ForgetPaths();
    }
}

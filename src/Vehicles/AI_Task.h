#pragma once

#include "Core/PTask.h"
#include "Vehicles/AI_Vehicle.h"

#include <memory>
#include <vector>

class CPLine;

class AI_Task;
extern AI_Task* g_AITask;
AI_Task* GetAITask();

// Stands in for the computer drivers' task until the drivers are built: it
// holds the two lists of controllers the level fills and reports the calls
// the level makes. Vehicle indexes 0..4 address the main drivers, 5..9 the
// extra drivers.
class AI_Task : public CPTask {
public:
    static constexpr int kMainDrivers = 5;

    AI_Task();
    ~AI_Task() override;

    void Update() override {}
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(AI_Task); }
    std::string GetClassName() const override { return "AI_Task"; }

    // Every controller lets go of its car; both lists become empty.
    void ReleaseVehicles();
    // Appends new controllers to the two lists.
    void AddDrivers(int mainCount, int extraCount);
    void SetExtraVehicleCount(int count);
    // The controller of the vehicle index; null outside both lists.
    AI_Vehicle* GetDriver(int index) const;
    // Refused for an index without a controller.
    void SetVehiclePath(int index, int pathIndex, CPLine* sample);
    // Every controller forgets its track pieces.
    void ForgetPaths();

    std::vector<std::unique_ptr<AI_Vehicle>> mainDrivers;
    std::vector<std::unique_ptr<AI_Vehicle>> extraDrivers;
    bool extraVehiclesActive = false;
    int extraVehicleCount = 5;
};

#pragma once

#include "Core/PTask.h"
#include "Vehicles/AI_Vehicle.h"

#include <array>
#include <memory>
#include <vector>

class CPLine;

class AI_Task;
extern AI_Task* g_AITask;
AI_Task* GetAITask();

// The computer drivers' task: five main drivers, stepped one a frame in
// turn with the fixed steps their accumulator has gathered, and the extra
// drivers, which only receive their vehicles' states. Vehicle indexes 0..4
// address the main drivers, 5..9 the extra drivers; other indexes are
// ignored.
class AI_Task : public CPTask {
public:
    static constexpr int kMainDrivers = 5;
    static constexpr float kStepTime = 1.0f / 60.0f;
    // A frame adds at most this much to an accumulator, so a long stall
    // does not make a driver catch up with hundreds of steps at once.
    static constexpr float kMaxFrameTime = 0.25f;

    AI_Task();
    ~AI_Task() override;

    // Steps the current slot's main driver, then moves to the next slot.
    void Update() override;
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
    void SetVehicleState(int index, const CPRefPtr<CPPlayer>& vehicle, const D3DXVECTOR3& heading,
                         float speed, int thresholdA, int thresholdB);
    // Refused for an index without a controller.
    void SetVehiclePath(int index, int pathIndex, CPLine* sample);
    // Every controller forgets its track pieces.
    void ForgetPaths();

    std::vector<std::unique_ptr<AI_Vehicle>> mainDrivers;
    std::vector<std::unique_ptr<AI_Vehicle>> extraDrivers;
    int currentSlot = 0;
    bool extraVehiclesActive = false;
    int extraVehicleCount = 5;
    std::array<float, kMainDrivers> accumulators{};
};

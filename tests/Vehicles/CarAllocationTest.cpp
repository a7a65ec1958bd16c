#include "CarTestSupport.h"
#include "Support/AllocationCounter.h"

#include "Sound/NAudio.h"

#include <vector>

namespace {

// The sounds outlive the cars that hold them.
class CarAllocations : public CarScene {
protected:
    CNAudio audio;
};

TEST_F(CarAllocations, StepsAllocateNothingOnceWarmedUp) {
    LevelStarted started(true);
    g_Dust = 0;
    BuildGround();
    CPCar& player = AddFlatCar(CarXml(), true);
    tree.Add("pane", &tree.Add("glass", player.owner));
    std::vector<CPCar*> cars = {&player};
    for (int i = 1; i < 4; ++i)
        cars.push_back(&AddCar(CarXml(), {6.0f * static_cast<float>(i), 0, 1.0f}, {0, 0, 0, 1}));
    for (CPCar* car : cars)
        car->SetControls(1, 0.3f);
    player.nitroDemand = 1.0f;
    cars[1]->SetBrake(true);
    Frames(60);

    CountAllocations(true);
    Frames(60);
    CountAllocations(false);
    EXPECT_EQ(AllocationCount(), 0);
    for (CPCar* car : cars)
        EXPECT_GT(car->speed, 1.0f);
}

} // namespace

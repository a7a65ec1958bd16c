#pragma once

#include "Game/PGameData.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "cartool/DriveOptions.h"

#include <memory>
#include <string>
#include <vector>

class CPCar;
class CPGameObject;

// One line of the drive's report.
struct DriveSample {
    float time = 0.0f;
    float speed = 0.0f;
    // The body's centre above the ground under it.
    float height = 0.0f;
    // Of the car's forward direction, in degrees from +x toward +y.
    float heading = 0.0f;
    int wheelsDown = 0;
};

// One car of a description on a generated plane, stepped as the game steps
// it (1/60 s frames, two physics steps each) with the race under way: a
// 2 x 4 x 0.8 box body of the given mass on wheels w0 to w3 at (+-0.9,
// +-1.4), dropped level with the ground 1.5 above it and driven with fixed
// controls.
class TestDrive {
public:
    static constexpr float FrameTime = 1.0f / 60.0f;

    explicit TestDrive(const DriveOptions& options);
    ~TestDrive();
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    // Builds the ground and the car from the description's XML text; false
    // with `error` when the text is not a readable description or the world
    // cannot be built.
    bool Start(const std::string& descriptionText, std::string& error);
    void RunFrame();
    DriveSample Sample() const;

private:
    float GroundHeight(float y) const;
    void BuildCar(const std::string& descriptionText);

    DriveOptions options;
    float slope;
    PhysicsServices savedServices;
    CPGameData gameData;
    CPPhysics physics;
    // The wheels outlive the car, which holds them.
    std::vector<std::unique_ptr<CPGameObject>> wheels;
    std::unique_ptr<CPGameObject> car;
    CPCar* carPhysics = nullptr;
    int frames = 0;
};

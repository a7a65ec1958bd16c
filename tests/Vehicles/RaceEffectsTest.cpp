#include "ShotTestSupport.h"
#include "VehicleTestSupport.h"

#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PLine.h"
#include "Render/PRender.h"

#include <string>
#include <vector>

namespace {

// A vehicle at rest on the ground at the origin, stepped frame by frame,
// with the game data and the renderer whose screen effects it switches.
class RaceEffects : public VehicleScene {
protected:
    void SetUp() override {
        VehicleScene::SetUp();
        car = &AddVehicle({0, 0, 1});
        level.cars.emplace_back(car);
    }
    void TearDown() override {
        g_ParticleSystems = 25;
        VehicleScene::TearDown();
    }

    // Runs the updates at the frame time; the frame clock reads it too.
    void Run(int frames, float dt) {
        g_FrameTime = dt;
        for (int k = 0; k < frames; ++k)
            car->Update(dt);
    }

    CPGameData data;
    CPRender render;
    RaceLog log;
    CPPlayer* car = nullptr;
};

} // namespace

// "defeat" follows three seconds after the human car's defeat, once; the
// game is over at once.
TEST_F(RaceEffects, DefeatIsReportedOnceThreeSecondsOn) {
    car->SetFlags(PLAYER_HUMAN);
    car->damage = 100;
    car->Lock(true);
    Run(23, 0.125f);
    EXPECT_EQ(log.Commands("main:defeat()"), 0);
    Run(1, 0.125f);
    EXPECT_EQ(log.Commands("main:defeat()"), 1);
    Run(100, 0.125f);
    EXPECT_EQ(log.Commands("main:defeat()"), 1);
    EXPECT_EQ(log.Commands("game_interface:show_message(proigrish!)"), 1);
    EXPECT_EQ(log.Commands("jeep:game_over()"), 1);
    EXPECT_TRUE(car->defeated);
    EXPECT_TRUE(car->IsVisible());
    EXPECT_EQ(log.Particles("smoke3car"), 31) << "a puff of smoke every 0.5 s";
}

TEST_F(RaceEffects, ADefeatTimeThatJumpsPastTwentySecondsReportsNothing) {
    car->SetFlags(PLAYER_HUMAN | PLAYER_ALL_SIDES);
    car->damage = 100;
    Run(1, 25.0f);
    Run(10, 0.05f);
    EXPECT_EQ(log.Commands("main:defeat()"), 0);
    EXPECT_EQ(log.Particles("smoke3car"), 0) << "unlocked, and of all sides";
    EXPECT_FALSE(car->defeated);
}

// A drift scores its time cut to tenths once it ends, when it lasted
// longer than half a second.
TEST_F(RaceEffects, ADriftLongerThanHalfASecondScores) {
    data.textTable["drift_time"] = "Drift";
    car->human = true;
    const std::pair<std::pair<int, float>, const char*> cases[] = {
        {{4, 0.125f}, nullptr}, {{3, 0.42f}, "game_interface:bonus_points2(time,Drift,1.200000)"}};
    for (const auto& [drift, score] : cases) {
        log.Clear();
        car->SetControls(0, 0.3f);
        car->GetCar()->steering = 0.3f;
        car->GetCar()->slideFactor = 0.5f;
        Run(drift.first, drift.second);
        car->SetControls(0, 0);
        car->GetCar()->steering = 0;
        car->GetCar()->slideFactor = 0;
        Run(1, 0.01f);
        EXPECT_EQ(log.Commands(score ? score : "game_interface:bonus_points2(time,Drift,0.500000)"),
                  score ? 1 : 0);
        EXPECT_FLOAT_EQ(car->driftTime, 0);
    }
    EXPECT_EQ(log.Commands("game_interface:update_arrows(0)"), 4)
        << "every frame of the last drift and after";
}

// The arrow points into a bend of more than 30 degrees four pieces ahead.
TEST_F(RaceEffects, TheTurnArrowLooksFourPiecesAhead) {
    CPLine pieces[5];
    for (int k = 0; k < 4; ++k)
        pieces[k].prev = &pieces[k + 1];
    level.playerLine = &pieces[0];
    level.trackAngle = 0.2f;
    car->human = true;
    const std::pair<float, int> cases[] = {{0.5f, 0}, {-0.5f, 0}, {0.53f, 1}, {-0.53f, -1}, {2.0f, 1}};
    for (const auto& [bend, arrow] : cases) {
        pieces[4].angle = level.trackAngle + bend;
        log.Clear();
        Run(1, 0.01f);
        EXPECT_EQ(log.commands.back(), "game_interface:update_arrows(" + std::to_string(arrow) + ")") << bend;
        EXPECT_EQ(car->turnArrow, arrow);
    }
    level.playerLine = nullptr;
}

// The human car's engine record comes with its equipment; the hot mark is
// reported once each way.
TEST_F(RaceEffects, TheEngineTemperatureIsReportedOnceEachWay) {
    EngineInfo engine;
    engine.name = "v6";
    engine.heatRate = 0.5f;
    engine.coolRate = 0.25f;
    data.engineCatalogue.Add(engine);
    data.realCarInfo.engine = "v6";
    car->SetFlags(PLAYER_HUMAN | PLAYER_AURINE);
    EXPECT_FLOAT_EQ(car->engineRecord.coolRate, 0.25f);
    car->SetControls(1, 0);
    Run(30, 0.1f);
    EXPECT_FLOAT_EQ(car->engineTemperature, 1.0f);
    car->SetControls(0, 0);
    Run(50, 0.1f);
    EXPECT_FLOAT_EQ(car->engineTemperature, 0.0f);
    EXPECT_EQ(log.commands.size(), 2u);
    EXPECT_EQ(log.Commands("gamemenu:engine_temp(1)"), 1);
    EXPECT_EQ(log.Commands("gamemenu:engine_temp(0)"), 1);
}

TEST_F(RaceEffects, TheShadowWorldSparksScaleWithTheParticleSetting) {
    level.cameraTarget = car;
    car->inShadowWorld = true;
    g_ParticleSystems = 10;
    Run(1, 0.01f);
    EXPECT_EQ(log.Particles("iskra3blue"), 24);
    level.cameraView = 1;
    Run(1, 0.01f);
    EXPECT_EQ(log.Particles("iskra3blue"), 24) << "not behind the camera's own car in another view";
}

// Only the camera's car blurs and tints the screen, and stops the extra
// cars, until fifteen seconds have passed; another computer car is hidden
// while the camera's car is not in the shadow world.
TEST_F(RaceEffects, TheShadowWorldScreenBelongsToTheCameraTarget) {
    CPPlayer& other = AddVehicle({30, 0, 1});
    level.cars.emplace_back(&other);
    level.cameraTarget = car;
    level.laps.lapTiming = true;
    CPGameObject portal("box"), mark("portal_a");
    portal.AddChild(&mark);
    portal.bounds = other.bounds;
    data.heldObjects.push_back({&portal, 0});
    other.UpdatePickups();
    EXPECT_EQ(render.motionBlurOn, 0);
    EXPECT_FALSE(other.IsVisible());
    portal.bounds = car->bounds;
    data.heldObjects.push_back({&portal, 0});
    car->UpdatePickups();
    EXPECT_EQ(render.motionBlurOn, 1);
    EXPECT_FLOAT_EQ(render.motionBlurAmount, 0.3f);
    EXPECT_EQ(render.pickupTint, 150);
    EXPECT_FALSE(level.extraCarsActive);
    Run(149, 0.1f);
    EXPECT_EQ(render.motionBlurOn, 1);
    Run(2, 0.1f);
    EXPECT_EQ(render.motionBlurOn, 0);
    EXPECT_FLOAT_EQ(render.motionBlurAmount, 0);
    EXPECT_EQ(render.pickupTint, 255);
    EXPECT_TRUE(level.extraCarsActive);
    EXPECT_FALSE(car->inShadowWorld);
    data.heldObjects.clear();
}

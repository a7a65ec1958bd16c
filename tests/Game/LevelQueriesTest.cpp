#include "Core/PSettings.h"
#include "Game/PLevel.h"
#include "Render/PRender.h"
#include "Support/GameTestSupport.h"
#include "Vehicles/PPlayer.h"

#include <gtest/gtest.h>

namespace {

// An object of the tree with a part box of half size 1 at the position.
CPGameObject& Box(ObjectTree& tree, const std::string& name, const D3DXVECTOR3& at) {
    CPGameObject& object = tree.Add(name);
    object.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
    object.SetPosition(at);
    object.UpdateHierarchy();
    return object;
}

RayQuery Ray(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float length) {
    RayQuery query;
    query.origin = origin;
    query.direction = direction;
    query.length = length;
    return query;
}

// A level without a file: the player's car at the origin, the objects the
// tests place, and a grid like a loaded level's.
class LevelQueries : public ::testing::Test {
protected:
    void SetUp() override {
        player.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
        player.UpdateHierarchy();
        level.player = &player;
        level.cameraTarget = &player;
        level.grid.extentX = level.grid.extentY = 3000;
        level.grid.cellsX = level.grid.cellsY = 300;
        level.grid.cells = std::make_unique<std::vector<std::list<CPRefPtr<CPGameObject>>>>(300 * 300);
    }
    void TearDown() override { g_QuadLevels = 0; }

    ObjectTree tree;
    CPPlayer player;
    CPLevel level;
};

} // namespace

TEST_F(LevelQueries, RaysNearThePlayerTestTheLooseObjects) {
    CPGameObject& ahead = Box(tree, "ahead", {0, -20, 0});
    CPGameObject& far = Box(tree, "far", {480, 0, 0});
    level.looseObjects = {&ahead, &far};

    RayQuery query = Ray({0, 0, 0}, {0, -1, 0}, 50);
    EXPECT_TRUE(level.CrossPlayerRay(query)) << "never the player's own car";
    EXPECT_EQ(query.hitObject.Get(), &ahead);
    EXPECT_NEAR(query.length, 19.0f, 1e-4f);
    ExpectNear(query.hitPoint, {0, -19, 0});

    RayQuery fromAfar = Ray({500, 0, 0}, {-1, 0, 0}, 50);
    EXPECT_FALSE(level.CrossPlayerRay(fromAfar)) << "500 units from the car";
    EXPECT_FALSE(fromAfar.hitObject);

    RayQuery through = Ray({0, 5, 0}, {0, -1, 0}, 50);
    EXPECT_TRUE(level.CrossRay(through));
    EXPECT_EQ(through.hitObject.Get(), &player) << "the car lies before the loose object";
    RayQuery past = Ray({0, 5, 0}, {0, -1, 0}, 50);
    EXPECT_TRUE(level.CrossPlayerRay(past));
    EXPECT_EQ(past.hitObject.Get(), &ahead);
}

// The computer cars are hit wherever they are, before what lies behind them.
TEST_F(LevelQueries, RaysFarFromThePlayerReachTheComputerCars) {
    CPGameObject& rival = Box(tree, "rival", {480, 0, 0});
    CPGameObject& behind = Box(tree, "behind", {470, 0, 0});
    level.extraLooseObjects = {&rival};
    level.looseObjects = {&behind};
    for (const bool withPlayer : {false, true}) {
        RayQuery query = Ray({500, 0, 0}, {-1, 0, 0}, 50);
        EXPECT_TRUE(withPlayer ? level.CrossRay(query) : level.CrossPlayerRay(query));
        EXPECT_EQ(query.hitObject.Get(), &rival);
        EXPECT_NEAR(query.length, 19.0f, 1e-4f);
    }
    RayQuery beside = Ray({500, 5, 0}, {-1, 0, 0}, 50);
    EXPECT_FALSE(level.CrossRay(beside));
}

TEST_F(LevelQueries, RayHitsTheFirstCarInTheList) {
    CPPlayer farCar, nearCar;
    for (auto [car, y] : {std::pair{&farCar, -30.0f}, std::pair{&nearCar, -10.0f}}) {
        car->partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
        car->SetPosition({0, y, 0});
        car->UpdateHierarchy();
    }
    level.cars = {&farCar, &nearCar};
    RayQuery query = Ray({0, -2, 0}, {0, -1, 0}, 50);
    EXPECT_TRUE(level.RayHitsCar(query));
    EXPECT_EQ(query.hitObject.Get(), &farCar);
    RayQuery away = Ray({0, -2, 0}, {0, 1, 0}, 0.5f);
    EXPECT_FALSE(level.RayHitsCar(away));
    level.cars.clear();
}

TEST_F(LevelQueries, SphereFindsTheCarTheNearObjectsAndTheGrid) {
    CPGameObject& near = Box(tree, "near", {3, 0, 0});
    CPGameObject& lonely = Box(tree, "lonely", {200, 0, 0});
    CPGameObject& filed = Box(tree, "filed", {205, 0, 0});
    CPGameObject& edge = Box(tree, "edge", {1600, 1600, 0});
    level.looseObjects = {&near, &lonely};
    level.PlaceInGrid(&filed);
    level.PlaceInGrid(&edge);
    EXPECT_EQ((*level.grid.cells)[299 + 300 * 299].size(), 1u) << "clamped into the last cell";

    std::vector<CPRefPtr<CPGameObject>> found;
    level.QuerySphere({2, 0, 0}, 2, found);
    EXPECT_EQ(found, (std::vector<CPRefPtr<CPGameObject>>{&player, &near}));

    found.clear();
    level.QuerySphere({202, 0, 0}, 4, found);
    EXPECT_EQ(found, (std::vector<CPRefPtr<CPGameObject>>{&filed})) << "loose objects only near the car";

    level.grid.cells.reset();
    found.clear();
    level.QuerySphere({202, 0, 0}, 4, found);
    EXPECT_TRUE(found.empty());
    level.looseObjects.clear();
}

TEST_F(LevelQueries, MovingBackwardsAgainstTheTrack) {
    struct Case {
        float track, heading;
        bool reverse, backwards;
    };
    const Case cases[] = {{0, 3.1416f, false, true},
                          {0, 1.57f, false, false},
                          {0, 4.713f, false, false},
                          {0, 0, false, false},
                          {0, 0, true, true},
                          {1, 1 - 3.0f, false, true},
                          {6.0f, 6.0f + 12.566f, false, false}};
    for (const Case& c : cases) {
        level.trackAngle = c.track;
        level.targetHeading = c.heading;
        level.reverse = c.reverse;
        EXPECT_EQ(level.IsPlayerMovingBackwards(), c.backwards)
            << c.track << " " << c.heading << " " << c.reverse;
    }
}

TEST_F(LevelQueries, SunLightJoinsTheFrameLightsUpToThirty) {
    CPRender render;
    render.lightCount = CPRender::kMaxLights - 1;
    level.AddSunLight();
    EXPECT_EQ(render.lightCount, CPRender::kMaxLights);
    EXPECT_EQ(render.lights[CPRender::kMaxLights - 1].Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(render.lights[CPRender::kMaxLights - 1].Direction.z, -1.0f);
    level.AddSunLight();
    EXPECT_EQ(render.lightCount, CPRender::kMaxLights);
}

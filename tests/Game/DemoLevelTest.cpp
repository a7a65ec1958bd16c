#include "DemoLevelScene.h"

#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Game/CallTask.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLine.h"
#include "Game/PMeshManager.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Render/PRenderObject.h"
#include "Support/TestScripts.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/CarConnections.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"
#include "leveltool/LevelBuild.h"

#include <algorithm>

TEST_F(DemoLevel, LevelOneLoadsWithItsCarsAndTrack) {
    CPLevel level;
    ASSERT_TRUE(level.Load("level1", false, false));
    ASSERT_TRUE(level.player);
    EXPECT_TRUE(level.player->GetCar()->GetBody());
    ASSERT_EQ(level.cars.size(), 3u);
    for (const CPRefPtr<CPPlayer>& car : level.cars)
        EXPECT_TRUE(car->GetCar() && car->GetCar()->GetBody()) << car->carModelName;
    EXPECT_EQ(level.carModels, (std::list<std::string>{"roadster1", "roadster2", "roadster3"}));
    const auto same = [](const CPRefPtr<CPPlayer>& car, const CPRefPtr<CPGameObject>& object) {
        return car.Get() == object.Get();
    };
    EXPECT_TRUE(std::equal(level.cars.begin(), level.cars.end(), level.extraLooseObjects.begin(),
                           level.extraLooseObjects.end(), same))
        << "the weapons' rays reach every computer car";
    // The rivals' pace thresholds A and B, in track pieces.
    EXPECT_EQ(level.carPace, (std::vector<std::pair<int, int>>(3, {10, 20})));
    const int pieces = CountPieces(level.GetSpline()->firstLine);
    EXPECT_GT(pieces, 90);
    EXPECT_LT(pieces, 110);
    EXPECT_EQ(level.checkpoints.size(), 2u);
    EXPECT_EQ(level.refillPads.size(), 2u);
    // The drawn road: scenery whose bounds, taken from its vertices, span
    // the stadium and its bends.
    const auto road = std::find_if(
        level.looseObjects.begin(), level.looseObjects.end(),
        [](const CPRefPtr<CPGameObject>& object) { return object->modelName == "level1_road.rdf"; });
    ASSERT_NE(road, level.looseObjects.end());
    ASSERT_TRUE((*road)->GetRenderObject());
    EXPECT_LT((*road)->bounds.min.x, -250.0f);
    EXPECT_GT((*road)->bounds.max.x, 250.0f);
    EXPECT_LT((*road)->bounds.min.y, -75.0f);
    EXPECT_GT((*road)->bounds.max.y, 75.0f);
    // The collision ground reaches at least 100 units beyond every piece of
    // the racing line, so a car running wide off a bend stays on it.
    ASSERT_TRUE(level.roadPhysics && level.roadPhysics->GetRenderObject());
    const std::vector<MeshVertex>& ground = level.roadPhysics->GetRenderObject()->sourceVertices;
    ASSERT_FALSE(ground.empty());
    D3DXVECTOR3 low(ground[0].x, ground[0].y, 0), high = low;
    for (const MeshVertex& vertex : ground) {
        low = D3DXVECTOR3(std::min(low.x, vertex.x), std::min(low.y, vertex.y), 0);
        high = D3DXVECTOR3(std::max(high.x, vertex.x), std::max(high.y, vertex.y), 0);
    }
    ASSERT_FALSE(level.GetSpline()->lines.empty());
    for (const auto& piece : level.GetSpline()->lines) {
        EXPECT_GE(std::min(piece->centre.x - low.x, high.x - piece->centre.x), 100.0f);
        EXPECT_GE(std::min(piece->centre.y - low.y, high.y - piece->centre.y), 100.0f);
    }
    EXPECT_NEAR(level.laps.startLine.y, -20.0f, 1e-4f);
    EXPECT_FLOAT_EQ(level.laps.startPoint.z, 1.0f);
    level.Start();
    level.Stop();
    EXPECT_TRUE(level.extraLooseObjects.empty()) << "a stopped race's cars are out of reach";
}

// The pieces of "c_path" in the race direction: against the sampling order
// (along `prev`), along it when the level is reversed.
std::vector<const CPLine*> RaceOrder(const CPLevel& level) {
    std::vector<const CPLine*> pieces;
    const CPLine* first = level.GetSpline()->firstLine;
    for (const CPLine* piece = first; piece && (pieces.empty() || piece != first);
         piece = level.reverse ? piece->next : piece->prev)
        pieces.push_back(piece);
    return pieces;
}

std::size_t NearestPiece(const std::vector<const CPLine*>& pieces, const D3DXVECTOR3& point) {
    const auto distance = [&](const CPLine* piece) {
        const D3DXVECTOR3 offset(piece->centre.x - point.x, piece->centre.y - point.y, 0);
        return D3DXVec3LengthSq(&offset);
    };
    return static_cast<std::size_t>(
        std::min_element(pieces.begin(), pieces.end(),
                         [&](const CPLine* a, const CPLine* b) { return distance(a) < distance(b); }) -
        pieces.begin());
}

// The race run by the kernel as the game runs it (the drivers', physics and
// level tasks that Start adds), with a clock task giving frames of 1/60 s
// and a task after the physics that moves the player's car half a unit a
// frame along "c_path" in the race direction, from five pieces before the
// start, twice round and a little: the race ends in first place.
TEST_F(DemoLevel, TwoLapsAlongTheRacingLineWinTheRace) {
    data.roundCount = 2;
    CPTaskManager kernel;
    CPLevel level;
    ASSERT_TRUE(level.Load("level1", false, false));
    for (const CPRefPtr<CPPlayer>& car : level.cars)
        car->Lock(true);
    level.player->Lock(true);
    const std::vector<const CPLine*> pieces = RaceOrder(level);
    const std::size_t n = pieces.size();
    ASSERT_GT(n, 90u);
    const std::size_t start = NearestPiece(pieces, level.laps.startPoint) + n - 5;
    // The points the car is put at, one a frame.
    std::vector<D3DXVECTOR3> route;
    for (std::size_t step = 0; step < 2 * n + 10; ++step) {
        const D3DXVECTOR3 from = pieces[(start + step) % n]->centre;
        const D3DXVECTOR3 span = pieces[(start + step + 1) % n]->centre - from;
        const int moves = std::max(1, static_cast<int>(D3DXVec3Length(&span) / 0.5f));
        for (int move = 0; move < moves; ++move)
            route.push_back(from + span * (static_cast<float>(move) / static_cast<float>(moves)));
    }
    level.player->SetPosition(route.front());
    level.player->UpdateHierarchy();
    level.Start();

    CallTask clock([] { g_FrameTime = 1.0f / 60; });
    clock.priority = PRIORITY_TIMER;
    std::size_t frame = 0;
    std::vector<std::string> received;
    std::vector<std::string> jeep;
    CallTask mover([&] {
        if (frame == route.size()) {
            // What the scripts heard in the race, before the stop lets go of
            // the objects.
            received = scripts.Received(scripts["game_interface"]);
            jeep = scripts.Received(scripts["jeep"]);
            level.Stop();
            clock.Stop();
            mover.Stop();
            return;
        }
        level.player->SetPosition(route[frame++]);
        level.player->UpdateHierarchy();
    });
    mover.priority = PRIORITY_INTERFACE;
    kernel.AddTask(&clock);
    kernel.AddTask(&mover);
    EXPECT_EQ(kernel.Run(), 0);
    EXPECT_EQ(frame, route.size());

    // The checkpoints on the way report too; the race messages are these.
    std::vector<std::string> race;
    for (const std::string& command : received) {
        if (command.starts_with("show_message") || command.starts_with("place"))
            race.push_back(command);
    }
    EXPECT_EQ(race, (std::vector<std::string>{"show_message(posledniy_krug!)", "place(1st)",
                                              "show_message(finish!)"}));
    // The car's script, bound to its body, also hears of the body at load.
    std::erase_if(jeep, [](const std::string& command) { return command.starts_with("add_object"); });
    EXPECT_EQ(jeep, std::vector<std::string>{"game_over()"});
}

#include "DemoLevelScene.h"

#include "Core/PGlobalTimer.h"
#include "Render/PRenderObject.h"
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
    EXPECT_NEAR(level.startLine.y, -20.0f, 1e-4f);
    EXPECT_FLOAT_EQ(level.startPoint.z, 1.0f);
    level.Start();
    level.Stop();
}

// The player's car moved along the demo level's racing line in the race
// direction, half a unit a frame, for two laps: the race ends in first place.
TEST_F(DemoLevel, TwoLapsAlongTheRacingLineWinTheRace) {
    data.roundCount = 2;
    CPLevel level;
    ASSERT_TRUE(level.Load("level1", false, false));
    for (const CPRefPtr<CPPlayer>& car : level.cars)
        car->Lock(true);
    level.player->Lock(true);
    level.Start();
    const int n = static_cast<int>(level.pathLines.size());
    // From five pieces before the start piece, round twice and a little.
    const auto centre = [&](int step) {
        return level.pathLines[((level.startLineIndex - 5 + step) % n + n) % n]->centre;
    };
    level.player->SetPosition(centre(0));
    level.ResetProgress();
    g_FrameTime = 1.0f / 60;
    for (int step = 0; step < 2 * n + 10; ++step) {
        const D3DXVECTOR3 from = centre(step), to = centre(step + 1);
        const D3DXVECTOR3 span = to - from;
        const int moves = std::max(1, static_cast<int>(D3DXVec3Length(&span) / 0.5f));
        for (int move = 0; move < moves; ++move) {
            level.player->SetPosition(from + span * (static_cast<float>(move) / static_cast<float>(moves)));
            level.player->UpdateHierarchy();
            level.Update();
        }
    }
    // The checkpoints on the way report too; the race messages are these.
    std::vector<std::string> race;
    for (const std::string& command : scripts.Received(scripts["game_interface"])) {
        if (command.starts_with("show_message") || command.starts_with("place"))
            race.push_back(command);
    }
    EXPECT_EQ(race, (std::vector<std::string>{"show_message(posledniy_krug!)", "place(1st)",
                                              "show_message(finish!)"}));
    // The car's script, bound to its body, also hears of the body at load.
    std::vector<std::string> jeep = scripts.Received(scripts["jeep"]);
    std::erase_if(jeep, [](const std::string& command) { return command.starts_with("add_object"); });
    EXPECT_EQ(jeep, std::vector<std::string>{"game_over()"});
    level.Stop();
}

#include "ShotTestSupport.h"
#include "VehicleTestSupport.h"

#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// A vehicle at rest on the ground at the origin, whose box spans 1 x 2 x 0.4
// half sizes, with the race clock running, the game data's bonus list and
// the pickup effects' templates.
class Pickups : public VehicleScene {
protected:
    void SetUp() override {
        VehicleScene::SetUp();
        std::string table;
        for (const char* effect : {"sparks4", "sparks4red", "sparks4_remont", "sparks4_velm"})
            table += TracerRow(effect);
        LoadShots(spawner, table);
        level.laps.lapTiming = true;
        data.maxAbilityCount = 3;
        car = &AddVehicle({0, 0, 1});
        level.cars.emplace_back(car);
        SetBox(*car, {0, 0, 1}, {1, 2, 0.4f});
        g_GameTime = 100.0;
    }
    void TearDown() override {
        data.heldObjects.clear();
        VehicleScene::TearDown();
        g_GameTime = 0;
    }

    static void SetBox(CPGameObject& object, const D3DXVECTOR3& centre, const D3DXVECTOR3& half) {
        object.bounds.min = centre - half;
        object.bounds.max = centre + half;
    }
    // A bonus-list object of the name with the parts, its box of half size
    // 1 centred at the point.
    CPGameObject& AddBonus(const std::string& name, const std::vector<std::string>& partNames,
                           const D3DXVECTOR3& at = {0, 0, 1}) {
        auto& object = *objects.emplace_back(std::make_unique<CPGameObject>(name));
        object.SetPosition(at);
        SetBox(object, at, {1, 1, 1});
        for (const std::string& partName : partNames) {
            auto& part = *objects.emplace_back(std::make_unique<CPGameObject>(partName));
            SetBox(part, at, {1, 1, 1});
            object.AddChild(&part);
        }
        data.heldObjects.push_back({&object, static_cast<int>(data.heldObjects.size())});
        return object;
    }

    // The objects outlive the bonus list and the level.
    std::vector<std::unique_ptr<CPGameObject>> objects;
    CPGameData data;
    CPShotSpawner spawner;
    RaceLog log;
    CPPlayer* car = nullptr;
};

} // namespace

// Each pickup's effect, fields, message (for the human player only) and
// removal; the sounds are missing here and the effects act all the same.
TEST_F(Pickups, EachPickupActsAndLeavesTheList) {
    struct Case {
        const char* name;
        const char* part;
        const char* effect;
        const char* message;
        const char* item;
    };
    const Case cases[] = {
        {"bonus_remont", "", "sparks4_remont", "remont!", "repair"},
        {"box", "glow3", "sparks4", "uskorenie!", "axel"},
        {"box", "glow2", "sparks4red", "zamedlenie!", "brake"},
        {"box", "glow6", "sparks4red", "sposobnost-1!", "minus"},
        {"box", "glow4", "sparks4", "sposobnost+1!", "plus"},
        {"box", "portal_a", "sparks4_velm", "uron_x2!", "velm"},
    };
    for (bool human : {true, false}) {
        for (const Case& c : cases) {
            log.Clear();
            spawner.StopTask();
            car->SetFlags(human ? PLAYER_HUMAN | PLAYER_AURINE : PLAYER_AURINE);
            car->damage = 15;
            car->abilities = 2;
            AddBonus(c.name, c.part[0] ? std::vector<std::string>{c.part} : std::vector<std::string>{});
            car->UpdatePickups();
            const std::string effect = c.effect;
            EXPECT_EQ(ActiveShots(spawner, effect), 1) << c.item;
            EXPECT_TRUE(data.heldObjects.empty()) << c.item;
            std::vector<std::string> expected;
            if (effect == "sparks4red" && std::string(c.part) == "glow6")
                expected.push_back("game_interface:redraw_abilities()");
            if (std::string(c.part) == "glow4")
                expected.push_back("game_interface:redraw_abilities()");
            if (human)
                expected.push_back("game_interface:show_message(" + std::string(c.message) + ")");
            expected.push_back("main:update_bonus_list(" + std::string(c.item) + ")");
            EXPECT_EQ(log.commands, expected) << c.item << (human ? " human" : "");
        }
    }
    EXPECT_FLOAT_EQ(car->damage, 15) << "the last round ended with a portal";
    EXPECT_TRUE(car->throttleCut);
    EXPECT_TRUE(car->cutTimerRunning);
    EXPECT_FLOAT_EQ(car->cutTimer, 2.0f);
    EXPECT_TRUE(car->slowed);
    EXPECT_TRUE(car->GetCar()->braking);
    EXPECT_TRUE(car->inShadowWorld);
    EXPECT_FALSE(car->IsVisible()) << "a computer car in the shadow world is hidden";
}

TEST_F(Pickups, RepairStopsAtNoDamageAndAbilitiesStayInTheirRange) {
    car->damage = 15;
    AddBonus("bonus_remont", {});
    car->UpdatePickups();
    EXPECT_FLOAT_EQ(car->damage, 0);
    car->abilities = 3;
    AddBonus("box", {"glow4"});
    car->UpdatePickups();
    EXPECT_EQ(car->abilities, 3);
    car->abilities = 0;
    AddBonus("box", {"glow6"});
    car->UpdatePickups();
    EXPECT_EQ(car->abilities, 0);
    EXPECT_EQ(log.Commands("game_interface:redraw_abilities()"), 0);
    EXPECT_EQ(log.Commands("main:update_bonus_list(plus)"), 1);
    EXPECT_EQ(log.Commands("main:update_bonus_list(minus)"), 1);
}

// Both pickups touched in one frame are taken, in list order, and the
// object behind them stays.
TEST_F(Pickups, TwoPickupsInOneFrameAreBothTaken) {
    AddBonus("bonus_remont", {});
    AddBonus("box", {"glow4"});
    CPGameObject& far = AddBonus("bonus_remont", {}, {50, 0, 1});
    car->UpdatePickups();
    ASSERT_EQ(data.heldObjects.size(), 1u);
    EXPECT_EQ(data.heldObjects[0].object.Get(), &far);
    EXPECT_EQ(log.commands,
              (std::vector<std::string>{"main:update_bonus_list(repair)", "game_interface:redraw_abilities()",
                                        "main:update_bonus_list(plus)"}));
}

TEST_F(Pickups, NothingIsTakenWhileTheClockStandsOrByACarOfAllSides) {
    AddBonus("bonus_remont", {});
    level.laps.lapTiming = false;
    car->UpdatePickups();
    level.laps.lapTiming = true;
    car->SetFlags(PLAYER_ALL_SIDES);
    car->UpdatePickups();
    EXPECT_EQ(data.heldObjects.size(), 1u);
    EXPECT_TRUE(log.commands.empty());
}

// A box meets the car's when the centres lie no further apart on each axis
// than the half sizes together over the object's divisor; the traps show
// by the bonus timer or the lock.
TEST_F(Pickups, TheTouchDivisorDependsOnTheObject) {
    struct Case {
        const char* name;
        const char* part;
        float x;
        bool touched;
    };
    const Case cases[] = {
        {"bonus_remont", "", 0.6f, true}, {"bonus_remont", "", 0.62f, false}, {"light", "", 0.99f, true},
        {"light", "", 1.01f, false},      {"halo", "", 1.3f, true},           {"halo", "", 1.36f, false},
        {"empty", "v_bii", 2.4f, true},   {"empty", "v_bii", 2.6f, false},    {"ball", "sphera", 1.3f, true},
        {"ball", "sphera", 1.4f, false},  {"empty", "", 0.0f, false},
    };
    for (const Case& c : cases) {
        car->SetFlags(std::string(c.name) == "bonus_remont" ? 0 : PLAYER_ALL_SIDES);
        car->bonusTimer = 0;
        car->Lock(false);
        car->lastRepulsionTime = 0;
        data.heldObjects.clear();
        AddBonus(c.name, c.part[0] ? std::vector<std::string>{c.part} : std::vector<std::string>{},
                 {c.x, 0, 1});
        car->UpdatePickups();
        const bool acted = data.heldObjects.empty() || car->bonusTimer == 4.0f || car->locked;
        EXPECT_EQ(acted, c.touched) << c.name << " " << c.part << " at " << c.x;
    }
}

// Ten pushes in a row at most; a second without one starts a new series.
TEST_F(Pickups, APusherPushesTenTimesInARow) {
    car->SetFlags(PLAYER_UMBRINE);
    car->GetCar()->speed = 10;
    AddBonus("ball", {"sphera"}, {0.5f, 0, 1});
    for (int frame = 0; frame < 12; ++frame) {
        car->UpdatePickups();
        g_GameTime += 1.0 / 60;
    }
    EXPECT_EQ(car->pushCount, 10);
    EXPECT_FLOAT_EQ(car->bonusTimer, 4.0f);
    EXPECT_FLOAT_EQ(car->pushDirection.x, -0.5f);
    g_GameTime += 1.0;
    car->UpdatePickups();
    EXPECT_EQ(car->pushCount, 1);
    car->SetFlags(PLAYER_AURINE);
    g_GameTime += 1.0;
    car->UpdatePickups();
    EXPECT_EQ(car->pushCount, 1) << "the pusher leaves the light side alone";
}

// The lock holds four seconds after the last frame in the light.
TEST_F(Pickups, TheLightTrapHoldsTheCarFourSecondsAfterTheLastContact) {
    car->SetFlags(PLAYER_UMBRINE);
    CPGameObject& light = AddBonus("light", {});
    for (int frame = 0; frame < 180; ++frame)
        car->Update(kFrame);
    EXPECT_TRUE(car->locked);
    SetBox(light, {100, 0, 1}, {1, 1, 1});
    int held = 0;
    while (car->locked && held < 1000) {
        car->Update(kFrame);
        ++held;
    }
    EXPECT_NEAR(held * kFrame, 4.0f, 2 * kFrame);
    EXPECT_FALSE(car->GetCar()->locked);
}

// The halo pushes the car away at most every 0.2 s, never harder than 400.
TEST_F(Pickups, TheHaloRepelsWithACappedImpulse) {
    car->SetFlags(PLAYER_AURINE);
    // A wide halo, so that the car touches it 5.5 away from its centre.
    SetBox(AddBonus("halo", {}, {5.5f, 0, 1}), {5.5f, 0, 1}, {15, 15, 1});
    RbRigidBody& body = *car->physicData->rigidBody;
    const RbVector before = body.GetVelocity();
    car->UpdatePickups();
    car->UpdatePickups();
    const RbVector after = body.GetVelocity();
    const D3DXVECTOR3 change(after.x - before.x, after.y - before.y, after.z - before.z);
    EXPECT_NEAR(D3DXVec3Length(&change) * body.mass, 400.0f, 1.0f);
    EXPECT_LT(change.x, 0) << "away from the halo";
    EXPECT_EQ(log.Particles("wall"), 1);
    g_GameTime += 0.2;
    car->UpdatePickups();
    EXPECT_EQ(log.Particles("wall"), 2);
}

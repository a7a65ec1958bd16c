#include "ScriptFixture.h"

#include "Core/ObjectHandle.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Vehicles/PPlayer.h"

#include <filesystem>

namespace {

// The demo's scripts with the player's script bound to the body of a car of
// life 25 fitted with an lgun and a rocket launcher in its first two slots;
// the main script listens without running.
class JeepScriptTest : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        std::filesystem::create_directories("Data");
        std::filesystem::copy(KV_DEMO_SCRIPTS, "Data/Scripts");
        manager = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(manager->LoadScripts());
        car.AddChild(&body);
        car.life = 25;
        data.realCarInfo.weapon1 = "lgun";
        data.realCarInfo.weapon2 = "ssrlauncher";
        Script("main").Start();
        jeep = &Script("jeep");
        jeep->Start();
        manager->SendCommandByObject(jeep, "add_object", PointerToString(&body));
        Turn(*jeep);
    }
    void Key(const std::string& action) {
        manager->SendCommandByCategory("action_listener", "key_action", action);
        Turn(*jeep);
    }

    CPGameData data;
    CPGameObject body{"body"};
    CPPlayer car;
    CPLuaScript* jeep = nullptr;
};

} // namespace

TEST_F(JeepScriptTest, KeysDriveTheCarTheBodyBelongsTo) {
    EXPECT_EQ(car.weaponSlot, 0) << "the first fitted weapon is ready";
    EXPECT_EQ(car.weaponName, "lgun");
    Key("up,1");
    Key("left,1");
    EXPECT_FLOAT_EQ(car.throttle, 1.0f);
    EXPECT_FLOAT_EQ(car.steering, -1.0f);
    Key("up,0");
    Key("down,1");
    EXPECT_FLOAT_EQ(car.throttle, -1.0f);
    Key("fire,1");
    EXPECT_TRUE(car.firing);
    EXPECT_EQ(log.find("Script Error"), std::string::npos) << log;
}

// Up held through the countdown drives the car as soon as it is unlocked.
TEST_F(JeepScriptTest, AKeyHeldWhileLockedDrivesOnceUnlocked) {
    car.Lock(true);
    Key("up,1");
    EXPECT_FLOAT_EQ(car.throttle, 0.0f) << "a locked car ignores its controls";
    car.Lock(false);
    Turn(*jeep);
    EXPECT_FLOAT_EQ(car.throttle, 1.0f);
    Key("up,0");
    EXPECT_FLOAT_EQ(car.throttle, 0.0f);
    EXPECT_EQ(log.find("Script Error"), std::string::npos) << log;
}

// The display hears the life left in percent of a new car's 100000 points:
// rounded up while the car runs (10 points off still shows 100), 0 once the
// car is wrecked.
TEST_F(JeepScriptTest, AWreckAndTheEndOfTheRaceReachTheMainScript) {
    CPLuaScript& display = Script("gamemenu");
    display.Start();
    manager->SendCommandByObject(jeep, "damage", "-5");
    manager->SendCommandByObject(jeep, "damage", "10");
    Turn(*jeep);
    EXPECT_FLOAT_EQ(car.life, 15.0f) << "only a positive amount hurts";
    manager->SendCommandByObject(jeep, "damage", "30");
    manager->SendCommandByObject(jeep, "game_over", "");
    Turn(*jeep);
    std::vector<std::string> told = Drain(Script("main"));
    std::erase_if(told, [](const std::string& command) { return command.starts_with("key_action"); });
    EXPECT_EQ(told, (std::vector<std::string>{"say_critical", "player_dead", "player_wrecked", "race_over"}));
    std::vector<std::string> shown = Drain(display);
    std::erase_if(shown, [](const std::string& command) { return !command.starts_with("hud_life"); });
    EXPECT_EQ(shown, (std::vector<std::string>{"hud_life|100", "hud_life|0"}));
}

namespace {

// The jeep's car drives at the origin heading along -y on a level of its
// own; a computer car's script (rival1) runs for a roadster whose body it
// is bound to.
class JeepAimTest : public JeepScriptTest {
protected:
    void SetUp() override {
        JeepScriptTest::SetUp();
        level.player = &car;
        level.cameraTarget = &car;
        rivalCar.AddChild(&rivalBody);
        rivalCar.life = 10;
        rival = &Script("rival1");
        rival->Start();
    }
    void TearDown() override {
        level.player = nullptr;
        level.cameraTarget = nullptr;
        JeepScriptTest::TearDown();
    }
    void Tell(const std::string& command, const CPObject& about) {
        manager->SendCommandByObject(jeep, command, PointerToString(&about));
        Turn(*jeep);
    }

    CPLevel level;
    CPGameObject rivalBody{"body"};
    CPPlayer rivalCar;
    CPLuaScript* rival = nullptr;
    const D3DXVECTOR3 straightAhead{0, -30, 0};
};

} // namespace

// A computer car is aimed at when it is at most 12 degrees off the heading
// and nearer than 60; the nearest such car wins.
TEST_F(JeepAimTest, AimsAtTheNearestComputerCarAheadWithinTheCone) {
    struct Case {
        D3DXVECTOR3 at;
        bool aimed;
    };
    const Case cases[] = {
        {{0, -20, 1}, true}, {{4, -20, 1}, true}, {{5, -20, 1}, false},
        {{0, 20, 1}, false}, {{0, -59, 1}, true}, {{0, -61, 1}, false},
    };
    for (const Case& c : cases) {
        rivalCar.SetPosition(c.at);
        Tell("rival_car", rivalCar);
        const D3DXVECTOR3 expected = c.aimed ? c.at : straightAhead;
        EXPECT_EQ(car.aimPoint, expected) << c.at.x << " " << c.at.y;
        Tell("rival_gone", rivalCar);
        EXPECT_EQ(car.aimPoint, straightAhead);
    }
    CPPlayer nearer, behind;
    nearer.SetPosition({-2, -15, 1});
    behind.SetPosition({0, 5, 1});
    rivalCar.SetPosition({0, -40, 1});
    for (const CPPlayer* other : {&rivalCar, &behind, &nearer})
        Tell("rival_car", *other);
    EXPECT_EQ(car.aimPoint, nearer.GetPosition());
    Tell("rival_gone", nearer);
    EXPECT_EQ(car.aimPoint, rivalCar.GetPosition());
    EXPECT_EQ(log.find("Script Error"), std::string::npos) << log;
}

// The computer car's script tells the jeep of its car when it starts and
// when asked; a wreck, the car's deletion or the jeep's own deletion ends
// the aiming at it.
TEST_F(JeepAimTest, TheJeepHearsOfTheComputerCarUntilItIsWreckedOrGone) {
    rivalCar.SetPosition({0, -20, 1});
    manager->SendCommandByObject(rival, "add_object", PointerToString(&rivalBody));
    Turn(*rival);
    Turn(*jeep);
    EXPECT_EQ(car.aimPoint, rivalCar.GetPosition()) << "told of the car, not of its body";

    manager->SendCommandByObject(jeep, "delete_object", PointerToString(&body));
    Turn(*jeep);
    manager->SendCommandByObject(jeep, "add_object", PointerToString(&body));
    Turn(*jeep);
    EXPECT_EQ(car.aimPoint, straightAhead) << "the jeep's deletion forgets every computer car";
    EXPECT_EQ(Drain(*rival), (std::vector<std::string>{"announce|" + PointerToString(&car)}))
        << "the jeep tells of its car and asks who races";
    manager->SendCommandByObject(rival, "announce", "");
    Turn(*rival);
    Turn(*jeep);
    EXPECT_EQ(car.aimPoint, rivalCar.GetPosition());

    manager->SendCommandByObject(rival, "damage", "20");
    Turn(*rival);
    Turn(*jeep);
    EXPECT_EQ(car.aimPoint, straightAhead) << "a wreck is no target";

    manager->SendCommandByObject(rival, "add_object", PointerToString(&rivalBody));
    Turn(*rival);
    manager->SendCommandByObject(rival, "delete_object", PointerToString(&rivalBody));
    Turn(*rival);
    Turn(*jeep);
    EXPECT_EQ(car.aimPoint, straightAhead) << "a deleted car is no target";
    EXPECT_EQ(log.find("Script Error"), std::string::npos) << log;
}

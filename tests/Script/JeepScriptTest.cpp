#include "ScriptFixture.h"

#include "Core/ObjectHandle.h"
#include "Game/PGameData.h"
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

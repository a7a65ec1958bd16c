#include "RaceScene.h"

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Physics/PPhysicData.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PEnemyController.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The ring race loaded, with the player's car and the first two computer
// cars as globals of the Lua state.
class CarFunctions : public RaceScene {
protected:
    void SetUp() override {
        RaceScene::SetUp();
        InitRing();
        lua.SetHandle("player", &Player());
        lua.SetHandle("car1", &Car(0));
        lua.SetHandle("car2", &Car(1));
        ASSERT_EQ(lua.Run("null = StringToPointer('0')"), "");
    }
    std::vector<std::string> Received(const char* script) { return scripts.Received(scripts[script]); }
};

using Commands = std::vector<std::string>;

} // namespace

TEST_F(CarFunctions, DamageTakesLifeAndTellsTheScripts) {
    Player().life = 25;
    data.coefficients[2] = 1;
    EXPECT_EQ(lua.Eval("DamagePlayer(player, 10)"), "true");
    EXPECT_EQ(Received("main"), (Commands{"say_critical()"}));
    EXPECT_EQ(Received("gamemenu"), (Commands{"update_game_interface()"}));
    EXPECT_EQ(lua.Eval("DamagePlayer(player, 20)"), "false");
    EXPECT_EQ(Received("main"), (Commands{"say_critical()", "player_dead()"}));
    EXPECT_FLOAT_EQ(Player().life, 0.0f);
    EXPECT_EQ(lua.Eval("DamagePlayer(player, 5)"), "false");
    EXPECT_EQ(Received("main").size(), 2u) << "the defeat is told once";
    EXPECT_EQ(Received("gamemenu").size(), 3u);
    // The difficulty scales the damage.
    Car(0).life = 100;
    data.coefficients[2] = 0.5f;
    EXPECT_EQ(lua.Eval("DamagePlayer(car1, 100)"), "true");
    EXPECT_FLOAT_EQ(Car(0).life, 50.0f);
    EXPECT_EQ(lua.Eval("DamagePlayer(null, 100)"), "true");
}

// NaN or an infinity in a car's position or velocity stays there for the
// rest of the race: such an argument reads as 0 and is logged.
TEST_F(CarFunctions, NumbersThatAreNotFiniteReadAsZeroWithALogLine) {
    const struct {
        const char* call;
        const char* logged;
    } cases[] = {
        {"SetPosition(player, 0/0, 1, 2)", "SetPosition: argument 2 is not a finite number"},
        {"SetPosition(player, 1, 1e300, 2)", "SetPosition: argument 3 is not a finite number"},
        {"ApplyImpulse(player, 0, 0, -1/0)", "ApplyImpulse: argument 4 is not a finite number"},
        {"Jump(player, 1/0, 0, 0)", "Jump: argument 2 is not a finite number"},
        {"PlayerApplyImpulse(0/0, 0, 0)", "PlayerApplyImpulse: argument 1 is not a finite number"},
        {"PlayerApplyImpulse(0, 0, 0, 0, 0, 1/0)", "PlayerApplyImpulse: argument 6 is not a finite number"},
        {"SetMouse(0/0)", "SetMouse: argument 1 is not a finite number"},
        {"SetCarParams(player, -1/0, 0)", "SetCarParams: argument 2 is not a finite number"},
    };
    std::string log;
    GetLog().SetSink([&log](std::string_view text) { log += text; });
    for (const auto& c : cases) {
        log.clear();
        EXPECT_EQ(lua.Run(c.call), "") << c.call;
        EXPECT_NE(log.find(c.logged), std::string::npos) << c.call << ": " << log;
        const D3DXVECTOR3 at = Player().GetPosition();
        float velocity[4];
        Player().GetCarVelocity(velocity);
        for (float v : {at.x, at.y, at.z, velocity[0], velocity[1], velocity[2], g_MouseSetting})
            EXPECT_TRUE(std::isfinite(v)) << c.call;
    }
    GetLog().SetSink({});
}

TEST_F(CarFunctions, DefeatAndDisplayNames) {
    Car(0).SetModelName("limo");
    Car(0).damage = 100;
    Car(1).SetModelName("scout");
    Car(1).damage = 40;
    Player().SetModelName("coupe_tt");
    Player().damage = 100;
    struct Case {
        const char* call;
        const char* result;
    };
    for (const Case& c :
         {Case{"IsPlayerDead()", "true"}, Case{"IsPlayerDead('limo_i745')", "true"},
          Case{"IsPlayerDead('scout_469')", "false"}, Case{"IsPlayerDead('coupe_tt')", "true"},
          Case{"IsPlayerDead('truck_130')", "false"}, Case{"GetAIDamage('scout_469')", "40"},
          Case{"GetAIDamage('nobody')", "0"}}) {
        EXPECT_EQ(lua.Values(c.call), c.result) << c.call;
    }
    for (const Case& c :
         {Case{"limo", "limo_i745"}, Case{"truck_130_", "truck_130"}, Case{"buggy", "buggy"}}) {
        data.playerName = c.call;
        EXPECT_EQ(lua.Eval("GetActiveCar()"), c.result);
    }
}

TEST_F(CarFunctions, NearestCarOfASide) {
    for (CPPlayer* car : {&Car(0), &Car(1), &Player()})
        car->SetFlags(PLAYER_AURINE);
    Car(0).SetPosition({10, 0, 0});
    Car(1).SetPosition({-10, 0, 0});
    Player().SetPosition({0, 10, 0});
    EXPECT_EQ(lua.Eval("select(4, GetNearestAurinePlayer(0, 0, 0)) == car2"), "true")
        << "the later car at equal distance, and the player only when nearer";
    Player().SetPosition({0, 9, 0});
    EXPECT_EQ(lua.Values("GetNearestAurinePlayer(0, 0, 0)"), "0,9,0," + lua.Eval("player") + ",9");
    Car(1).damage = 100;
    Player().SetFlags(0);
    EXPECT_EQ(lua.Eval("select(4, GetNearestAurinePlayer(0, 0, 0)) == car1"), "true")
        << "a wrecked car is no ally";
    Car(0).SetFlags(PLAYER_UMBRINE);
    EXPECT_EQ(lua.Values("GetNearestAurinePlayer(0, 0, 0)"), "");
    Car(1).SetFlags(PLAYER_ALL_SIDES);
    EXPECT_EQ(lua.Eval("select(4, GetNearestAurinePlayer(0, 0, 0, true)) == car2"), "true") << "wide";
    EXPECT_EQ(lua.Eval("select(4, GetNearestUmbrinePlayer(0, 0, 0)) == car1"), "true");
}

TEST_F(CarFunctions, RotationAndThrowsByHand) {
    ASSERT_EQ(
        lua.Run(
            "function R(...) local t = {...} for i = 1, #t do t[i] = string.format('%.3f', t[i] + 0.0) end "
            "return table.concat(t, ' ') end"),
        "");
    // Row vectors: (0, -1, 0) turned a quarter about z is (1, 0, 0); a
    // quarter about x first takes it to (0, 0, -1), which z keeps.
    ASSERT_EQ(lua.Run("SetRotation(car1, 0, 0, math.pi / 2)"), "");
    EXPECT_EQ(lua.Eval("R(GetPlayerDirectionAI(car1))"), "1.000 0.000 0.000");
    ASSERT_EQ(lua.Run("SetRotation(car1, math.pi / 2, 0, math.pi / 2)"), "");
    EXPECT_EQ(lua.Eval("R(GetPlayerDirectionAI(car1))"), "0.000 0.000 -1.000");
    const D3DXVECTOR3 ahead(0, -1, 0);
    D3DXVECTOR3 placed;
    D3DXVec3TransformNormal(&placed, &ahead, &Car(0).GetWorldMatrix());
    EXPECT_NEAR(placed.z, -1.0f, 1e-5f) << "the world matrix follows at once";

    // A throw lifts the car by 62.5 per unit of mass, the truck by half.
    const auto throwUp = [&](CPPlayer& car, const std::string& model) {
        car.SetModelName(model);
        car.SetFlags(PLAYER_AURINE);
        RbRigidBody& body = *car.physicData->rigidBody;
        body.SetVelocity({0, 0, 0});
        lua.SetHandle("thrown", &car);
        EXPECT_EQ(lua.Run("ThrowPlayer(thrown)"), "");
        return body.GetVelocity().z;
    };
    EXPECT_NEAR(throwUp(Car(1), "scout"), 62.5f, 1e-3f);
    EXPECT_NEAR(throwUp(Car(1), "truck_130_"), 31.25f, 1e-3f);
    Car(1).SetFlags(PLAYER_UMBRINE);
    Car(1).physicData->rigidBody->SetVelocity({0, 0, 0});
    ASSERT_EQ(lua.Run("ThrowPlayer(car2)"), "");
    EXPECT_EQ(Car(1).physicData->rigidBody->GetVelocity().z, 0.0f) << "only the light side is thrown";
}

TEST_F(CarFunctions, HealthBarSitsAtTheCarsTopLeftAndLeavesItsBox) {
    g_ScreenWidth = 800;
    g_ScreenHeight = 600;
    CPPerspectiveCamera& view = *g_Level->GetCamera()->GetMainCamera();
    Player().damage = 50;
    const BoundingBox box = Player().boundingBox;
    AimMainCamera(view, {97, -20, 2}, {97, 0, 0});
    ASSERT_EQ(lua.Run("x, y, length = GetHelthBarCoord(player)"), "");
    EXPECT_LT(std::stod(lua.Eval("x")), 400.0);
    EXPECT_GT(std::stod(lua.Eval("x")), 0.0);
    EXPECT_LT(std::stod(lua.Eval("y")), 300.0);
    EXPECT_NEAR(std::stod(lua.Eval("length")), 50 * 0.47001317, 1e-4);
    for (int corner = 0; corner < 8; ++corner)
        EXPECT_EQ(Player().boundingBox.corners[corner], box.corners[corner]) << corner;
    AimMainCamera(view, {97, -20, 2}, {97, -40, 2});
    EXPECT_EQ(lua.Values("GetHelthBarCoord(player)"), "-100,-100,0") << "behind the eye";
    EXPECT_EQ(lua.Values("GetHelthBarCoord(null)"), "-100,-100,0");
}

TEST_F(CarFunctions, ControlsReachTheCars) {
    ASSERT_EQ(lua.Run("SetCarParams(car1, 1, -0.5) SetBrake(car2, true) LockPlayers(true)"), "");
    EXPECT_FLOAT_EQ(Car(0).throttle, 1.0f);
    EXPECT_FLOAT_EQ(Car(0).steering, -0.5f);
    EXPECT_TRUE(Car(1).GetCar()->braking);
    EXPECT_TRUE(Player().locked && Car(0).locked && Car(1).locked);
    ASSERT_EQ(lua.Run("LockPlayer(false) PlayerNitroAI(car1, 1, 0)"), "");
    EXPECT_FALSE(Player().locked);
    EXPECT_TRUE(Car(0).throttleCut);
    Car(1).GetCar()->nitroDemand = 1;
    ASSERT_EQ(lua.Run("PlayerNitroAI(car2)"), "");
    EXPECT_EQ(Car(1).GetCar()->nitroDemand, 0.0f);
}

TEST_F(CarFunctions, TuningKeysStayInTheTable) {
    EXPECT_EQ(lua.Run("Pup()"), "");
    EXPECT_EQ(render.scriptSelection, 0);
    for (int press = 0; press < 25; ++press)
        ASSERT_EQ(lua.Run("Pdown()"), "");
    EXPECT_EQ(render.scriptSelection, 18);
    render.scriptSelection = 8;
    const float damping = Player().GetCar()->damping;
    ASSERT_EQ(lua.Run("Pright() Pright() Pleft()"), "");
    EXPECT_FLOAT_EQ(Player().GetCar()->damping, damping + 10);
}

TEST_F(CarFunctions, GameSpeedNeverRunsBackwards) {
    struct Case {
        const char* factor;
        float scale;
    };
    for (const Case& c :
         {Case{"2", 2.0f}, Case{"-1", 0.0f}, Case{"0/0", 0.0f}, Case{"0.5", 0.5f}, Case{"1/0", 0.0f}}) {
        ASSERT_EQ(lua.Run(std::string("SetTemp(") + c.factor + ")"), "");
        EXPECT_EQ(g_TimeScale, c.scale) << c.factor;
        EXPECT_EQ(lua.Eval("GetTemp()"), lua.Eval(std::to_string(c.scale)));
    }
    g_TimeScale = 1;
}

TEST_F(CarFunctions, KillingTwiceOrWithoutPhysicsOnlyClearsTheFlags) {
    ASSERT_EQ(lua.Run("KillPlayer(car1) KillPlayer(car1)"), "");
    EXPECT_FALSE(Car(0).IsVisible());
    EXPECT_FALSE(Car(0).collision);
    EXPECT_EQ(Car(0).physicData->rigidBody, nullptr);
    CPGameObject plain("plain");
    lua.SetHandle("plain", &plain);
    ASSERT_EQ(lua.Run("KillPlayer(plain)"), "");
    EXPECT_FALSE(plain.IsVisible());
    EXPECT_EQ(lua.Values("GetPosition(null)"), "nil,nil,nil");
    EXPECT_EQ(lua.Values("select('#', GetBBoxInfo(null))"), "9");
    EXPECT_EQ(lua.Values("GetPlayerMass(plain), GetPlayerMass(null), GetObjectSpeed(plain)"), "0,0,0");
}

TEST_F(CarFunctions, WeaponSlotsAndFiring) {
    data.realCarInfo.weapon2 = "gun";
    Player().weaponSlot = 0;
    ASSERT_EQ(lua.Run("SetNextWeapon(player)"), "");
    EXPECT_EQ(Player().weaponSlot, 1);
    ASSERT_EQ(lua.Run("SetPrevWeapon(player) SetNextWeapon(player)"), "");
    EXPECT_EQ(Player().weaponSlot, 1) << "the only fitted weapon";
    ASSERT_EQ(lua.Run("SetShot(player, true)"), "");
    EXPECT_TRUE(Player().firing);
    Player().weaponEmpty = true;
    ASSERT_EQ(lua.Run("SetShot(player, true)"), "");
    EXPECT_FALSE(Player().firing) << "nothing to fire";
    data.realCarInfo.weapon2.clear();
    ASSERT_EQ(lua.Run("SetNextWeapon(player)"), "");
    EXPECT_EQ(Player().weaponSlot, -1);
    EXPECT_NE(lua.Run("SetCurrentWeapon(player)"), "") << "the part name is required";
}

// The computer cars aim their own weapons: the point reaches the given car
// only; a null car or a missing point changes nothing.
TEST_F(CarFunctions, AComputerCarAimsItsOwnWeapon) {
    ASSERT_EQ(lua.Run("SetWeaponPosAI(car2, 4, 5, 6, player)"), "");
    EXPECT_EQ(Car(1).aimPoint, D3DXVECTOR3(4, 5, 6));
    EXPECT_EQ(Car(0).aimPoint, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Player().aimPoint, D3DXVECTOR3(0, 0, 0));
    ASSERT_EQ(lua.Run("SetWeaponPosAI(null, 1, 1, 1)"), "");
    EXPECT_EQ(Car(1).aimPoint, D3DXVECTOR3(4, 5, 6));
}

// A script arms an object as an enemy, sends it to fire and to rest; other
// requests and null handles change nothing.
TEST_F(CarFunctions, AScriptArmsAnEnemyAndSendsItToFire) {
    CPGameObject guard("guard");
    lua.SetHandle("guard", &guard);
    ASSERT_EQ(lua.Run("ArmEnemy(guard, 'gunner', 'lgun', 300, 2.2, 7, 2500)"), "");
    ASSERT_TRUE(guard.enemyController);
    const CPEnemyController& enemy = *guard.enemyController;
    EXPECT_EQ(enemy.name, "gunner");
    EXPECT_EQ(enemy.weaponKind, "lgun");
    EXPECT_FLOAT_EQ(enemy.health, 300);
    EXPECT_EQ(enemy.fireOffset, D3DXVECTOR3(0, -1, 2.2f));
    EXPECT_EQ(enemy.melee1.offset, D3DXVECTOR3(0, -7, 0));
    EXPECT_FLOAT_EQ(enemy.melee2.damage, 2500);
    EXPECT_EQ(enemy.currentState, CPEnemyController::kIdleState);
    EXPECT_EQ(enemy.currentAnimation, "idle");

    ASSERT_EQ(lua.Run("EnemyAttack(guard, 'fire')"), "");
    EXPECT_EQ(enemy.currentAnimation, "fire_in");
    ASSERT_EQ(lua.Run("EnemyAttack(guard, 'rest')"), "");
    EXPECT_EQ(enemy.currentAnimation, "fire_out");
    ASSERT_EQ(lua.Run("EnemyAttack(guard, 'dance') EnemyAttack(null, 'fire') ArmEnemy(null)"), "");
    EXPECT_EQ(enemy.currentAnimation, "fire_out");
    ASSERT_EQ(lua.Run("EnemyAttack(car1, 'fire')"), "") << "an object without a controller";
    guard.enemyController.reset();
}

TEST_F(CarFunctions, CloneCopiesAnObjectTheScriptManagerKeeps) {
    Car(0).SetPosition({5, 6, 7});
    ASSERT_EQ(lua.Run("copy = Clone(car1)"), "");
    EXPECT_EQ(lua.Eval("copy ~= null and copy ~= car1"), "true");
    EXPECT_EQ(lua.Values("GetPosition(copy)"), "5,6,7");
    auto* copy = static_cast<CPGameObject*>(lua_touserdata(lua.L, (lua_getglobal(lua.L, "copy"), -1)));
    lua_pop(lua.L, 1);
    EXPECT_FALSE(copy->active);
    EXPECT_EQ(lua.Eval("Clone(null) == null"), "true");
}

#include "ShotTestSupport.h"

#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"
#include "Game/PMeshManager.h"
#include "Support/TestScripts.h"
#include "Vehicles/PPlayer.h"
#include "Vehicles/WeaponAim.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A vehicle at the origin facing -y whose model carries the weapon parts
// "lgun", "shotgun", "rlauncher", "firethrower", "laser" and "plasma", each with its
// four muzzle flashes, a metre ahead of it, and "gauss" without flashes, with the game data's catalogue
// and the shot templates of every name the weapons fire.
class WeaponFiring : public ::testing::Test {
protected:
    void SetUp() override {
        g_FrameTime = 0.05f;
        std::string table;
        for (const char* name : {"trasser11", "trasser12", "trasser13", "srocket1", "gauss1", "plazma"})
            table += TracerRow(name);
        table += "rocket1;rocket;ballistic;17;40;6;300;;;fire.tga;particle_add.fx;103;0.25;none\n";
        LoadShots(spawner, table);
        for (const char* weapon : {"lgun", "shotgun", "rlauncher", "firethrower", "laser", "plasma"})
            AddWeaponPart(weapon);
        CPGameObject* bare = Keep(new CPGameObject("gauss"));
        bare->SetPosition({0.5f, -1, 1});
        vehicle.AddChild(bare);
        vehicle.UpdateHierarchy();
    }
    void TearDown() override { g_FrameTime = 0; }

    void AddWeaponPart(const std::string& weapon) {
        CPGameObject* part = Keep(new CPGameObject(weapon));
        part->SetPosition({0, -1, 1});
        vehicle.AddChild(part);
        for (const char* suffix : {"", "_01", "_02", "_03"}) {
            CPGameObject* flash = Keep(new CPGameObject("flare_" + weapon + suffix));
            flash->SetPosition({0, -0.5f, 0});
            part->AddChild(flash);
        }
    }
    CPGameObject* Keep(CPGameObject* object) {
        parts.emplace_back(object);
        return object;
    }

    // Arms slot 0 with a weapon of these numbers and switches firing on.
    void Arm(const std::string& weapon, int volley, int magazine, float rate, float shotSpeed = 100) {
        WeaponInfo record;
        record.name = weapon;
        record.volleySize = volley;
        record.magazine = magazine;
        record.fireRate = rate;
        record.shotSpeed = shotSpeed;
        data.weaponCatalogue.Add(record);
        data.realCarInfo.weapon1 = weapon;
        vehicle.weaponSlot = 0;
        vehicle.firing = false;
        vehicle.SelectWeapon();
        vehicle.firing = true;
        log.Clear();
    }

    int Shots() const { return static_cast<int>(spawner.GetActiveShots().size()); }
    int FiringCommands() const { return log.Commands("gamemenu:update_game_interface()"); }
    const CPShot& LastShot() const { return *spawner.GetActiveShots().back(); }

    // Calls the weapon update `calls` times aiming ahead; the number of
    // volleys that left.
    int Fire(int calls) {
        int volleys = 0;
        for (int k = 0; k < calls; ++k) {
            const int before = Shots();
            vehicle.UpdateWeapon({0, -20, 1}, nullptr);
            volleys += Shots() > before;
        }
        return volleys;
    }

    // The parts outlive the vehicle, which holds them.
    std::vector<std::unique_ptr<CPGameObject>> parts;
    CPGameData data;
    // The vehicle outlives the shots, which keep it as their shooter.
    CPPlayer vehicle;
    CPShotSpawner spawner;
    RaceLog log;
};

} // namespace

TEST_F(WeaponFiring, WeaponKindsFollowTheExactItemName) {
    const std::pair<const char*, EWeaponKind> cases[] = {
        {"lgun", WEAPON_LGUN},           {"mgun", WEAPON_LGUN},     {"mgun2x", WEAPON_LGUN},
        {"lgun2x", WEAPON_LGUN2X},       {"hmgun", WEAPON_HMGUN},   {"ssrlauncher", WEAPON_SSRLAUNCHER},
        {"rlauncher", WEAPON_RLAUNCHER}, {"plasma", WEAPON_PLASMA}, {"shotgun", WEAPON_SHOTGUN},
        {"autoshotgun", WEAPON_SHOTGUN}, {"gauss", WEAPON_GAUSS},   {"firethrower", WEAPON_FIRETHROWER},
        {"LGUN", WEAPON_NONE},           {"laser", WEAPON_NONE},    {"", WEAPON_NONE}};
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(WeaponKindFromName(name), kind) << name;
}

// A magazine of four single shots: four volleys, the fourth empties the
// weapon, and the fifth attempt sends nothing at all.
TEST_F(WeaponFiring, AFullLoadOfFourFiresFourVolleysThenNothing) {
    Arm("lgun", 1, 4, 1000);
    EXPECT_EQ(Fire(4), 4);
    EXPECT_EQ(ActiveShots(spawner, "trasser11"), 4);
    EXPECT_EQ(log.Particles("gilze"), 4);
    EXPECT_TRUE(vehicle.weaponEmpty);
    EXPECT_FLOAT_EQ(vehicle.GetAmmoFraction(), 0);
    EXPECT_EQ(FiringCommands(), 4);
    EXPECT_EQ(Fire(1), 0);
    EXPECT_EQ(FiringCommands(), 4);
}

// Loads of a third or a tenth do not add up to exactly one: every volley
// the magazine holds is still fired, and the load never goes below 0.
TEST_F(WeaponFiring, EveryVolleyOfTheMagazineIsFired) {
    for (int magazine : {3, 10, 30}) {
        data.weaponCatalogue = {};
        vehicle.ammunition[0] = 1;
        vehicle.weaponEmpty = false;
        spawner.StopTask();
        Arm("lgun", 1, magazine, 1000);
        EXPECT_EQ(Fire(magazine + 2), magazine) << magazine;
        EXPECT_TRUE(vehicle.weaponEmpty);
        EXPECT_GE(vehicle.ammunition[0], 0.0f);
    }
}

TEST_F(WeaponFiring, AShotgunVolleyFiresItsPelletsAndShellsInAConeBelowTheAim) {
    Arm("shotgun", 8, 40, 1000);
    EXPECT_EQ(Fire(1), 1);
    EXPECT_EQ(ActiveShots(spawner, "trasser13"), 8);
    EXPECT_EQ(log.Particles("gilze"), 8);
    EXPECT_NEAR(vehicle.GetAmmoFraction(), 0.8f, 1e-6f);
    const D3DXVECTOR3 axis = D3DXVECTOR3(0, -1, -0.2f) / std::sqrt(1.04f);
    for (const auto& shot : spawner.GetActiveShots())
        EXPECT_LE(std::acos(std::min(1.0f, D3DXVec3Dot(&shot->direction, &axis))), 0.4f + 1e-3f);
}

// At 10 volleys a second and 0.05 s frames one volley leaves every third
// call: the delay counts down 0.1, 0.05, 0 and must fall below 0.
TEST_F(WeaponFiring, TheRateOfFireSpacesTheVolleys) {
    Arm("lgun", 1, 300, 10);
    std::vector<int> fired;
    for (int k = 0; k < 10; ++k)
        fired.push_back(Fire(1));
    EXPECT_EQ(fired, (std::vector<int>{1, 0, 0, 1, 0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(FiringCommands(), 4);
}

TEST_F(WeaponFiring, TheMuzzleFlashesTakeTurns) {
    Arm("lgun", 1, 300, 1000);
    const CPRefPtr<CPGameObject> flashes[4] = {
        vehicle.FindChild("flare_lgun"), vehicle.FindChild("flare_lgun_01"),
        vehicle.FindChild("flare_lgun_02"), vehicle.FindChild("flare_lgun_03")};
    for (const auto& flash : flashes)
        EXPECT_FALSE(flash->IsVisible());
    std::vector<int> shown;
    for (int k = 0; k < 5; ++k) {
        Fire(1);
        for (int f = 0; f < 4; ++f) {
            if (flashes[f]->IsVisible())
                shown.push_back(f);
        }
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 0}));
    EXPECT_EQ(vehicle.flashIndex, 0);
}

TEST_F(WeaponFiring, WithoutATargetObjectTheShotFliesLevel) {
    Arm("lgun", 1, 300, 1000);
    vehicle.UpdateWeapon({3, -10, 25}, nullptr);
    ASSERT_EQ(Shots(), 1);
    EXPECT_FLOAT_EQ(LastShot().direction.z, 0);
    EXPECT_NEAR(D3DXVec3Length(&LastShot().direction), 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(LastShot().speed, 100);
}

TEST_F(WeaponFiring, TheRocketLauncherLobsItsRocketAtTheSteepAngle) {
    EXPECT_NEAR(RocketElevation(0), kPi / 2, 1e-6f);
    EXPECT_NEAR(RocketElevation(29.49f), kPi / 4, 1e-3f);
    EXPECT_NEAR(RocketElevation(100), kPi / 4, 1e-6f);
    Arm("rlauncher", 1, 12, 1000);
    vehicle.UpdateWeapon({0, -20, 1}, nullptr);
    ASSERT_EQ(ActiveShots(spawner, "rocket1"), 1);
    const D3DXVECTOR3& flight = LastShot().direction;
    EXPECT_NEAR(std::atan2(flight.z, std::hypot(flight.x, flight.y)), RocketElevation(19), 1e-4f)
        << "the launcher stands 19 short of the aim point";
}

// The rocket's arc brings it back to its launch height at the aim point.
TEST_F(WeaponFiring, ABallisticRocketComesDownAtTheAimPoint) {
    const float distance = 20;
    spawner.Spawn("rocket1", {0, 0, 0}, {1, 0, RocketElevation(distance)}, -1, nullptr);
    ASSERT_EQ(Shots(), 1);
    CPShot& rocket = *spawner.GetActiveShots().back();
    g_FrameTime = 1.0f / 60.0f;
    float highest = 0;
    int frames = 0;
    while (rocket.Tick() && frames++ < 1000)
        highest = std::max(highest, rocket.GetPosition().z);
    EXPECT_GT(highest, 10.0f);
    EXPECT_NEAR(rocket.GetPosition().x, distance, 0.5f);
    EXPECT_NEAR(rocket.GetPosition().z, 0, 0.5f);
}

// Volley size, magazine and rate that would divide by zero, never wait
// or spawn without bound.
TEST_F(WeaponFiring, RecordsThatCannotFireArmNothing) {
    struct Case {
        int volley;
        int magazine;
        float rate;
    };
    for (const Case& broken : {Case{1, 0, 10}, Case{1, 10, 0}, Case{0, 10, 10}, Case{65, 650, 10}}) {
        data.weaponCatalogue = {};
        Arm("lgun", broken.volley, broken.magazine, broken.rate);
        EXPECT_FALSE(vehicle.weaponPart) << broken.volley << "/" << broken.magazine << "/" << broken.rate;
        EXPECT_EQ(Fire(1), 0);
    }
    data.weaponCatalogue = {};
    data.realCarInfo.weapon1 = "lgun";
    vehicle.SelectWeapon();
    EXPECT_FALSE(vehicle.weaponPart) << "no catalogue entry";
    vehicle.weaponSlot = -1;
    EXPECT_FLOAT_EQ(vehicle.GetAmmoFraction(), 0);
}

// A weapon whose flashes are missing fires from the weapon part itself.
TEST_F(WeaponFiring, WithoutFlashesTheShotLeavesTheWeaponPart) {
    Arm("gauss", 1, 300, 1000);
    Fire(1);
    ASSERT_EQ(ActiveShots(spawner, "gauss1"), 1);
    const CPRefPtr<CPGameObject> gun = vehicle.FindChild("gauss");
    EXPECT_NEAR(LastShot().launchPosition.x, gun->worldMatrix._41, 1e-5f);
    EXPECT_NEAR(LastShot().launchPosition.y, gun->worldMatrix._42, 1e-5f);
}

// Wherever the vehicle stands, every shot leaves the muzzle flash just
// shown (the weapon part without flashes), in world space, along the aim.
TEST_F(WeaponFiring, EveryShotLeavesTheShownMuzzleInTheWorld) {
    vehicle.SetPosition({10, 20, 0});
    vehicle.UpdateHierarchy();
    const struct {
        const char* weapon;
        const char* shot;
    } cases[] = {
        {"lgun", "trasser11"},
        {"plasma", "plazma"},
        {"gauss", "gauss1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.weapon);
        Arm(c.weapon, 1, 300, 1000);
        const int before = ActiveShots(spawner, c.shot);
        vehicle.UpdateWeapon({10, 0, 1}, nullptr);
        ASSERT_EQ(ActiveShots(spawner, c.shot), before + 1);
        const CPGameObject* muzzle = vehicle.muzzleFlashes[vehicle.flashIndex].Get();
        if (!muzzle)
            muzzle = vehicle.FindChild(c.weapon).Get();
        ASSERT_NE(muzzle, nullptr);
        const D3DXVECTOR3& from = LastShot().launchPosition;
        EXPECT_NEAR(from.x, muzzle->worldMatrix._41, 1e-4f);
        EXPECT_NEAR(from.y, muzzle->worldMatrix._42, 1e-4f);
        EXPECT_NEAR(from.z, muzzle->worldMatrix._43, 1e-4f);
        EXPECT_LT(LastShot().direction.y, -0.99f) << "along the aim ahead";
    }
}

TEST_F(WeaponFiring, TheFlameThrowerBurnsWhatItTouchedOncePerFifthOfASecond) {
    TestScripts scripts({"target"});
    scripts["target"].Start();
    CPGameObject target("target");
    target.SetScript(&scripts["target"]);
    Arm("firethrower", 1, 1000, 1000, 7);
    vehicle.flameTimer = 0;
    g_FrameTime = 0.063f;
    std::vector<float> burns;
    for (int frame = 1; frame <= 24; ++frame) {
        if (frame <= 20)
            vehicle.flameTargets[&target] = {&target, 1};
        const size_t before = scripts.Received(scripts["target"]).size();
        Fire(1);
        if (scripts.Received(scripts["target"]).size() > before)
            burns.push_back(static_cast<float>(frame) * g_FrameTime);
    }
    // 1.26 s of flames: a burn at once, then one for every 0.2 s counted.
    EXPECT_EQ(burns.size(), 7u);
    EXPECT_LE(burns.back(), 20 * 0.063f + 1e-4f) << "nothing burns once the flames stop touching it";
    EXPECT_EQ(scripts.Received(scripts["target"]).front(), "damage(7.00)");
    EXPECT_TRUE(vehicle.flameTargets.empty());
    EXPECT_EQ(log.Particles("firethrower"), 24);
    EXPECT_NE(log.Of("firethrower").front().callback, nullptr);
}

// Cone directions stay unit vectors inside their cone, also about +y and
// -y where the turn onto the axis has no axis of its own.
TEST(WeaponAim, ConeDirectionsStayInsideTheirCone) {
    D3DXVECTOR3 slanted(0.3f, -0.8f, 0.2f);
    D3DXVec3Normalize(&slanted, &slanted);
    for (const D3DXVECTOR3& axis :
         {D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, -1, 0), D3DXVECTOR3(0, 0, 1), slanted}) {
        for (int k = 0; k < 200; ++k) {
            const D3DXVECTOR3 d = ConeDirection(axis, 0.4f);
            ASSERT_NEAR(D3DXVec3Length(&d), 1.0f, 1e-4f);
            ASSERT_LE(std::acos(std::min(1.0f, D3DXVec3Dot(&d, &axis))), 0.4f + 1e-3f);
        }
    }
}

// The facing turns the model's forward axis (0, -1, 0) onto the direction;
// straight back is a half turn and no direction keeps the old orientation.
TEST(WeaponAim, FacingTurnsTheForwardAxisOntoTheDirection) {
    const D3DXQUATERNION current(0, 0, 0.6f, 0.8f);
    for (const D3DXVECTOR3& d : {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, -1, 0),
                                 D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0.2f, 0.5f, -0.3f)}) {
        const D3DXQUATERNION q = FacingRotation(d, current);
        D3DXMATRIX turn;
        D3DXMatrixRotationQuaternion(&turn, &q);
        const D3DXVECTOR3 forward(0, -1, 0);
        D3DXVECTOR3 turned, unit;
        D3DXVec3TransformNormal(&turned, &forward, &turn);
        D3DXVec3Normalize(&unit, &d);
        EXPECT_NEAR(turned.x, unit.x, 1e-5f);
        EXPECT_NEAR(turned.y, unit.y, 1e-5f);
        EXPECT_NEAR(turned.z, unit.z, 1e-5f);
    }
    const D3DXQUATERNION kept = FacingRotation({0, 0, 0}, current);
    EXPECT_FLOAT_EQ(kept.z, current.z);
    EXPECT_FLOAT_EQ(kept.w, current.w);
}

TEST(WeaponAim, TheYawIsZeroWhenTheAimHasNoGroundDirection) {
    EXPECT_FLOAT_EQ(AimYaw({0, 0, 5}, {0, -1, 0}), 0);
    EXPECT_NEAR(AimYaw({1, 0, 0}, {0, -1, 0}), kPi / 2, 1e-5f);
    EXPECT_NEAR(AimYaw({-1, 0, 0}, {0, -1, 0}), -kPi / 2, 1e-5f);
}

// A level deletes its cars as models, children before the vehicle: the
// vehicle's references to its weapon part and flashes must be gone by then
// (the sanitizer build reads freed parts otherwise).
TEST_F(WeaponFiring, AnArmedVehicleDeletedAsAModelLeavesItsDeletedPartsAlone) {
    Arm("lgun", 1, 30, 1000);
    auto* armed = new CPPlayer();
    auto* gun = new CPGameObject("lgun");
    armed->AddChild(gun);
    gun->AddChild(new CPGameObject("flare_lgun"));
    armed->UpdateHierarchy();
    armed->SelectWeapon();
    armed->firing = true;
    armed->UpdateWeapon({0, -20, 1}, nullptr);
    ASSERT_TRUE(armed->weaponPart);
    ASSERT_TRUE(armed->muzzleFlashes[0]);
    spawner.StopTask();
    CPMeshManager::DeleteModel(armed);
}

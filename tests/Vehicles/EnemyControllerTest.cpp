#include "VehicleTestSupport.h"

#include "Platform/Random.h"
#include "Platform/Sound/SoundBackend.h"
#include "Render/PAnimatedObject.h"
#include "Render/PAnimation.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Support/TempGameRoot.h"
#include "Support/TestScripts.h"
#include "Vehicles/PEnemyController.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

struct Launched {
    std::string name;
    D3DXVECTOR3 position;
    D3DXVECTOR3 direction;
    float speed;
};

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    const D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}

float AngleBetween(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return std::acos(
        std::clamp(D3DXVec3Dot(&a, &b) / (D3DXVec3Length(&a) * D3DXVec3Length(&b)), -1.0f, 1.0f));
}

// An armed enemy at the origin facing -y, with an animated body of every
// animation it plays and its controller attached, beside the level's player
// car. The shots it launches are recorded; the sound "punch" exists; the
// scripts "gamemenu" and "jeep" (the car's) hear the level's commands.
class EnemyController : public VehicleScene {
protected:
    void SetUp() override {
        VehicleScene::SetUp();
        const std::vector<uint8_t> bytes = EncodeWave(Oscillator(Waveform::Sine, 440, 2, 22050), {});
        TempGameRoot::WriteFile("Data/Sounds/punch.wav", std::string(bytes.begin(), bytes.end()));
        TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "punch;punch.wav;2d\n");
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        ASSERT_EQ(audio.Init(nullptr), S_OK);

        g_EnemyShotLauncher = [this](const std::string& name, const D3DXVECTOR3& position,
                                     const D3DXVECTOR3& direction, float speed,
                                     const CPRefPtr<CPGameObject>&) {
            launched.push_back({name, position, direction, speed});
        };
        auto* animated = new CPAnimatedObject(&enemy);
        enemy.SetVisual(animated, VISUAL_ANIMATED);
        for (CPAnimation& animation : animations)
            animated->AddAnimation(animation.name, &animation);
        enemy.physicData = new CPPhysicData(&enemy);
        enemy.SetPosition({1, 2, 3});
        enemy.UpdateHierarchy();
        enemy.enemyController = std::make_unique<CPEnemyController>(&enemy);
        CPEnemyController& c = Controller();
        c.name = "guard";
        c.health = 10;
        c.reward = 25;
        c.damageEffect = "oil1";
        c.melee1 = {{0, -3, 0}, {0, -1, 0}, 50, 7};
        c.melee2 = {{0, -2, 0}, {1, 0, 0}, 20, 4};
        c.fireOffset = {0, -1, 0.5f};
        c.soundNames = {{"hit1", "punch"}, {"hit2", "punch"}};
        c.reportFrames = {{"melee1", 4}, {"melee2", 5}, {"fire", 2}};
        c.states = {{1, {"idle", true, 0}}, {4, {"death1", false, 0}}};
        // Running scripts queue the commands sent to them.
        scripts["gamemenu"].Start();
        scripts["jeep"].Start();
    }
    void TearDown() override {
        g_EnemyShotLauncher = nullptr;
        enemy.enemyController.reset();
        VehicleScene::TearDown();
        audio.Release();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
    }

    CPEnemyController& Controller() { return *enemy.enemyController; }
    CPAnimatedObject& Body() { return *static_cast<CPAnimatedObject*>(enemy.visual.Get()); }
    // The player's car at the point, with a part box rays can hit.
    CPPlayer& PlaceCar(const D3DXVECTOR3& at) {
        CPPlayer& car = AddVehicle(at);
        car.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 2, 0.8f));
        car.dirty = true;
        car.UpdateHierarchy();
        car.SetScript(&scripts["jeep"]);
        level.player = &car;
        return car;
    }
    // Runs the report point of the animation.
    void ReportPoint(const std::string& animationName) {
        Controller().PlayAnimation(animationName, true, true, 1);
        enemy.UpdateController();
    }
    std::vector<std::string> LaunchedNames() const {
        std::vector<std::string> names;
        for (const Launched& shot : launched)
            names.push_back(shot.name);
        return names;
    }

    TempGameRoot root;
    CNAudio audio;
    TestScripts scripts{{"gamemenu", "jeep"}, "level"};
    CPGameData data;
    CPAnimation animations[9] = {CPAnimation{"idle"},     CPAnimation{"melee1"},  CPAnimation{"melee2"},
                                 CPAnimation{"melee3"},   CPAnimation{"fire_in"}, CPAnimation{"fire"},
                                 CPAnimation{"fire_out"}, CPAnimation{"death1"},  CPAnimation{"death2"}};
    CPGameObject enemy{"enemy"};
    std::vector<Launched> launched;
};

TEST_F(EnemyController, FiresByWeaponKindFromTheMuzzleAtThePlayer) {
    PlaceCar({1, -18, 1});
    const D3DXVECTOR3 muzzle(1, 1, 3.5f);
    D3DXVECTOR3 aim = D3DXVECTOR3(1, -18, 1.3f) - muzzle;
    D3DXVec3Normalize(&aim, &aim);
    struct Case {
        const char* kind;
        std::vector<std::string> names;
        float spread;
    };
    const Case cases[] = {
        {"mgun", {"trasser21"}, 0},
        {"lgun", {"trasser21"}, 0},
        {"plasma", {"plazma_shot2"}, 0},
        {"hmgun", {"trasser22"}, 0.1f},
        {"shotgun", std::vector<std::string>(8, "trasser23"), 0.4f},
        {"none", {}, 0},
    };
    for (const Case& c : cases) {
        launched.clear();
        Controller().weaponKind = c.kind;
        ReportPoint("fire");
        EXPECT_EQ(LaunchedNames(), c.names) << c.kind;
        std::set<float> directions;
        for (const Launched& shot : launched) {
            EXPECT_FLOAT_EQ(shot.speed, -1) << c.kind;
            EXPECT_NEAR(Distance(shot.position, muzzle), 0, 1e-4f) << c.kind;
            EXPECT_NEAR(D3DXVec3Length(&shot.direction), 1, 1e-4f) << c.kind;
            EXPECT_LE(AngleBetween(shot.direction, aim), c.spread + 1e-3f) << c.kind;
            directions.insert(shot.direction.x);
        }
        if (c.spread > 0 && launched.size() > 1) {
            EXPECT_GT(directions.size(), 1u) << c.kind << ": each pellet has its own direction";
        }
    }
}

TEST_F(EnemyController, SpreadStaysDefinedAimingStraightAlongY) {
    Controller().fireOffset = {0, 0, -0.3f};
    Controller().weaponKind = "shotgun";
    for (float side : {-1.0f, 1.0f}) {
        launched.clear();
        PlaceCar({1, 2 + 20 * side, 2.4f});
        ReportPoint("fire");
        ASSERT_EQ(launched.size(), 8u);
        for (const Launched& shot : launched) {
            EXPECT_TRUE(std::isfinite(shot.direction.x) && std::isfinite(shot.direction.y));
            EXPECT_LE(AngleBetween(shot.direction, {0, side, 0}), 0.4f + 1e-3f) << side;
        }
    }
}

TEST_F(EnemyController, RocketsComeEveryThirdShotByTheGeneratorsParity) {
    PlaceCar({1, -18, 1});
    Controller().weaponKind = "rocket";
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        PlatSRand(seed);
        const bool firstRocket = PlatRand() % 2 == 0;
        const bool secondRocket = PlatRand() % 2 == 0;
        PlatSRand(seed);
        launched.clear();
        for (int i = 0; i < 6; ++i)
            ReportPoint("fire");
        EXPECT_EQ(LaunchedNames(),
                  (std::vector<std::string>{"plazma_shot2", "plazma_shot2",
                                            firstRocket ? "srocket2" : "plazma_shot2", "plazma_shot2",
                                            "plazma_shot2", secondRocket ? "srocket2" : "plazma_shot2"}))
            << seed;
    }
}

TEST_F(EnemyController, AMeleeHitPlaysItsSoundPushesAndDamagesTheCar) {
    CPPlayer& car = PlaceCar({1, -2, 1});
    ReportPoint("melee1");
    EXPECT_TRUE(audio.FindSound("punch")->IsPlaying());
    EXPECT_LT(car.physicData->rigidBody->GetVelocity().y, -0.5f) << "pushed along the blow";
    EXPECT_EQ(scripts.Received(scripts["jeep"]), (std::vector<std::string>{"damage(7.00)"}));
    EXPECT_TRUE(launched.empty());
}

TEST_F(EnemyController, AMeleeSwingOutOfReachOrWithoutACarDoesNothing) {
    CPPlayer& car = PlaceCar({1, -12, 1});
    ReportPoint("melee1");
    ReportPoint("melee2");
    EXPECT_FALSE(audio.FindSound("punch")->IsPlaying());
    EXPECT_FLOAT_EQ(car.physicData->rigidBody->GetVelocity().y, 0);
    EXPECT_TRUE(scripts.Received(scripts["jeep"]).empty());

    level.player = nullptr;
    Controller().weaponKind = "explosion";
    ReportPoint("melee1");
    ReportPoint("fire");
    EXPECT_TRUE(launched.empty());
}

TEST_F(EnemyController, AnExplodingEnemyBlowsUpAndReportsItsDeathOnce) {
    PlaceCar({1, -12, 1});
    Controller().weaponKind = "explosion";
    ReportPoint("melee1");
    ReportPoint("melee1");
    ASSERT_EQ(LaunchedNames(), (std::vector<std::string>{"rocket_exp2", "rocket_exp2"}));
    EXPECT_NEAR(Distance(launched[0].position, {1, -1, 3}), 0, 1e-4f);
    EXPECT_EQ(Controller().currentState, CPEnemyController::kDeathState);
    EXPECT_EQ(Body().animationName, "death1");
    EXPECT_EQ(scripts.Received(scripts["gamemenu"]),
              (std::vector<std::string>{"enemy_death(guard,1.00,2.00,3.00)"}));
}

TEST_F(EnemyController, KilledTwiceItPaysAndReportsOnce) {
    enemy.physicData->overrideMotion = true;
    enemy.TakeDamage({1, 2, 4}, {0, 1, 0}, 4, 0, false);
    EXPECT_FALSE(enemy.physicData->overrideMotion);
    EXPECT_TRUE(Controller().hurt);
    ASSERT_EQ(LaunchedNames(), (std::vector<std::string>{"oil1"}));
    EXPECT_EQ(launched[0].direction, D3DXVECTOR3(0, -4, 0));
    EXPECT_EQ(launched[0].position, D3DXVECTOR3(1, 2, 4));

    enemy.TakeDamage({1, 2, 4}, {0, 1, 0}, 6, 0, true);
    enemy.TakeDamage({1, 2, 4}, {0, 1, 0}, 6, 0, false);
    EXPECT_EQ(launched.size(), 1u) << "silent, then dead";
    EXPECT_FLOAT_EQ(data.money, 25);
    EXPECT_EQ(data.kills, 1);
    EXPECT_TRUE(Controller().dead);
    EXPECT_EQ(Body().animationName, "death1");
    EXPECT_EQ(scripts.Received(scripts["gamemenu"]),
              (std::vector<std::string>{"change_money(25.00)", "enemy_death(guard,1.00,2.00,3.00)"}));
}

TEST_F(EnemyController, ABloodyEnemyBurstsIntoFiveToNineGibs) {
    std::set<std::size_t> counts;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        launched.clear();
        enemy.SetVisible(true);
        CPEnemyController& c = Controller();
        c.dead = false;
        c.deathReported = false;
        c.health = 1;
        c.damageEffect = "blood1";
        c.gibs = true;
        c.gibHeight = 2;
        PlatSRand(seed);
        const std::size_t expected = static_cast<std::size_t>(PlatRand() % 5 + 5);
        PlatSRand(seed);
        enemy.TakeDamage({0, 0, 0}, {1, 0, 0}, 5, 0, true);
        EXPECT_FALSE(enemy.visible);
        ASSERT_EQ(launched.size(), expected) << seed;
        counts.insert(expected);
        for (const Launched& gib : launched) {
            EXPECT_TRUE(gib.name == "gib1" || gib.name == "gib2") << gib.name;
            EXPECT_EQ(gib.position, D3DXVECTOR3(1, 2, 5));
            EXPECT_NEAR(D3DXVec3Length(&gib.direction), 1, 1e-4f);
        }
    }
    EXPECT_GT(counts.size(), 1u);

    launched.clear();
    Controller().dead = false;
    Controller().health = 1;
    Controller().damageEffect = "oil1";
    enemy.TakeDamage({0, 0, 0}, {1, 0, 0}, 5, 0, true);
    EXPECT_TRUE(launched.empty()) << "only a bloody enemy bursts";
}

TEST_F(EnemyController, AnimationsChainAtTheirEnds) {
    CPEnemyController& c = Controller();
    c.meleeCount = 3;
    c.meleeParameters = {2, 3, 4};
    for (unsigned seed : {1u, 2u, 5u}) {
        PlatSRand(seed);
        const int k = PlatRand() % 3 + 1;
        PlatSRand(seed);
        c.PlayAnimation("melee1", true, true, 2);
        enemy.NotifyControllerAnimationEnd();
        const std::string expected = "melee" + std::to_string(k);
        EXPECT_EQ(c.lastMeleeName, expected) << seed;
        EXPECT_EQ(Body().animationName, expected) << seed;
        EXPECT_EQ(Body().playLimit, k + 1) << seed;
        EXPECT_EQ(Body().reportFrame, k == 3 ? -1 : 3 + k) << "the swing reports at its frame";
    }

    c.PlayAnimation("fire_in", false, true, 0);
    EXPECT_EQ(Body().playLimit, 1) << "played once";
    c.fireParameter = 3;
    enemy.NotifyControllerAnimationEnd();
    EXPECT_EQ(Body().animationName, "fire");
    EXPECT_EQ(Body().reportFrame, 2);
    EXPECT_EQ(Body().playLimit, 3);
    EXPECT_EQ(c.firing, 1);
    enemy.NotifyControllerAnimationEnd();
    EXPECT_EQ(c.currentAnimation, "fire") << "fires on while firing";
    c.PlayAnimation("fire_out", false, true, 0);
    enemy.NotifyControllerAnimationEnd();
    EXPECT_EQ(c.firing, 0);
    EXPECT_EQ(c.currentState, CPEnemyController::kIdleState);
    EXPECT_EQ(Body().animationName, "idle");

    c.PlayAnimation("death2", false, true, 0);
    enemy.NotifyControllerAnimationEnd();
    EXPECT_FALSE(enemy.collision) << "the body no longer stops rays";
}

// The keeper's requests: each starts its animation once, firing and melee
// give way to each other, resting leaves either, and a dead enemy ignores
// them all.
TEST_F(EnemyController, KeeperRequestsStartEachAttackOnce) {
    CPEnemyController& c = Controller();
    c.meleeCount = 2;
    c.meleeParameters = {1, 1};
    c.SelectState(CPEnemyController::kIdleState);
    struct Step {
        void (CPEnemyController::*request)();
        const char* animation;
        int firing;
    };
    const Step steps[] = {
        {&CPEnemyController::Rest, "idle", 0},         {&CPEnemyController::OpenFire, "fire_in", 0},
        {&CPEnemyController::OpenFire, "fire_in", 0},  {&CPEnemyController::Rest, "fire_out", 0},
        {&CPEnemyController::StartMelee, "melee1", 0}, {&CPEnemyController::StartMelee, "melee1", 0},
        {&CPEnemyController::OpenFire, "fire_in", 0},  {&CPEnemyController::StartMelee, "melee1", 0},
        {&CPEnemyController::Rest, "idle", 0},
    };
    int index = 0;
    for (const Step& step : steps) {
        (c.*step.request)();
        EXPECT_EQ(c.currentAnimation, step.animation) << index;
        EXPECT_EQ(Body().animationName, step.animation) << index;
        EXPECT_EQ(c.firing, step.firing) << index;
        ++index;
    }
    c.OpenFire();
    enemy.NotifyControllerAnimationEnd();
    EXPECT_EQ(c.currentAnimation, "fire");
    c.OpenFire();
    EXPECT_EQ(c.currentAnimation, "fire") << "already firing";
    c.Rest();
    EXPECT_EQ(c.currentAnimation, "fire_out");
    EXPECT_EQ(c.firing, 0);

    c.dead = true;
    for (auto request :
         {&CPEnemyController::OpenFire, &CPEnemyController::StartMelee, &CPEnemyController::Rest})
        (c.*request)();
    EXPECT_EQ(c.currentAnimation, "fire_out") << "a dead enemy stays as it is";
}

TEST_F(EnemyController, WithoutMeleeAnimationsNoSwingFollows) {
    Controller().PlayAnimation("melee1", true, true, 2);
    Controller().PlayAnimation("melee1", true, false, 5);
    EXPECT_EQ(Controller().currentRecord.loopParameter, 2) << "the same animation is not started again";
    enemy.NotifyControllerAnimationEnd();
    EXPECT_EQ(Controller().currentAnimation, "melee1");
    EXPECT_TRUE(Controller().lastMeleeName.empty());
}

TEST(EnemyControllerSlot, AnObjectWithoutControllerIgnoresTheEvents) {
    CPGameObject object("crate");
    object.NotifyControllerAnimationEnd();
    object.UpdateController();
    object.TakeDamage({0, 0, 0}, {1, 0, 0}, 5, 0, false);
    EXPECT_FALSE(object.enemyController);
}

} // namespace

#include "Core/PGlobalTimer.h"
#include "Core/PObject.h"
#include "Core/PSettings.h"
#include "Physics/PContactEffects.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbCollisionInfo.h"
#include "Physics/Simulator/RbSimulator.h"
#include "Platform/Random.h"
#include "Platform/Sound/SoundBackend.h"
#include "RbTestWorld.h"
#include "Sound/NAudio.h"
#include "Support/TempGameRoot.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

// A game object as the contact effects see it.
class FakeCar : public CPObject {
public:
    size_t GetSize() const override { return sizeof(FakeCar); }
    std::string GetClassName() const override { return "FakeCar"; }
    D3DXVECTOR3 position;
    D3DXVECTOR3 velocity;
    bool player = false;
};

struct DentCall {
    CPObject* object;
    D3DXVECTOR3 point, direction;
    float amount;
};

class ContactEffectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_FrameCounter = 100;
        g_FrameTime = 0.02f;
        g_FrameParticleCount = 0;
        g_ParticleSystems = 25;
        PlatSRand(1);
        auto car = [](CPObject* object) { return static_cast<FakeCar*>(object); };
        g_PhysicsServices.position = [car](CPObject* o) { return car(o)->position; };
        g_PhysicsServices.carVelocity = [car](CPObject* o) { return car(o)->velocity; };
        g_PhysicsServices.isPlayer = [car](CPObject* o) { return car(o)->player; };
        g_PhysicsServices.deformParts = [this](CPObject* o, const D3DXVECTOR3& p, const D3DXVECTOR3& d,
                                               float a) {
            dents.push_back({o, p, d, a});
        };
        g_PhysicsServices.spawnParticle = [this](const SparkParticle& spark) { sparks.push_back(spark); };
        SetUpSlamSound();
        bodyA = world->CreateRigidBody();
        bodyB = world->CreateRigidBody();
        bodyA->SetUserData(&carA);
        bodyB->SetUserData(&carB);
    }
    void TearDown() override {
        audio.reset();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
        g_PhysicsServices = PhysicsServices();
        g_FrameParticleCount = 0;
        g_FrameTime = 0.0f;
        g_FrameCounter = 0;
    }

    // A contact of car A's geometry with the ground at the impact speed.
    RbCollisionInfo Ground(float speed) {
        RbCollisionInfo info;
        info.bodyA = bodyA;
        info.bodyB = &world->TerrainBody();
        info.materialIdA = 1;
        info.materialIdB = 0;
        info.relativeVelocity = {speed, 0, 0};
        info.worldContactPointA = {1, 2, 0};
        return info;
    }
    RbCollisionInfo CarAgainstCar(float speed) {
        RbCollisionInfo info = Ground(speed);
        info.bodyB = bodyB;
        info.materialIdB = 1;
        info.worldContactPointB = {1, 2, 0.5f};
        return info;
    }
    void NextFrame() {
        ++g_FrameCounter;
        g_FrameParticleCount = 0;
    }

    // The sound manager on a loopback device, with a "slam" of 0.5 s.
    void SetUpSlamSound() {
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        const std::vector<uint8_t> wave = EncodeWave(Oscillator(Waveform::Sine, 440, 0.5f, 22050), {});
        TempGameRoot::WriteFile("Data/Sounds/slam.wav", std::string(wave.begin(), wave.end()));
        TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "slam;slam.wav;2d\n");
        audio = std::make_unique<CNAudio>();
        ASSERT_EQ(audio->Init(nullptr), S_OK);
    }
    bool SlamPlaying() const {
        const CPRefPtr<CNSound> slam = audio->FindSound("slam");
        return slam && slam->IsPlaying();
    }
    // Plays the mix on for that many seconds.
    static void Mix(float seconds) {
        const auto frames = static_cast<size_t>(seconds * 22050);
        std::vector<float> mix(2 * frames);
        PlatRenderSoundMix(mix.data(), frames);
    }

    TempGameRoot root;
    std::unique_ptr<CNAudio> audio;

    RbWorldPtr world = MakeWorld();
    RbRigidBody* bodyA = nullptr;
    RbRigidBody* bodyB = nullptr;
    FakeCar carA, carB;
    CPContactEffects effects;
    std::vector<DentCall> dents;
    std::vector<SparkParticle> sparks;
};

TEST_F(ContactEffectsTest, GroundContactsDentAndSparkByImpactSpeed) {
    carA.position = {1, 2, 3};
    carA.velocity = {0, 5, 0};
    struct Case {
        float speed;
        std::size_t sparks;
        float dent;
    } cases[] = {{12, 1, 0.096f}, {95, 9, 0.76f}, {0, 0, 0}, {1e15f, 40, 8e12f}, {NAN, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        NextFrame();
        dents.clear();
        sparks.clear();
        effects.OnCollision(Ground(c.speed));
        EXPECT_EQ(sparks.size(), c.sparks) << c.speed;
        ASSERT_EQ(dents.size(), 1u);
        EXPECT_EQ(dents[0].object, &carA);
        EXPECT_FLOAT_EQ(dents[0].direction.z, 1.0f); // toward the car
        EXPECT_FLOAT_EQ(dents[0].amount, c.dent);
    }
    EXPECT_FALSE(SlamPlaying()); // not the player's car
}

TEST_F(ContactEffectsTest, SparksDrawTheirRandomNumbersInOrder) {
    carA.velocity = {0, 5, 0};
    effects.OnCollision(Ground(12));
    ASSERT_EQ(sparks.size(), 1u);
    const SparkParticle& s = sparks[0];
    // Backwards from the car's motion and upwards: norm(0, -5, 2.25) x 10.
    const float len = std::sqrt(25.0f + 2.25f * 2.25f);
    const D3DXVECTOR3 d(0, -50 / len, 22.5f / len);
    // Seed 1 draws 41, 18467, 6334, 26500, 19169.
    const float a = 6334 % 360 * std::numbers::pi_v<float> / 180,
                b = 26500 % 45 * std::numbers::pi_v<float> / 180;
    const float k = 0.5f + 5.5f * 19169 / 32767.0f;
    EXPECT_EQ(s.typeName, "iskra");
    EXPECT_FLOAT_EQ(s.position.x, 1.0f);
    EXPECT_FLOAT_EQ(s.firstScalar, 0.01f + 0.02f * 41 / 32767.0f);
    EXPECT_NEAR(s.acceleration.y, d.y * 18467 / 32767.0f, 1e-5f);
    EXPECT_NEAR(s.acceleration.z, d.z * 18467 / 32767.0f - 9.8f, 1e-5f);
    EXPECT_NEAR(s.velocity.x, k * std::cos(a) * std::sin(b), 1e-5f);
    EXPECT_NEAR(s.velocity.y, d.y + k * std::sin(a) * std::sin(b), 1e-5f);
    EXPECT_NEAR(s.velocity.z, d.z, 1e-5f);
    EXPECT_FLOAT_EQ(s.secondScalar, 0.0f);
    EXPECT_FLOAT_EQ(s.lifetime, 1.0f);
    EXPECT_EQ(s.flags[0], 1);
    EXPECT_EQ(s.flags[1], 1);
}

TEST_F(ContactEffectsTest, SparksStayWithinTheFramesBudget) {
    struct Case {
        int spawnedBefore, requested, spawned;
    } cases[] = {{30, 50, 10}, {40, 5, 0}, {45, 5, 0}, {0, 40, 40}, {0, -3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        sparks.clear();
        g_FrameParticleCount = c.spawnedBefore;
        effects.SpawnSparks({}, {0, 0, 1}, c.requested);
        EXPECT_EQ(static_cast<int>(sparks.size()), c.spawned) << c.spawnedBefore << " + " << c.requested;
        EXPECT_EQ(g_FrameParticleCount, c.spawnedBefore + c.spawned);
    }
}

TEST_F(ContactEffectsTest, CarContactsDentBothAndSparkAtMostOncePerInterval) {
    carA.position = {1, 2, 3};
    carB.position = {1, 2, -3};
    bodyA->SetVelocity({0, 0, 1});
    bodyB->SetVelocity({4, 0, 0}); // the faster: sparks fly against it
    // Frames of 0.02 s; the timer grows once per frame however many
    // contacts the frame reports.
    std::vector<std::size_t> sparksPerFrame;
    for (int frame = 0; frame < 4; ++frame) {
        NextFrame();
        sparks.clear();
        for (int call = 0; call < 3; ++call)
            effects.OnCollision(CarAgainstCar(10));
        sparksPerFrame.push_back(sparks.size());
    }
    // 0.02, 0.04 (> 0.038: sparks, reset), then 0.02, 0.04.
    EXPECT_EQ(sparksPerFrame, (std::vector<std::size_t>{0, 25, 0, 25}));
    ASSERT_EQ(dents.size(), 24u);
    EXPECT_EQ(dents[0].object, &carA);
    EXPECT_FLOAT_EQ(dents[0].amount, 0.8f);
    EXPECT_FLOAT_EQ(dents[0].direction.z, 1.0f);
    EXPECT_EQ(dents[1].object, &carB);
    EXPECT_FLOAT_EQ(dents[1].point.z, 0.5f);
    EXPECT_FLOAT_EQ(dents[1].direction.z, -1.0f);
    EXPECT_FLOAT_EQ(sparks[0].position.z, 0.0f); // at A's contact point
    EXPECT_FLOAT_EQ(sparks[0].velocity.z, 2.0f);
    EXPECT_LT(sparks[0].acceleration.x, 0.0f);
    EXPECT_FLOAT_EQ(effects.Timer(), 0.0f);
}

TEST_F(ContactEffectsTest, SlamPlaysForThePlayersCarAndIsNotRestartedWhilePlaying) {
    carA.player = true;
    effects.OnCollision(Ground(12));
    EXPECT_TRUE(SlamPlaying());
    Mix(0.4f);
    NextFrame();
    effects.OnCollision(Ground(12));
    effects.OnCollision(Ground(30));
    Mix(0.2f);
    EXPECT_FALSE(SlamPlaying()) << "a slam still sounding is not started again";
    NextFrame();
    effects.OnCollision(Ground(1));
    EXPECT_TRUE(SlamPlaying());
    Mix(0.6f);

    // Car against car: only when the faster car is the player's, and only
    // with the sparks.
    bodyA->SetVelocity({5, 0, 0});
    bodyB->SetVelocity({1, 0, 0});
    g_FrameTime = 0.05f;
    NextFrame();
    effects.OnCollision(CarAgainstCar(3));
    EXPECT_TRUE(SlamPlaying());
    Mix(0.6f);
    effects.OnCollision(CarAgainstCar(3)); // same frame: within the interval
    EXPECT_FALSE(SlamPlaying());
    bodyB->SetVelocity({9, 0, 0});
    NextFrame();
    effects.OnCollision(CarAgainstCar(3));
    EXPECT_FALSE(SlamPlaying());
}

TEST_F(ContactEffectsTest, OtherContactsAndBodiesWithoutObjectsDoNothingFurther) {
    RbCollisionInfo notACar = Ground(50);
    notACar.materialIdA = 0;
    RbCollisionInfo unknownSurface = Ground(50);
    unknownSurface.materialIdB = 2;
    RbCollisionInfo noObject = Ground(50);
    bodyA->SetUserData(nullptr);
    for (const RbCollisionInfo& info : {notACar, unknownSurface, noObject})
        effects.OnCollision(info);
    EXPECT_TRUE(dents.empty());
    EXPECT_TRUE(sparks.empty());
    EXPECT_FLOAT_EQ(effects.Timer(), 0.02f); // the frame's time still counts

    // A car hitting a body without a game object: only the car is dented.
    bodyA->SetUserData(&carA);
    bodyB->SetUserData(nullptr);
    NextFrame();
    effects.OnCollision(CarAgainstCar(10));
    ASSERT_EQ(dents.size(), 1u);
    EXPECT_EQ(dents[0].object, &carA);
    EXPECT_EQ(sparks.size(), 25u);
}

} // namespace

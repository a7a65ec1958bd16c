#include "ParticleTestSupport.h"

#include "Core/LiveObjects.h"
#include "Particles/ParticleServices.h"
#include "Platform/Random.h"

namespace {

// An owner the emitter can find among the live objects.
class Owner : public CPObject {
public:
    Owner() { RegisterLiveObject(this); }
    ~Owner() override { UnregisterLiveObject(this); }
    size_t GetSize() const override { return sizeof(Owner); }
    std::string GetClassName() const override { return "Owner"; }
};

class ParticleSystemTest : public ParticleTest {
protected:
    ParticleSystemTest() {
        type = AddType("p");
        AddDefinition("def", "p", D3DXVECTOR3(0, 0, 1), 0);
        g_ParticleServices.worldMatrix = [this](CPObject*) { return ownerWorld; };
        g_ParticleServices.damageTopOwner = [this](CPObject*, float amount) { damage.push_back(amount); };
        g_ParticleServices.applyTopOwnerMaterial = [this](CPObject*) { ++materials; };
    }
    ~ParticleSystemTest() override { g_ParticleServices = ParticleServices(); }

    ParticleSystemDef& AddDefinition(const std::string& name, const std::string& typeName,
                                     const D3DXVECTOR3& direction, int cone) {
        ParticleSystemDef& definition = manager.systemDefs[name];
        definition.typeName = typeName;
        definition.lifetime = 100;
        definition.speed = 2;
        definition.direction = direction;
        definition.coneAngle = cone;
        return definition;
    }

    CPParticleRenderObject* type;
    D3DXMATRIX ownerWorld = PlatIdentityMatrix();
    std::vector<float> damage;
    int materials = 0;
};

TEST_F(ParticleSystemTest, EmitsWhenTheAccumulatorPassesTheInterval) {
    CPParticleSystem system(nullptr, {"def"});
    ASSERT_TRUE(system.Start());
    g_FrameTime = 0.25f;
    const std::size_t expected[] = {0, 0, 1, 1, 2, 2};
    for (std::size_t update = 0; update < std::size(expected); ++update) {
        system.Update();
        EXPECT_EQ(type->particles.size(), expected[update]) << "update " << update + 1;
        EXPECT_EQ(system.elapsed, 0.25f * static_cast<float>(update + 1));
    }
}

TEST_F(ParticleSystemTest, StopsAfterEmittingPastItsDurationAndReappliesTheMaterialAtHalf) {
    Owner owner;
    CPParticleSystem system(&owner, {"def"});
    system.duration = 2;
    system.damage = 3;
    ASSERT_TRUE(system.Start());
    g_FrameTime = 0.25f;
    struct Step {
        std::size_t particles;
        int materials;
        bool running;
    };
    // Emissions in updates 3, 5, 7 and 9; in update 3 the emission takes
    // `elapsed` to 1, half the duration; update 9 passes 2 and stops.
    const Step steps[] = {{0, 0, true}, {0, 0, true}, {1, 1, true}, {1, 1, true}, {2, 1, true},
                          {2, 1, true}, {3, 1, true}, {3, 1, true}, {4, 1, false}};
    for (std::size_t update = 0; update < std::size(steps); ++update) {
        SCOPED_TRACE(update + 1);
        system.Update();
        EXPECT_EQ(type->particles.size(), steps[update].particles);
        EXPECT_EQ(materials, steps[update].materials);
        EXPECT_EQ(system.running, steps[update].running);
    }
    EXPECT_EQ(damage, (std::vector<float>{3, 3, 3, 3}));
}

TEST_F(ParticleSystemTest, AnEmitterWhoseOwnerIsGoneStopsWithoutTouchingIt) {
    auto* owner = new Owner();
    CPParticleSystem system(owner, {"def"});
    system.Start();
    delete owner;
    g_FrameTime = 1;
    system.Update();
    EXPECT_FALSE(system.running);
    EXPECT_TRUE(type->particles.empty());
    EXPECT_TRUE(damage.empty());
}

TEST_F(ParticleSystemTest, IntervalsOfZeroOrLessNeverEmit) {
    for (float interval : {0.0f, -1.0f, std::nanf("")}) {
        CPParticleSystem system(nullptr, {"def"});
        system.SetInterval(interval);
        system.Start();
        g_FrameTime = 0.5f;
        system.Update();
        system.Update();
    }
    EXPECT_TRUE(type->particles.empty());
    // A tiny interval emits a bounded number per update.
    CPParticleSystem fast(nullptr, {"def"});
    fast.SetInterval(1e-30f);
    fast.Start();
    fast.Update();
    EXPECT_GT(type->particles.size(), 0u);
    EXPECT_LT(type->particles.size(), 1000u);
}

TEST_F(ParticleSystemTest, VelocitiesFollowTheDirectionAndTheOwner) {
    Owner owner;
    struct Case {
        D3DXVECTOR3 direction;
        int cone;
        bool owned;
        D3DXVECTOR3 velocity;
    };
    const Case cases[] = {
        {{0, 0, 1}, 0, false, {0, 0, 2}},
        {{0, 0, -1}, 0, false, {0, 0, -2}},
        {{0, 0, 3}, 0, false, {0, 0, 2}}, // normalised first
        {{1, 0, 0}, 0, false, {2, 0, 0}},
        {{0, 1, 0}, 1, false, {0, 2, 0}}, // a cone of 1 has no spread
        {{0, 1, 0}, -1, false, {0, 2, 0}},
        {{1, 0, 0}, 0, true, {0, 2, 0}}, // the owner turns it by 90 degrees about Z
    };
    D3DXMatrixRotationZ(&ownerWorld, D3DX_PI / 2);
    ownerWorld._41 = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.direction.x << c.direction.y << c.direction.z << " " << c.cone);
        AddDefinition("case", "p", c.direction, c.cone);
        CPParticleSystem system(c.owned ? &owner : nullptr, {"case"});
        const ParticleDesc desc = system.MakeDesc(system.definitions[0], true);
        EXPECT_NEAR(desc.velocity.x, c.velocity.x, 1e-5f);
        EXPECT_NEAR(desc.velocity.y, c.velocity.y, 1e-5f);
        EXPECT_NEAR(desc.velocity.z, c.velocity.z, 1e-5f);
        EXPECT_EQ(desc.position.x, c.owned ? 7.0f : 0.0f);
    }
}

TEST_F(ParticleSystemTest, RandomDrawsComeInTheOrderXYZAzimuthPolar) {
    ParticleSystemDef& definition = AddDefinition("box", "p", D3DXVECTOR3(0, 0, 1), 90);
    definition.spawnBox = D3DXVECTOR3(1, 2, 4);
    CPParticleSystem system(nullptr, {"box"});
    PlatSRand(1); // 41, 18467, 6334, 26500, 19169
    const ParticleDesc desc = system.MakeDesc(system.definitions[0], false);
    EXPECT_FLOAT_EQ(desc.position.x, 41.0f / 32767 * 2 - 1);
    EXPECT_FLOAT_EQ(desc.position.y, 18467.0f / 32767 * 4 - 2);
    EXPECT_FLOAT_EQ(desc.position.z, 6334.0f / 32767 * 8 - 4);
    // Azimuth 26500 mod 360 = 220 degrees; polar 19169 mod 45 = 44 degrees.
    const float azimuth = 220 * 0.017453292f;
    const float polar = 44 * 0.017453292f;
    EXPECT_NEAR(desc.velocity.x, std::cos(azimuth) * std::sin(polar) * 2, 1e-5f);
    EXPECT_NEAR(desc.velocity.y, std::sin(azimuth) * std::sin(polar) * 2, 1e-5f);
    EXPECT_NEAR(desc.velocity.z, std::cos(polar) * 2, 1e-5f);
}

TEST_F(ParticleSystemTest, ThreeDefinitionsMakeOneParticleAndTwoChainedLater) {
    CPParticleRenderObject* second = AddType("second");
    CPParticleRenderObject* third = AddType("third");
    AddDefinition("a", "p", D3DXVECTOR3(0, 0, 1), 0).lifetime = 1;
    AddDefinition("b", "second", D3DXVECTOR3(0, 0, 1), 0).lifetime = 1;
    AddDefinition("c", "third", D3DXVECTOR3(0, 0, 1), 0).lifetime = 1;
    CPParticleSystem system(nullptr, {"a", "missing", "b", "c"});
    EXPECT_EQ(system.definitions.size(), 3u);
    system.Emit();
    EXPECT_EQ(type->particles.size(), 1u);
    EXPECT_TRUE(second->particles.empty());
    Run(4, 0.25f);
    EXPECT_EQ(second->particles.size(), 1u);
    EXPECT_TRUE(third->particles.empty());
    Run(3, 0.25f);
    EXPECT_EQ(third->particles.size(), 1u);
}

TEST_F(ParticleSystemTest, ACloneKeepsTheSettingsAndStartsAfresh) {
    CPParticleSystem system(nullptr, {"def"});
    system.SetInterval(0.1f);
    system.duration = 4;
    system.damage = 2;
    const std::unique_ptr<CPParticleSystem> clone(static_cast<CPParticleSystem*>(system.Clone().Get()));
    EXPECT_EQ(clone->interval, 0.1f);
    EXPECT_EQ(clone->duration, 4.0f);
    EXPECT_EQ(clone->damage, 2.0f);
    EXPECT_EQ(clone->systemNames, system.systemNames);
    EXPECT_EQ(clone->definitions.size(), 1u);
    EXPECT_EQ(clone->GetCategory(), TASK_LEVEL);
}

} // namespace

#include "ParticleTestSupport.h"

namespace {

using ParticleLifeTest = ParticleTest;

TEST_F(ParticleLifeTest, ChainedRequestSpawnsOncePastHalfLifeAndIsUpdatedInTheSamePass) {
    CPParticleRenderObject* parent = AddType("parent");
    CPParticleRenderObject* child = AddType("child");
    ParticleDesc desc = Desc("parent", 1);
    desc.position = D3DXVECTOR3(1, 2, 3);
    desc.chained = std::make_unique<ParticleDesc>(Desc("child", 100));
    desc.chained->position = D3DXVECTOR3(0, 0, 10);
    manager.Spawn(desc);
    ASSERT_EQ(manager.liveObjects.size(), 1u);

    // Ages before each update: 0, 0.25, 0.5, 0.75 (spawns: above half), 1.0
    // (equal to the lifetime: survives and ages once more), 1.25 (expires).
    struct Step {
        std::size_t parents, children;
        float parentAge;
    };
    const Step steps[] = {{1, 0, 0.25f}, {1, 0, 0.5f}, {1, 0, 0.75f}, {1, 1, 1.0f}, {1, 1, 1.25f}, {0, 1, 0}};
    for (const Step& step : steps) {
        Run(1, 0.25f);
        ASSERT_EQ(parent->particles.size(), step.parents);
        ASSERT_EQ(child->particles.size(), step.children);
        if (step.parents) {
            EXPECT_EQ(parent->particles[0].age, step.parentAge);
        }
    }
    // The child came in the fourth update, was appended to the live list and
    // aged in the same pass: three updates of age since.
    EXPECT_EQ(child->particles[0].age, 0.75f);
    EXPECT_EQ(child->particles[0].position, D3DXVECTOR3(1, 2, 13));
    EXPECT_FALSE(parent->active);
    EXPECT_EQ(manager.liveObjects.size(), 1u);
    EXPECT_EQ(manager.liveObjects.front().Get(), child);
}

TEST_F(ParticleLifeTest, ATypeSpawningIntoItselfVisitsTheNewParticleInTheSamePass) {
    CPParticleRenderObject* type = AddType("self");
    ParticleDesc desc = Desc("self", 0.25f);
    desc.chained = std::make_unique<ParticleDesc>(Desc("self", 10));
    manager.Spawn(desc);
    Run(2, 0.25f);
    // Second update: the first particle (age 0.25 > 0.125) spawns the
    // chained one, which is appended and aged in the same walk.
    ASSERT_EQ(type->particles.size(), 2u);
    EXPECT_EQ(type->particles[1].age, 0.25f);
}

TEST_F(ParticleLifeTest, MotionGrowthAndTheCallback) {
    CPParticleRenderObject* type = AddType("p");
    static int calls;
    calls = 0;
    ParticleDesc desc = Desc("p", 10);
    desc.velocity = D3DXVECTOR3(1, 0, 0);
    desc.acceleration = D3DXVECTOR3(0, 0, -2);
    desc.size = 1;
    desc.growth = 1;
    desc.callback = [](CPObject*, Particle&) { ++calls; };
    manager.Spawn(desc);
    Run(1, 0.5f);
    const Particle& p = type->particles[0];
    // The new velocity moves the particle.
    EXPECT_EQ(p.velocity, D3DXVECTOR3(1, 0, -1));
    EXPECT_EQ(p.position, D3DXVECTOR3(0.5f, 0, -0.5f));
    EXPECT_EQ(p.size, 1.5f);
    EXPECT_EQ(calls, 1);
    // Fill counts the growth once more: 1.5 + 1 x 0.5.
    const FilledQuads quads = FillObject(*type);
    EXPECT_FLOAT_EQ(quads.vertices[1].x - quads.vertices[0].x, 4.0f);
}

TEST_F(ParticleLifeTest, FadeAndKeyColours) {
    CPParticleRenderObject* faded = AddType("fade");
    CPParticleRenderObject* keyed = AddType("keys");
    keyed->SetKeys({{1, 1, 0, 0, 1}, {0, 0, 1, 0, 3}});
    struct Case {
        CPParticleRenderObject* type;
        float lifetime, age;
        DWORD colour;
        float halfEdge;
    };
    const Case cases[] = {
        {faded, 1, 0, 0x00FFFFFF, 1},    // age 0: fully transparent
        {faded, 1, 0.5f, 0x80FFFFFF, 1}, // half life: alpha 128
        {faded, 1, 1, 0x00FFFFFF, 1},    // past its life
        {faded, 0, 0, 0x00FFFFFF, 1},    // no life at all
        {keyed, 1, 0, 0xFFFF0000, 1},    // first key
        {keyed, 1, 0.5f, 0x7F7F7F00, 2}, // halfway between the keys
        {keyed, 1, 2, 0x0000FF00, 3},    // past the end: last key
        {keyed, 0, 0, 0x0000FF00, 3},    // lifetime 0: the last key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lifetime << " " << c.age);
        c.type->ClearParticles();
        ParticleDesc desc = Desc(c.type == faded ? "fade" : "keys", c.lifetime);
        desc.fade = true;
        desc.size = 1;
        manager.Spawn(desc);
        c.type->particles[0].age = c.age;
        const FilledQuads quads = FillObject(*c.type);
        for (const MeshVertex& v : quads.vertices)
            EXPECT_EQ(v.diffuse, c.colour);
        EXPECT_FLOAT_EQ(quads.vertices[1].x - quads.vertices[0].x, 2 * c.halfEdge);
    }
}

TEST_F(ParticleLifeTest, OneKeyIsAConstantColourAndSize) {
    CPParticleRenderObject* type = AddType("one");
    type->SetKeys({{1, 0, 0, 1, 2}});
    for (float t : {-1.0f, 0.0f, 0.3f, 0.999f, 1.0f, 5.0f}) {
        const ParticleShade shade = type->InterpolateKeys(t);
        EXPECT_EQ(shade.colour, 0xFF0000FFu) << t;
        EXPECT_EQ(shade.size, 2.0f) << t;
    }
    type->SetKeys({{0, 0, 0, 0, 0}, {1, 1, 1, 1, 1}, {0, 0, 0, 0, 4}});
    // Just below 1 the index stays on the last pair of keys.
    EXPECT_NEAR(type->InterpolateKeys(0.9999999f).size, 4.0f, 1e-3f);
    EXPECT_EQ(type->InterpolateKeys(0.25f).colour, 0x7F7F7F7Fu);
}

TEST_F(ParticleLifeTest, AStreakWhoseVelocityStopsKeepsItsLastLength) {
    CPParticleRenderObject* type = AddType("streak");
    ParticleDesc desc = Desc("streak", 10);
    desc.orient = true;
    desc.size = 0.5f;
    desc.position = D3DXVECTOR3(0, 0, 5);
    desc.velocity = D3DXVECTOR3(2, 1, 2);
    desc.acceleration = D3DXVECTOR3(-2, -1, -2);
    manager.Spawn(desc);
    // Velocities (2, 1, 2), then (1, 0.5, 1), then exactly zero.
    Run(2, 0.5f);
    const Particle& p = type->particles[0];
    EXPECT_EQ(p.velocity, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(p.lastVelocity, D3DXVECTOR3(1, 0.5f, 1));
    // Length 5 x |(1, 0.5, 1)| x s, with s = 0.5 + 0.
    const FilledQuads quads = FillObject(*type);
    const D3DXVECTOR3 tail(quads.vertices[0].x, quads.vertices[0].y, quads.vertices[0].z);
    const D3DXVECTOR3 head(quads.vertices[3].x, quads.vertices[3].y, quads.vertices[3].z);
    const D3DXVECTOR3 along = head - tail;
    EXPECT_NEAR(D3DXVec3Length(&along), 3.75f, 1e-4f);
}

TEST_F(ParticleLifeTest, UnknownTypesAndClearAll) {
    CPParticleRenderObject* type = AddType("known");
    manager.Spawn(Desc("unknown", 1));
    EXPECT_TRUE(manager.liveObjects.empty());
    manager.Spawn(Desc("known", 1));
    manager.Spawn(Desc("known", 1));
    EXPECT_EQ(manager.liveObjects.size(), 1u);
    manager.ClearAll();
    EXPECT_TRUE(manager.liveObjects.empty());
    EXPECT_TRUE(type->particles.empty());
    EXPECT_FALSE(type->active);
    manager.ClearAll();
    manager.Spawn(Desc("known", 1));
    EXPECT_EQ(manager.liveObjects.size(), 1u);
}

TEST_F(ParticleLifeTest, ATypeIsFullAtTheLastParticleTheRenderBlockCanDraw) {
    CPParticleRenderObject* type = AddType("many");
    for (int i = 0; i < 16390; ++i)
        manager.Spawn(Desc("many", 1));
    EXPECT_EQ(type->particles.size(), CPParticleRenderObject::kMaxParticles);
    EXPECT_LT(type->GetVertexCount(), 65536);
}

TEST_F(ParticleLifeTest, CopiesOfRequestsAndParticlesOwnTheirChains) {
    ParticleDesc source = Desc("a", 1);
    source.chained = std::make_unique<ParticleDesc>(Desc("b", 2));
    source.chained->chained = std::make_unique<ParticleDesc>(Desc("c", 3));
    source.chained->callback = [](CPObject*, Particle&) {};
    ParticleDesc target;
    target.callback = [](CPObject*, Particle&) {};
    CopyParticleDescChain(target, source);
    EXPECT_EQ(target.typeName, "a");
    EXPECT_NE(target.callback, nullptr);
    ASSERT_TRUE(target.chained && target.chained->chained);
    EXPECT_NE(target.chained.get(), source.chained.get());
    EXPECT_EQ(target.chained->callback, nullptr);
    EXPECT_EQ(target.chained->chained->lifetime, 3.0f);

    const Particle particle = Particle::FromDesc(source);
    const Particle copy = particle; // NOLINT(performance-unnecessary-copy-initialization)
    ASSERT_TRUE(copy.chained);
    EXPECT_NE(copy.chained.get(), particle.chained.get());
    EXPECT_EQ(copy.chained->chained->typeName, "c");
}

} // namespace

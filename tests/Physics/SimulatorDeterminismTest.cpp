#include "RbTestTerrain.h"
#include "RbTestWorld.h"
#include "Support/ResultHash.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Twelve boxes of three sizes and masses, turned a little, dropped in two
// layers onto a wavy floor between four walls, and four seconds of steps:
// falls, box-box and box-terrain contacts, resting and sliding.
std::uint64_t RunFixedScene() {
    RbTestTerrain terrain;
    terrain.AddHeightfield(8, 8,
                           [](float x, float y) { return 0.3f * std::sin(0.7f * x) * std::cos(0.5f * y); });
    const float h = 8, top = 6;
    terrain.AddQuad({-h, -h, 0}, {-h, -h, top}, {h, -h, top}, {h, -h, 0});
    terrain.AddQuad({h, h, 0}, {h, h, top}, {-h, h, top}, {-h, h, 0});
    terrain.AddQuad({h, -h, 0}, {h, -h, top}, {h, h, top}, {h, h, 0});
    terrain.AddQuad({-h, h, 0}, {-h, h, top}, {-h, -h, top}, {-h, -h, 0});

    RbSizeInfo sizes;
    sizes.rigidBodiesCount = 12;
    sizes.geometriesCount = 12;
    sizes.overlapPairsCount = 200;
    RbWorldPtr world(RbMakeSceneWorld(sizes));
    terrain.Install(*world);
    std::vector<RbRigidBody*> bodies;
    for (int i = 0; i < 12; ++i) {
        const RbVector size(0.6f + 0.3f * static_cast<float>(i % 3), 0.8f,
                            0.5f + 0.2f * static_cast<float>(i % 2));
        const RbVector position(-3.0f + 1.7f * static_cast<float>(i % 4),
                                -1.5f + 1.4f * static_cast<float>(i / 4 % 3),
                                1.5f + 1.2f * static_cast<float>(i / 6));
        RbRigidBody* body = RbAddBox(*world, size, 1.0f + static_cast<float>(i % 3), position);
        // Turned by 0.15 i radians about one tilted axis.
        const float half = 0.075f * static_cast<float>(i);
        const RbVector axis = RbVector(0.3f, 0.2f, 1.0f) * (1.0f / std::sqrt(1.13f));
        body->SetRotation(RbVector(axis.x * std::sin(half), axis.y * std::sin(half), axis.z * std::sin(half),
                                   std::cos(half)));
        bodies.push_back(body);
    }
    // Every half second, while the boxes fall, collide and come to rest.
    ResultHash hash;
    for (int step = 1; step <= 240; ++step) {
        world->Advance(1.0f / 60, 1, nullptr);
        if (step % 30 != 0)
            continue;
        for (const RbRigidBody* body : bodies) {
            hash.Add(body->transform);
            hash.Add(body->GetVelocity());
            hash.Add(body->GetAngularMomentum());
        }
    }
    for (const RbRigidBody* body : bodies) {
        const RbVector p = body->GetPosition();
        EXPECT_TRUE(std::abs(p.x) < h && std::abs(p.y) < h && p.z > -0.5f && p.z < 1.0f)
            << "a box left the arena";
    }
    return hash.Value();
}

} // namespace

// The simulator's results to the bit. A compiler flag (fused multiply-adds,
// fast math) or a refactor that reorders arithmetic changes this value: if
// the change is meant, check the physics tests and benchmarks, then take the
// new value.
TEST(SimulatorDeterminism, AFixedSceneGivesTheSameBitsInEveryBuild) {
    EXPECT_EQ(RunFixedScene(), RunFixedScene()) << "two runs in one process differ";
    EXPECT_EQ(RunFixedScene(), 0xb7136797951ecf71ULL);
}

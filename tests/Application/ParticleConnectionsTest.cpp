#include "Application/GameObjectConnections.h"
#include "Core/LiveObjects.h"
#include "Game/GameObjectServices.h"
#include "Game/PGameObject.h"
#include "Particles/PParticlesManager.h"
#include "Particles/ParticleServices.h"
#include "Physics/PhysicsServices.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ParticleConnectionsTest : public ::testing::Test {
protected:
    ParticleConnectionsTest() { ConnectGameObjectsToParticles(); }
    ~ParticleConnectionsTest() override {
        g_GameObjectServices = GameObjectServices();
        g_ParticleServices = ParticleServices();
        g_PhysicsServices = PhysicsServices();
    }
    CPParticlesManager manager;
};

TEST_F(ParticleConnectionsTest, ThePhysicsSparksBecomeParticles) {
    auto& slot = manager.particleTypes["iskra"];
    slot = std::make_unique<CPParticleRenderObject>();
    SparkParticle spark;
    spark.typeName = "iskra";
    spark.position = D3DXVECTOR3(1, 2, 3);
    spark.velocity = D3DXVECTOR3(4, 5, 6);
    spark.acceleration = D3DXVECTOR3(0, 0, -9);
    spark.firstScalar = 0.25f;
    spark.secondScalar = -0.5f;
    spark.lifetime = 0.75f;
    spark.flags[0] = 0;
    spark.flags[1] = 1;
    g_PhysicsServices.spawnParticle(spark);
    ASSERT_EQ(slot->particles.size(), 1u);
    const Particle& p = slot->particles[0];
    EXPECT_EQ(p.position, spark.position);
    EXPECT_EQ(p.velocity, spark.velocity);
    EXPECT_EQ(p.acceleration, spark.acceleration);
    EXPECT_EQ(p.size, 0.25f);
    EXPECT_EQ(p.growth, -0.5f);
    EXPECT_EQ(p.lifetime, 0.75f);
    EXPECT_FALSE(p.fade);
    EXPECT_TRUE(p.orient);
}

TEST_F(ParticleConnectionsTest, FlamesAndParticleSystemsOfGameObjects) {
    EXPECT_FALSE(g_GameObjectServices.cloneFlame(0));
    manager.systemDefs["up"].typeName = "fire";
    manager.flames.push_back(std::make_unique<CPParticleSystem>(nullptr, std::vector<std::string>{"up"}));
    // The application keeps the emitters it makes for game objects.
    const CPRefPtr<CPTask> flame = g_GameObjectServices.cloneFlame(0);
    ASSERT_TRUE(flame);
    EXPECT_EQ(static_cast<CPParticleSystem*>(flame.Get())->definitions.size(), 1u);

    CPGameObject owner("torch");
    auto* system =
        dynamic_cast<CPParticleSystem*>(g_GameObjectServices.createParticleSystem(&owner, {"up"}, 0.25f));
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->interval, 0.25f);
    EXPECT_EQ(system->owner, &owner);
    owner.SetPosition({7, 8, 9});
    owner.UpdateHierarchy();
    const D3DXMATRIX world = g_ParticleServices.worldMatrix(&owner);
    EXPECT_EQ(D3DXVECTOR3(world._41, world._42, world._43), D3DXVECTOR3(7, 8, 9));
}

} // namespace

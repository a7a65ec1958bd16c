#pragma once

#include "PhysicsEngine.h"

#include <btBulletDynamicsCommon.h>

#include <memory>

// Bullet's btDiscreteDynamicsWorld (single-threaded) with its default
// collision configuration, dynamic AABB tree broad phase and sequential
// impulse solver; the terrain is one static btBvhTriangleMeshShape.
class BulletEngine : public PhysicsEngine {
public:
    explicit BulletEngine(SleepRule rule) : sleep(rule) {}
    const char* Name() const override {
        return sleep == SleepRule::Matched ? "Bullet, matched sleep" : "Bullet";
    }
    void PrintSettings() const override;
    void Load(const PhysicsScene& scene) override;
    void Step() override;
    std::vector<RbVector> Positions() const override;

private:
    void Clear();
    btRigidBody* AddBody(btCollisionShape* shape, float mass, const RbVector& position);
    void PushCar(btRigidBody& car);

    // Bullet's time to sleep is one setting for the whole program: each
    // engine sets its own before each step.
    btScalar DeactivationTime() const;

    SleepRule sleep;
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    // Declared before the world, which removes them from the broad phase when
    // it is destroyed.
    std::unique_ptr<btTriangleMesh> mesh;
    std::vector<std::unique_ptr<btCollisionShape>> shapes;
    std::vector<std::unique_ptr<btRigidBody>> bodies; // the terrain, the boxes, then the cars
    std::unique_ptr<btDiscreteDynamicsWorld> world;
    std::size_t firstBox = 0;
    std::size_t firstCar = 0;
};

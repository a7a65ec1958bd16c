#pragma once

// A benchmark scene loaded into our simulator: the terrain served through the
// test helper's terrain query or the game's grid, the boxes, and the cars with
// a spring controller on their line sensors. Allocations are counted through
// the world's allocator (the simulator allocates nothing else).

#include "../tests/Physics/RbGridTerrain.h"
#include "Physics/Simulator/RbControllerCallback.h"
#include "PhysicsScenes.h"

#include <cstdlib>
#include <functional>
#include <stdexcept>

struct RbCountingAllocator : RbAllocator {
    long calls = 0;
    void* Allocate(std::size_t size, int) override {
        ++calls;
        return std::malloc(size);
    }
    void Free(void* block) override { std::free(block); }
};

// Applies each touching sensor's wheel force at its hit point.
struct RbSceneSprings : RbControllerCallback {
    void UpdateController(RbController* controller, float) override {
        RbRigidBody* body = controller->GetBody();
        RbVector force, torque;
        for (RbSensor* s = body->sensors.head; s; s = s->poolNext) {
            if (s->GetDetectDepth() <= 0)
                continue;
            RbVector lever = s->GetDetectContactPoint() - body->GetPosition();
            RbVector f = SceneCar::WheelForce(s->GetDetectNormal(), s->GetDetectDepth(),
                                              RbRotate(s->GetLineUnitVector(), body->transform),
                                              body->GetVelocityAtPoint(lever), body->transform.row[1]);
            force += f;
            torque += RbCross(lever, f);
        }
        controller->SetControllerForce(force);
        controller->SetControllerTorque(torque);
    }
};

// Gives a car's chassis its wheels and controller; by default the scene's
// spring sensors.
using RbCarFitter = std::function<void(RbRigidBody& chassis)>;

// Which terrain query serves the scene's triangles.
enum class SceneQuery { Helper, GameGrid };

struct RbSceneWorld {
    explicit RbSceneWorld(const PhysicsScene& scene, SceneQuery query = SceneQuery::Helper,
                          const RbCarFitter& fitCar = {})
        : terrain(scene.terrain) {
        int count = static_cast<int>(scene.boxes.size() + scene.cars.size());
        RbSizeInfo sizes;
        sizes.rigidBodiesCount = count;
        sizes.geometriesCount = count;
        sizes.animatedBodiesCount = 1;
        sizes.rigidParticleCount = 0;
        sizes.sensorsCount = 4 * count;
        sizes.controllersCount = count;
        sizes.overlapPairsCount = 20 * count;
        RbVector gravity(0, 0, SceneGravity);
        world = RbSimulator::Create(sizes, &allocator, &gravity);
        world->SetMaterial(0, SceneFriction, SceneRestitution);
        world->SetMaterial(1, SceneFriction, SceneRestitution);
        if (query == SceneQuery::Helper) {
            terrain.Install(*world);
        } else {
            if (!grid.Build(terrain))
                throw std::runtime_error("the game's grid cannot take the terrain of " + scene.name);
            grid.Install(*world);
        }
        for (const SceneBox& box : scene.boxes)
            bodies.push_back(RbAddBox(*world, box.size, box.mass, box.position));
        for (const RbVector& centre : scene.cars) {
            RbRigidBody* car = RbAddBox(*world, SceneCar::Size, SceneCar::Mass, centre);
            if (fitCar) {
                fitCar(*car);
            } else {
                for (const RbVector& wheel : SceneCar::Wheels)
                    car->AddSensor()->SetLineSensor(wheel, SceneCar::Ray);
                car->AddController(&springs, 0);
            }
            car->UpdateBoundingInfo();
            bodies.push_back(car);
        }
    }
    ~RbSceneWorld() { RbSimulator::Destroy(world); }
    RbSceneWorld(const RbSceneWorld&) = delete;
    RbSceneWorld& operator=(const RbSceneWorld&) = delete;

    void Step() { world->Advance(SceneTimeStep, 1, nullptr); }

    // The candidates a terrain query returned on average.
    double CandidatesPerQuery() const {
        long queries = terrain.queries + grid.queries;
        return queries ? static_cast<double>(terrain.returned + grid.returned) / static_cast<double>(queries)
                       : 0.0;
    }

    RbCountingAllocator allocator;
    RbSceneSprings springs;
    RbTestTerrain terrain;
    RbGridTerrain grid;
    RbSimulator* world;
    std::vector<RbRigidBody*> bodies;
};

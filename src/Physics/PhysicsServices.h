#pragma once

#include "Physics/PPhysicData.h"
#include "Platform/D3DX9Math.h"

#include <functional>
#include <string>

class RbSimulator;

// One spark as the physics asks the particle system for it.
struct SparkParticle {
    std::string typeName;
    D3DXVECTOR3 position;
    D3DXVECTOR3 velocity;
    D3DXVECTOR3 acceleration;
    float firstScalar = 0.0f;
    float secondScalar = 0.0f;
    float lifetime = 0.0f;
    unsigned char flags[2] = {0, 0};
};

// What the physics task needs of the subsystems above it: the game objects
// it moves (bodies carry them as user data), their visuals and cars, and the
// particle system. Every entry starts as a default that does the least; the
// game connects the real ones.
struct PhysicsServices {
    // The object's physics description, or null.
    std::function<CPPhysicData*(CPObject* object)> physicData = [](CPObject*) -> CPPhysicData* {
        return nullptr;
    };
    std::function<D3DXVECTOR3(CPObject* object)> position = [](CPObject*) { return D3DXVECTOR3(); };
    std::function<D3DXQUATERNION(CPObject* object)> orientation = [](CPObject*) {
        return D3DXQUATERNION(0, 0, 0, 1);
    };
    // Moves and turns the object (and with it its body), then updates its
    // hierarchy.
    std::function<void(CPObject* object, const D3DXVECTOR3& position, const D3DXQUATERNION& orientation)>
        setPose = [](CPObject*, const D3DXVECTOR3&, const D3DXQUATERNION&) {};
    // Dents the object's mesh at the point along the direction; nothing for
    // an object without a mesh.
    std::function<void(CPObject* object, const D3DXVECTOR3& point, const D3DXVECTOR3& direction,
                       float amount)>
        deformParts = [](CPObject*, const D3DXVECTOR3&, const D3DXVECTOR3&, float) {};
    // Gives the object its car in the world. The default only sets up the
    // body, as the car's own set-up would first.
    std::function<void(CPObject* object, CPPhysicData* description, RbSimulator* world, bool player)>
        createCar =
            [](CPObject*, CPPhysicData* description, RbSimulator*, bool) { description->SetupRigidBody(); };
    // Tells the object that it touched something in this step.
    std::function<void(CPObject* object)> markCollided = [](CPObject*) {};
    // Whether the object is the level's player object.
    std::function<bool(CPObject* object)> isPlayer = [](CPObject*) { return false; };
    // The velocity of the object's car.
    std::function<D3DXVECTOR3(CPObject* object)> carVelocity = [](CPObject*) { return D3DXVECTOR3(); };
    // Emits one particle; the default drops it.
    std::function<void(const SparkParticle& spark)> spawnParticle = [](const SparkParticle&) {};
};

extern PhysicsServices g_PhysicsServices;

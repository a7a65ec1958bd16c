#pragma once

// The benchmark scenes, described once so that our simulator and the engines
// of the comparison program (bench/compare) get exactly the same input: the
// terrain triangles, the boxes and the sensor cars, and the world settings
// each engine is asked to match.

#include "../tests/Physics/RbTestTerrain.h"
#include "Platform/Random.h"

#include <cmath>
#include <string>
#include <vector>

inline constexpr float SceneTimeStep = 1.0f / 60;
inline constexpr float SceneGravity = -9.8f; // along z
inline constexpr float SceneFriction = 0.2f;
inline constexpr float SceneRestitution = 0.0f;

inline float SceneRandom(float low, float high) {
    return low + (high - low) * static_cast<float>(PlatRand()) / float(PLAT_RAND_MAX);
}

struct SceneBox {
    RbVector size;
    float mass;
    RbVector position;
};

// A car: a box chassis held up by four downward line sensors ("wheels"), each
// pushing with a spring-damper along the surface normal while it touches, and
// a small drive force along the chassis's forward (y) axis.
struct SceneCar {
    static constexpr float Mass = 1200;
    static constexpr float Stiffness = 60000; // N per m of sensor depth
    static constexpr float Damping = 8000;    // N per m/s along the sensor
    static constexpr float Drive = 200;       // N per touching wheel
    static inline const RbVector Size{2, 4.5f, 1};
    static inline const RbVector Ray{0, 0, -1.2f};
    static inline const RbVector Wheels[4] = {{-0.9f, -2, 0}, {-0.9f, 2, 0}, {0.9f, -2, 0}, {0.9f, 2, 0}};

    // The force of a touching wheel: depth is how far the end of the sensor
    // lies below the surface, down the sensor's unit vector in world axes and
    // pointVelocity the chassis's velocity at the hit point.
    static RbVector WheelForce(const RbVector& normal, float depth, const RbVector& down,
                               const RbVector& pointVelocity, const RbVector& forward) {
        return normal * (Stiffness * depth) - down * (Damping * RbDot(pointVelocity, down)) + forward * Drive;
    }
};

struct PhysicsScene {
    std::string name;
    RbTestTerrain terrain; // triangles wound counter-clockwise seen from the side they face
    std::vector<SceneBox> boxes;
    std::vector<RbVector> cars; // chassis centres, unrotated
    int warmUpSteps;
    int timedSteps;
};

// 200 unit boxes dropped from up to 120 m into a 16 x 16 m floor with 30 m
// walls facing inward.
inline PhysicsScene FallingBoxesScene() {
    PhysicsScene scene{"200 boxes falling into a walled arena", {}, {}, {}, 60, 600};
    scene.terrain.AddFloor(8);
    float h = 8, top = 30;
    scene.terrain.AddQuad({-h, -h, 0}, {-h, -h, top}, {h, -h, top}, {h, -h, 0});
    scene.terrain.AddQuad({h, h, 0}, {h, h, top}, {-h, h, top}, {-h, h, 0});
    scene.terrain.AddQuad({h, -h, 0}, {h, -h, top}, {h, h, top}, {h, h, 0});
    scene.terrain.AddQuad({-h, h, 0}, {-h, h, top}, {-h, -h, top}, {-h, -h, 0});
    PlatSRand(3);
    for (int i = 0; i < 200; ++i) {
        float x = SceneRandom(-6, 6), y = SceneRandom(-6, 6);
        scene.boxes.push_back({{1, 1, 1}, 1, {x, y, 2 + 0.6f * i}});
    }
    return scene;
}

// 500 unit boxes standing apart on an 80 x 80 m floor, timed after they settle.
inline PhysicsScene RestingBoxesScene() {
    PhysicsScene scene{"500 resting boxes", {}, {}, {}, 400, 600};
    scene.terrain.AddFloor(40);
    for (int i = 0; i < 500; ++i)
        scene.boxes.push_back({{1, 1, 1}, 1, {-30.0f + 2.5f * (i % 25), -30.0f + 2.5f * (i / 25), 0.5f}});
    return scene;
}

// Cars in rows of ten on a 192 x 192 m heightfield of gentle waves in 2 m
// quads, wide enough that the cars stay on it while the drive and the slopes
// carry them up to some 50 m.
inline PhysicsScene SensorCarsScene(int count) {
    PhysicsScene scene{std::to_string(count) + " sensor cars on a heightfield", {}, {}, {}, 120, 600};
    scene.terrain.AddHeightfield(
        96, 96, [](float x, float y) { return 0.5f * std::sin(0.2f * x) * std::cos(0.15f * y); });
    for (int i = 0; i < count; ++i)
        scene.cars.push_back({-45.0f + 10 * (i % 10), -40.0f + 8 * (i / 10), 2});
    return scene;
}

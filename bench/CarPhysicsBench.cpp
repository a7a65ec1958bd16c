// The game's car physics against the bare sensor cars of the physics
// benchmark: the same heightfield, the same starts and the same spring,
// damping and drive, once with the scene's own spring controller and once
// with a CPCar per chassis. Time per step (median) and the car's share of
// it; the cars should cost at most a quarter more than the scene.
#include "Core/PSettings.h"
#include "Game/PGameObject.h"
#include "Game/PhysicsConnections.h"
#include "Physics/VectorConversions.h"
#include "RbSceneWorld.h"
#include "Vehicles/PCar.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The scene car's keys: its stiffness, damping, drive and sensor length, no
// side grip.
const std::string kSceneCarXml =
    "<car><physics><geometry><wheels count=\"4\" length=\"1.2\" radius=\"0.5\"/></geometry><params>"
    "<wheels spring1=\"60000\" spring2=\"60000\" damping=\"8000\"/>"
    "<friction front=\"0\" back=\"0\"/><acceleration front=\"200\" back=\"200\"/></params></physics></car>";

// The median step of each scene size, kept for the cars' comparison.
std::map<long, double> g_SceneMedians;

// Game objects for each chassis: the car object with its wheels and CPCar.
struct GameCars {
    GameCars() {
        ConnectPhysicsToGameObjects();
        g_WeightDiv = 1;
        g_Dust = 0;
    }
    // The cars let go of their controllers while the world still stands.
    void Release() { carPhysics.clear(); }

    void Fit(RbRigidBody& chassis) {
        cars.push_back(std::make_unique<CPGameObject>("car"));
        CPGameObject& car = *cars.back();
        auto* description = new CPPhysicData(&car);
        description->SetBoxBody(SceneCar::Size.x, SceneCar::Size.z, SceneCar::Size.y, SceneCar::Mass);
        description->rigidBody = &chassis;
        car.physicData = description;
        car.description.Parse(kSceneCarXml.c_str());
        car.SetPosition(ToD3D(chassis.GetPosition()));
        // Wheels 0 and 1 in front (-y).
        const RbVector wheelPlaces[4] = {SceneCar::Wheels[0], SceneCar::Wheels[2], SceneCar::Wheels[1],
                                         SceneCar::Wheels[3]};
        for (int i = 0; i < 4; ++i) {
            wheels.push_back(std::make_unique<CPGameObject>("w" + std::to_string(i)));
            wheels.back()->SetPosition(ToD3D(wheelPlaces[i]));
            car.AddChild(wheels.back().get());
        }
        carPhysics.push_back(std::make_unique<CPCar>(&car));
        carPhysics.back()->Setup(nullptr, false);
        carPhysics.back()->SetControls(1, 0);
    }

    // Deleted in reverse: the cars' physics, the cars, then their wheels.
    std::vector<std::unique_ptr<CPGameObject>> wheels;
    std::vector<std::unique_ptr<CPGameObject>> cars;
    std::vector<std::unique_ptr<CPCar>> carPhysics;
};

// Steps the warm-up, then times each step; returns the median in µs.
double TimeSteps(benchmark::State& state, RbSceneWorld& loaded, int warmUpSteps) {
    for (int i = 0; i < warmUpSteps; ++i)
        loaded.Step();
    std::vector<double> times;
    times.reserve(100000);
    const long worldCalls = loaded.allocator.calls;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        loaded.Step();
        const auto end = std::chrono::steady_clock::now();
        if (times.size() < times.capacity())
            times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    state.counters["world allocs/step"] =
        static_cast<double>(loaded.allocator.calls - worldCalls) / static_cast<double>(state.iterations());
    std::sort(times.begin(), times.end());
    const double median = times.empty() ? 0.0 : times[times.size() / 2];
    state.counters["median us"] = median;
    return median;
}

void BM_SceneSensorCars(benchmark::State& state) {
    const PhysicsScene scene = SensorCarsScene(static_cast<int>(state.range(0)));
    RbSceneWorld loaded(scene);
    g_SceneMedians[state.range(0)] = TimeSteps(state, loaded, scene.warmUpSteps);
}
BENCHMARK(BM_SceneSensorCars)->Arg(8)->Arg(50)->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_CarPhysics(benchmark::State& state) {
    const PhysicsScene scene = SensorCarsScene(static_cast<int>(state.range(0)));
    GameCars cars;
    RbSceneWorld loaded(scene, SceneQuery::Helper, [&cars](RbRigidBody& chassis) { cars.Fit(chassis); });
    const double median = TimeSteps(state, loaded, scene.warmUpSteps);
    const auto measured = g_SceneMedians.find(state.range(0));
    if (measured != g_SceneMedians.end() && measured->second > 0.0)
        state.counters["x scene (goal <= 1.25)"] = median / measured->second;
    cars.Release();
}
BENCHMARK(BM_CarPhysics)->Arg(8)->Arg(50)->Iterations(600)->Unit(benchmark::kMillisecond);

} // namespace

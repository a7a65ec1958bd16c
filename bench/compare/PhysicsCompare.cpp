// Runs the benchmark scenes in our simulator, Bullet and ODE, one engine at a
// time on one thread, and prints the time per step side by side; then checks
// the geometry kernels against both libraries.
//
// PhysicsCompare [--scenes] [--kernels]: both parts when neither is given.

#include "BulletEngine.h"
#include "Kernels.h"
#include "OdeEngine.h"
#include "OurEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Timing {
    double median = 0, p99 = 0; // milliseconds per step
    int below = 0;              // bodies that ended below the terrain
};

Timing Run(PhysicsEngine& engine, const PhysicsScene& scene) {
    engine.Load(scene);
    for (int i = 0; i < scene.warmUpSteps; ++i)
        engine.Step();
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(scene.timedSteps));
    for (int i = 0; i < scene.timedSteps; ++i) {
        auto start = std::chrono::steady_clock::now();
        engine.Step();
        auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    Timing timing{times[times.size() / 2], times[times.size() * 99 / 100], 0};
    for (const RbVector& p : engine.Positions())
        timing.below += p.z < -2.0f; // every terrain here lies at or above z = -0.5
    return timing;
}

void CompareScenes(PhysicsEngine* const engines[3]) {
    std::printf("World: time step %.6f s, one step per call, gravity %.1f m/s^2 along z; every engine\n"
                "gets the same terrain triangles, boxes and car set-ups (bench/PhysicsScenes.h).\n\n",
                SceneTimeStep, -SceneGravity);
    for (int e = 0; e < 3; ++e) {
        engines[e]->PrintSettings();
        std::printf("\n");
    }
    const PhysicsScene scenes[] = {FallingBoxesScene(), RestingBoxesScene(), SensorCarsScene(8),
                                   SensorCarsScene(50)};
    std::printf("Time per step in ms, median / 99th percentile over the timed steps after the warm-up\n"
                "(\"below\": bodies that ended below the terrain); ratios are of the medians.\n\n");
    std::printf("%-52s %-24s %-24s %-24s %-12s %-12s\n", "scene (warm-up + timed steps)", "ours", "Bullet",
                "ODE", "ours/Bullet", "ours/ODE");
    for (const PhysicsScene& scene : scenes) {
        Timing t[3];
        for (int e = 0; e < 3; ++e)
            t[e] = Run(*engines[e], scene);
        char label[128];
        std::snprintf(label, sizeof label, "%s (%d + %d)", scene.name.c_str(), scene.warmUpSteps,
                      scene.timedSteps);
        std::printf("%-52s", label);
        for (const Timing& timing : t) {
            char cell[32];
            std::snprintf(cell, sizeof cell, "%.3f / %.3f below %d", timing.median, timing.p99, timing.below);
            std::printf(" %-24s", cell);
        }
        std::printf(" %-12.2f %-12.2f\n", t[0].median / t[1].median, t[0].median / t[2].median);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    bool scenes = argc == 1, kernels = argc == 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scenes") == 0) {
            scenes = true;
        } else if (std::strcmp(argv[i], "--kernels") == 0) {
            kernels = true;
        } else {
            std::fprintf(stderr, "usage: %s [--scenes] [--kernels]\n", argv[0]);
            return 2;
        }
    }
    if (scenes) {
        OurEngine ours;
        BulletEngine bullet;
        OdeEngine ode;
        PhysicsEngine* const engines[3] = {&ours, &bullet, &ode};
        CompareScenes(engines);
    }
    if (kernels)
        PrintKernelAgreement(500);
    return 0;
}

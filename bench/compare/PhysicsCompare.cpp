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

// The engines of the comparison, one row each per scene.
struct Engines {
    OurEngine helper{SceneQuery::Helper};
    OurEngine grid{SceneQuery::GameGrid};
    BulletEngine bullet{SleepRule::Defaults};
    BulletEngine bulletMatched{SleepRule::Matched};
    OdeEngine ode{SleepRule::Defaults};
    OdeEngine odeMatched{SleepRule::Matched};
    PhysicsEngine* const all[6] = {&helper, &grid, &bullet, &bulletMatched, &ode, &odeMatched};
};

void PrintRatios(const Timing (&t)[6]) {
    const char* ours[2] = {"helper", "grid"};
    std::printf("  ratios of the medians:");
    for (int o = 0; o < 2; ++o)
        std::printf("  %s/Bullet %.2f (matched %.2f)  %s/ODE %.2f (matched %.2f)", ours[o],
                    t[o].median / t[2].median, t[o].median / t[3].median, ours[o], t[o].median / t[4].median,
                    t[o].median / t[5].median);
    std::printf("\n\n");
}

void CompareScene(Engines& engines, const PhysicsScene& scene) {
    std::printf("%s (%d + %d steps)\n", scene.name.c_str(), scene.warmUpSteps, scene.timedSteps);
    Timing t[6];
    for (int e = 0; e < 6; ++e) {
        t[e] = Run(*engines.all[e], scene);
        std::printf("  %-24s %8.3f / %8.3f  below %d", engines.all[e]->Name(), t[e].median, t[e].p99,
                    t[e].below);
        if (e < 2)
            std::printf("  %.1f candidates per terrain query",
                        (e == 0 ? engines.helper : engines.grid).CandidatesPerQuery());
        std::printf("\n");
    }
    PrintRatios(t);
}

void CompareScenes(Engines& engines) {
    std::printf("World: time step %.6f s, one step per call, gravity %.1f m/s^2 along z; every engine\n"
                "gets the same terrain triangles, boxes and car set-ups (bench/PhysicsScenes.h).\n\n",
                SceneTimeStep, -SceneGravity);
    for (PhysicsEngine* engine : engines.all) {
        engine->PrintSettings();
        std::printf("\n");
    }
    std::printf("Time per step in ms, median / 99th percentile over the timed steps after the warm-up\n"
                "(\"below\": bodies that ended below the terrain); ours runs each scene once on the test\n"
                "helper's terrain query and once on the game's own grid, the libraries with their own sleep\n"
                "defaults and with sleep matched to ours.\n\n");
    for (const PhysicsScene& scene :
         {FallingBoxesScene(), RestingBoxesScene(), SensorCarsScene(8), SensorCarsScene(50)})
        CompareScene(engines, scene);
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
        Engines engines;
        CompareScenes(engines);
    }
    if (kernels)
        PrintKernelAgreement(500);
    return 0;
}

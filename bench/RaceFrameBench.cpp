// The engine's processor time per frame in a headless race of the demo game:
// the intro skipped, the race on level1 (the player's car and three computer
// cars) started from the menu, the player's car driven by the autodriver,
// the graphics device recording instead of drawing, a fixed frame time of
// 1/60 s. Every task's update is timed; the 2,000 frames after the start of
// the race give the median and the 99th percentile of the whole frame and of
// each subsystem (physics, computer drivers, scripts, render submission,
// particles, sound, the rest). Also the time from the start of the program
// to the first frame of the menu. Targets: a frame at most 2 ms median on
// one core, start to menu at most 0.5 s.
#include "Application/PApplication.h"
#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Platform/Win32Window.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRaceFrames = 2000;
// The race starts (countdown over) by this frame.
constexpr int kRaceStart = 300;

enum Subsystem { Physics, Drivers, Scripts, Render, Particles, Sound, Rest, kSubsystems };
constexpr std::array<const char*, kSubsystems> kNames = {"physics",   "drivers", "script", "render",
                                                         "particles", "sound",   "rest"};

Subsystem SubsystemOf(const std::string& className) {
    if (className == "CPPhysics")
        return Physics;
    if (className == "AI_Task")
        return Drivers;
    if (className.rfind("CPLuaScript", 0) == 0)
        return Scripts;
    if (className == "CPRender")
        return Render;
    if (className.find("Particle") != std::string::npos)
        return Particles;
    if (className == "CPMusic" || className.find("Sound") != std::string::npos)
        return Sound;
    return Rest;
}

// Processor time of each frame, in microseconds, by subsystem.
using FrameTimes = std::array<double, kSubsystems + 1>;

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// A game folder with the built demo data, the bindings, the race override
// and the input; the working directory while it lives.
class RaceFolder {
public:
    RaceFolder() : previous(std::filesystem::current_path()) {
        root = std::filesystem::temp_directory_path() / "kv-race-frame-bench";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        std::filesystem::copy(KV_BUILD_DATA, root / "Data", std::filesystem::copy_options::recursive);
        std::filesystem::copy_file(KV_ACTIONS, root / "Actions.cfg");
        std::ofstream(root / "demo_test.lua") << "Demo.laps = 9 Demo.levelTime = 900\n";
        std::ofstream(root / "input.txt")
            << "1 Esc down\n2 Esc up\n30 Enter down\n31 Enter up\n40 autodrive on\n";
        std::filesystem::current_path(root);
    }
    ~RaceFolder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
    RaceFolder(const RaceFolder&) = delete;
    RaceFolder& operator=(const RaceFolder&) = delete;

private:
    std::filesystem::path previous;
    std::filesystem::path root;
};

void BM_HeadlessRace(benchmark::State& state) {
    for (auto _ : state) {
        RaceFolder folder;
        GetLog().OpenFile("log.txt");
        std::map<int, FrameTimes> frames;
        double menuSeconds = -1;
        const Clock::time_point start = Clock::now();
        CPTaskManager::SetTaskTimer([&](const CPTask& task, std::chrono::nanoseconds time) {
            const std::string name = task.GetClassName();
            if (menuSeconds < 0 && name == "CPLuaScript-menu")
                menuSeconds = std::chrono::duration<double>(Clock::now() - start).count();
            const double micro = std::chrono::duration<double, std::micro>(time).count();
            FrameTimes& frame = frames[g_FrameCounter];
            frame[SubsystemOf(name)] += micro;
            frame[kSubsystems] += micro;
        });
        SPRunOptions options;
        options.launcherResult = LAUNCH_WINDOWED;
        options.frames = kRaceStart + kRaceFrames;
        options.inputFile = "input.txt";
        options.frameTime = 1.0 / 60;
        options.headless = true;
        const int status = ApplicationMain(nullptr, SW_SHOWNORMAL, options);
        CPTaskManager::SetTaskTimer({});
        if (status != 0) {
            state.SkipWithError("the game did not run");
            return;
        }
        std::array<std::vector<double>, kSubsystems + 1> series;
        for (const auto& [frame, times] : frames)
            if (frame > kRaceStart && frame <= kRaceStart + kRaceFrames)
                for (int i = 0; i <= kSubsystems; ++i)
                    series[i].push_back(times[i]);
        std::printf("%-10s %12s %12s   (microseconds per frame, %zu race frames)\n", "", "median", "99th pct",
                    series[kSubsystems].size());
        for (int i = 0; i <= kSubsystems; ++i) {
            const char* name = i == kSubsystems ? "frame" : kNames[i];
            const double median = Percentile(series[i], 0.5);
            std::printf("%-10s %12.1f %12.1f\n", name, median, Percentile(series[i], 0.99));
            state.counters[std::string(name) + "_median_us"] = median;
        }
        state.counters["frame_p99_us"] = Percentile(series[kSubsystems], 0.99);
        state.counters["start_to_menu_s"] = menuSeconds;
        std::printf("start to the first menu frame: %.3f s\n", menuSeconds);
    }
}

BENCHMARK(BM_HeadlessRace)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

// What a race of the demo game costs the engine per frame: the intro skipped,
// the race on level1 (the player's car and three computer cars) started from
// the menu, the player's car driven by the autodriver, a fixed frame time of
// 1/60 s. Two runs: on the recording device (headless, no pixels) and on the
// OpenGL device (SDL's offscreen driver, 640 x 480). For each, the main
// thread's processor time per frame (median and 99th percentile, whole and
// per subsystem) and the heap blocks allocated per frame through operator
// new on the main thread, after the race has run for a while; also the time
// from the start of the program to the first menu frame and from the menu to
// the race's first frame. The recording device keeps every draw, so it
// allocates: its run is counted apart. Targets: a frame at most 2 ms median
// on one core, no allocation per frame on the OpenGL device, menu to race at
// most 1 s. Exec to the first frame shown and the frame rate a player sees
// are measured on the real executable by bench/startup.sh and
// bench/race-fps.sh.
#include "Application/PApplication.h"
#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Game/PLevel.h"
#include "Platform/Win32Window.h"
#include "Support/AllocationCounter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The Enter that starts the race goes down on this frame.
constexpr int kEnterFrame = 30;

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

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// One frame: processor time and allocations by subsystem, the whole last.
struct FrameRecord {
    std::array<double, kSubsystems + 1> micros{};
    std::array<long, kSubsystems + 1> allocations{};
    Clock::time_point end;
    bool race = false;
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
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
        std::ofstream(root / "input.txt") << "1 Esc down\n2 Esc up\n"
                                          << kEnterFrame << " Enter down\n"
                                          << kEnterFrame + 1 << " Enter up\n40 autodrive on\n";
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

// Runs the game; every task's update is charged, with the processor time
// and the allocations since the one before, to its subsystem and frame.
class RaceRecorder {
public:
    explicit RaceRecorder(int frames) : records(static_cast<std::size_t>(frames) + 2) {}

    bool Run(bool headless, int frames) {
        RaceFolder folder;
        GetLog().OpenFile("log.txt");
        start = Clock::now();
        lastCpu = ThreadCpuMicroseconds();
        CPTaskManager::SetTaskTimer([this](const CPTask& task, std::chrono::nanoseconds) { Charge(task); });
        SPRunOptions options;
        options.launcherResult = LAUNCH_WINDOWED;
        options.frames = frames;
        options.inputFile = "input.txt";
        options.frameTime = 1.0 / 60;
        options.headless = headless;
        CountAllocations(true);
        const int status = ApplicationMain(nullptr, SW_SHOWNORMAL, options);
        CountAllocations(false);
        CPTaskManager::SetTaskTimer({});
        return status == 0;
    }

    // Frames from `first` to the end of the run: the race frames only.
    std::vector<const FrameRecord*> RaceFrames(int first) const {
        std::vector<const FrameRecord*> frames;
        for (std::size_t i = static_cast<std::size_t>(first); i < records.size(); ++i)
            if (records[i].race)
                frames.push_back(&records[i]);
        return frames;
    }

    double StartToMenuSeconds() const { return menuSeconds; }

    // From the end of the last frame before Enter to the end of the first
    // frame with a level (the one that loads it).
    double MenuToRaceSeconds() const {
        for (std::size_t i = kEnterFrame; i < records.size(); ++i)
            if (records[i].race)
                return std::chrono::duration<double>(records[i].end - records[kEnterFrame - 1].end).count();
        return -1;
    }

private:
    void Charge(const CPTask& task) {
        const double cpu = ThreadCpuMicroseconds();
        const long allocations = AllocationCount();
        CountAllocations(false);
        const auto frame = static_cast<std::size_t>(g_FrameCounter);
        if (frame < records.size()) {
            const std::string name = task.GetClassName();
            FrameRecord& record = records[frame];
            const Subsystem subsystem = SubsystemOf(name);
            record.micros[subsystem] += cpu - lastCpu;
            record.micros[kSubsystems] += cpu - lastCpu;
            record.allocations[subsystem] += allocations - lastAllocations;
            record.allocations[kSubsystems] += allocations - lastAllocations;
            record.end = Clock::now();
            record.race = record.race || g_Level != nullptr;
            if (menuSeconds < 0 && name == "CPLuaScript-menu")
                menuSeconds = std::chrono::duration<double>(record.end - start).count();
        }
        CountAllocations(true);
        lastAllocations = 0;
        lastCpu = ThreadCpuMicroseconds();
    }

    std::vector<FrameRecord> records;
    Clock::time_point start;
    double lastCpu = 0;
    long lastAllocations = 0;
    double menuSeconds = -1;
};

// Prints and reports the race frames from `skip` frames after the race's
// first frame on.
void Report(benchmark::State& state, const RaceRecorder& recorder, int skip) {
    const auto frames = recorder.RaceFrames(0);
    if (frames.size() <= static_cast<std::size_t>(skip)) {
        state.SkipWithError("the race did not start");
        return;
    }
    std::array<std::vector<double>, kSubsystems + 1> cpu;
    std::array<std::vector<double>, kSubsystems + 1> allocations;
    for (std::size_t f = static_cast<std::size_t>(skip); f < frames.size(); ++f)
        for (int i = 0; i <= kSubsystems; ++i) {
            cpu[i].push_back(frames[f]->micros[i]);
            allocations[i].push_back(static_cast<double>(frames[f]->allocations[i]));
        }
    std::printf("%-10s %10s %10s %12s %12s   (main thread, per frame, %zu race frames)\n", "", "cpu med",
                "cpu p99", "allocs med", "allocs max", cpu[kSubsystems].size());
    for (int i = 0; i <= kSubsystems; ++i) {
        const char* name = i == kSubsystems ? "frame" : kNames[i];
        const double median = Percentile(cpu[i], 0.5);
        std::printf("%-10s %8.1fus %8.1fus %12.0f %12.0f\n", name, median, Percentile(cpu[i], 0.99),
                    Percentile(allocations[i], 0.5), Percentile(allocations[i], 1.0));
        state.counters[std::string(name) + "_cpu_median_us"] = median;
    }
    state.counters["frame_cpu_p99_us"] = Percentile(cpu[kSubsystems], 0.99);
    state.counters["allocs_per_frame_median"] = Percentile(allocations[kSubsystems], 0.5);
    state.counters["allocs_per_frame_max"] = Percentile(allocations[kSubsystems], 1.0);
    state.counters["start_to_menu_s"] = recorder.StartToMenuSeconds();
    state.counters["menu_to_race_s"] = recorder.MenuToRaceSeconds();
    std::printf("start to the first menu frame: %.3f s; menu to the race's first frame: %.3f s\n",
                recorder.StartToMenuSeconds(), recorder.MenuToRaceSeconds());
}

void RunRace(benchmark::State& state, bool headless, int frames, int skip) {
    for (auto _ : state) {
        RaceRecorder recorder(frames);
        if (!recorder.Run(headless, frames)) {
            state.SkipWithError("the game did not run");
            return;
        }
        Report(state, recorder, skip);
    }
}

// 2,000 race frames after a warm-up of 300.
void BM_HeadlessRace(benchmark::State& state) {
    RunRace(state, true, 2600, 300);
}

// Fewer frames: software OpenGL draws a few dozen a second.
void BM_OpenGLRace(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    RunRace(state, false, 500, 200);
}

BENCHMARK(BM_HeadlessRace)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_OpenGLRace)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

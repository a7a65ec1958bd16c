#include "Application/DialogResources.h"
#include "Application/PApplication.h"
#include "Application/PWebHost.h"
#include "Core/AppState.h"
#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Core/PFileWriter.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Game/PGameData.h"
#include "Game/PMeshManager.h"
#include "Input/NInput.h"
#include "Interface/SPFontManager.h"
#include "Particles/PParticlesManager.h"
#include "Physics/PPhysics.h"
#include "Platform/FileSystem.h"
#include "Platform/Graphics/Direct3D9.h"
#include "Platform/Recording/RecordingBackend.h"
#include "Platform/Scripted/DialogScript.h"
#include "Platform/Scripted/ScriptedInput.h"
#include "Platform/Sdl/SdlWindow.h"
#include "Platform/Sound/SoundBackend.h"
#include "Platform/Win32Shell.h"
#include "Platform/Win32Window.h"
#include "Render/PAnimationManager.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Script/PScriptManager.h"
#include "Sound/NAudio.h"
#include "Sound/PMusic.h"
#include "Vehicles/AI_Task.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Calls = std::vector<std::string>;

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Calls kSingletons = {"CPMaterialManager()",  "CPMeshManager()", "CNAudio()",
                           "CPAnimationManager()", "CPGameData()",    "CPGameData::LoadStrings",
                           "CPGameData::LoadItems"};
const Calls kSound = {"CPMusic()", "CNAudio::Init window", "CNAudio::SetListenerPosition (0, 0, 0) (0, 0, 0)",
                      "CNAudio::SetListenerOrientation (0, 0, 1) (0, -1, 0)"};
const Calls kSoundAndRender = Join({kSound, {"CPRender::Start"}});
const Calls kStandingTasks = {"CPRender::DrawLoadingScreen 10",
                              "CPRender::DrawLoadingScreen 20",
                              "CPRender::DrawLoadingScreen 45",
                              "CPParticlesManager()",
                              "CPParticlesManager::Start",
                              "CPRender::DrawLoadingScreen 60",
                              "CNInput()",
                              "AI_Task()",
                              "CPPhysics()",
                              "CNInput::Start"};
const Calls kFontsAndLoop = {"CPRender::DrawLoadingScreen 85", "SPFontManager()", "SPFontManager::LoadAll",
                             "CPRender::DrawLoadingScreen 100", "CPRender::Stop"};
const Calls kShutDownA = {"~SPFontManager()", "CNSoundCache::StopAll"};
const Calls kShutDownB = {"~CPPhysics()", "~AI_Task()", "~CPMeshManager()", "~CPGameData()",
                          "~CPAnimationManager()"};
const Calls kShutDownC = {"~CPMaterialManager()", "~CNAudio()"};

const char* const kActions = "fire;Fire;32;true\r\nleft;Steer left;LEFT;false\r\n";
const char* const kExitUrl = "http://www.kestrovar.example/bye";

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Whatever a run leaves alive on purpose (the tasks, and the singletons when
// it ends before the main window) is deleted here, kernel first.
void DeleteLeftovers() {
    delete g_TaskManager;
    delete g_Render;
    delete g_GlobalTimer;
    delete g_Music;
    delete g_ParticlesManager;
    delete g_Input;
    delete g_FontManager;
    delete g_ScriptManager;
    delete g_MaterialManager;
    delete g_MeshManager;
    delete g_Audio;
    delete g_AnimationManager;
    delete g_GameData;
    delete g_Physics;
    delete g_AITask;
    delete g_Settings;
}

// Runs the entry function in a fresh game folder on the headless backend,
// with recording stand-ins and the exit page recorded instead of opened.
class ApplicationRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        // The sound manager always finds a device, so that its shut-down
        // is seen whatever sound output the machine has.
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        oldDirectory = fs::current_path();
        folder = fs::temp_directory_path() / ("kv-app-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "Data" / "Scripts");
        fs::current_path(folder);
        WriteFile("Data/Scripts/list.dat", "main t_system main\nmenu t_interface interface\n");
        // The main script leaves a mark when the kernel first runs it.
        WriteFile("Data/Scripts/main.lua",
                  "io.open('main-ran.txt', 'w'):close() while true do Update() end\n");
        WriteFile("Data/Scripts/menu.lua", "");
        // Empty particle tables: the particle manager starts with no types.
        for (const char* table : {"particles", "spots", "particlesystems", "flames"})
            WriteFile(std::string("Data/") + table + ".dat", "");
        CPFileWriter links("Data/links.txt", true);
        const std::string text = "www.kestrovar.example/launcher\nwww.kestrovar.example/bye\n";
        links.Write(text.data(), static_cast<int>(text.size()));
        ASSERT_EQ(links.Save(), S_OK);
        PlatResetMessageQueue();
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::Recording);
        PlatSetShellRecorder(
            [this](const std::string&, const std::string& target) { opened.push_back(target); });
        SetCallRecorder([this](const std::string& call) { Record(call); });
    }
    void TearDown() override {
        SetCallRecorder({});
        PlatSetInputBackendKind(PlatInputBackendKind::Sdl);
        PlatSetShellRecorder({});
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::OpenGL);
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
        DeleteLeftovers();
        PlatResetMessageQueue();
        g_AppExiting = false;
        g_AppActive = true;
        fs::current_path(oldDirectory);
        fs::remove_all(folder);
    }

    void Record(const std::string& call) {
        ObserveManagers();
        ObserveRender();
        calls.push_back(call);
        if (call == "CPGameData::LoadStrings")
            scriptsLoaded = g_ScriptManager && g_ScriptManager->GetScript("menu");
        if (call == "~SPFontManager()")
            materialsAfterLoop = g_MaterialManager && g_TaskManager && ItemsCleared();
        if (call == "~CNAudio()")
            audioLast = !g_TaskManager && !g_Settings && !g_MaterialManager;
        if (call == "SPFontManager::LoadAll") {
            hadWindow = PlatGetFirstWindow() != nullptr;
            for (const auto& task : g_TaskManager->GetActiveTasks())
                tasks.push_back(task->GetClassName() + " " + std::to_string(task->priority));
        }
    }

    // The animation, material and mesh managers and the physics task are
    // real: their creation and deletion are seen by the next call of a
    // stand-in.
    void ObserveManagers() {
        if (!animations && g_AnimationManager)
            calls.push_back("CPAnimationManager()");
        if (animations && !g_AnimationManager)
            calls.push_back("~CPAnimationManager()");
        animations = g_AnimationManager;
        if (!materials && g_MaterialManager) {
            calls.push_back("CPMaterialManager()");
            scriptsCreatedAfterKernelAndSettings = g_TaskManager && g_Settings && g_ScriptManager;
        }
        if (materials && !g_MaterialManager)
            calls.push_back("~CPMaterialManager()");
        materials = g_MaterialManager;
        if (!meshes && g_MeshManager)
            calls.push_back("CPMeshManager()");
        if (meshes && !g_MeshManager)
            calls.push_back("~CPMeshManager()");
        meshes = g_MeshManager;
        if (!physics && g_Physics)
            calls.push_back("CPPhysics()");
        if (physics && !g_Physics)
            calls.push_back("~CPPhysics()");
        physics = g_Physics;
    }
    static bool ItemsCleared() {
        for (const auto& material : g_MaterialManager->GetMaterials())
            if (!material->items.empty())
                return false;
        return true;
    }

    // The renderer is real and draws on the recording device: its start (a
    // black frame), each loading screen (the bar's right edge gives the
    // percentage) and its stop (the device is gone) are read from what the
    // device recorded, up to the next call of a stand-in. The device is held
    // here, so that what it drew before the stop can still be read after.
    // The frames of the main loop clear only the depth buffer and are passed
    // over.
    void ObserveRender() {
        IDirect3DDevice9* device = g_Render ? g_Render->GetDevice() : nullptr;
        if (device != renderDevice.Get()) {
            if (renderDevice)
                ReadRecorded();
            if (renderDevice && !device)
                calls.push_back("CPRender::Stop");
            renderDevice = PlatComPtr<IDirect3DDevice9>(device);
            seen = 0;
        }
        if (renderDevice)
            ReadRecorded();
    }
    void ReadRecorded() {
        const auto& recorded = static_cast<PlatRecordingBackend&>(renderDevice->GetBackend()).GetCalls();
        const PlatRecordedCall* clear = nullptr;
        const PlatRecordedCall* draw = nullptr;
        for (; seen < recorded.size(); ++seen) {
            const PlatRecordedCall& entry = recorded[seen];
            if (entry.kind == PlatRecordedCall::Kind::Clear)
                clear = &entry;
            if (entry.kind == PlatRecordedCall::Kind::Draw)
                draw = &entry;
            if (entry.kind != PlatRecordedCall::Kind::Present)
                continue;
            if (clear && (clear->clearFlags & D3DCLEAR_TARGET) && !draw)
                calls.push_back("CPRender::Start");
            else if (clear && (clear->clearFlags & D3DCLEAR_TARGET))
                calls.push_back("CPRender::DrawLoadingScreen " +
                                std::to_string(std::lround(draw->VertexFloat(0, 0) * 100 / g_ScreenWidth)));
            clear = draw = nullptr;
        }
    }

    fs::path oldDirectory;
    fs::path folder;
    Calls calls;
    CPMaterialManager* materials = nullptr;
    CPAnimationManager* animations = nullptr;
    CPMeshManager* meshes = nullptr;
    CPPhysics* physics = nullptr;
    PlatComPtr<IDirect3DDevice9> renderDevice;
    std::size_t seen = 0;
    Calls tasks;
    std::vector<std::string> opened;
    bool scriptsCreatedAfterKernelAndSettings = false;
    bool scriptsLoaded = false;
    bool materialsAfterLoop = false;
    bool audioLast = false;
    bool hadWindow = false;
};

TEST_F(ApplicationRunTest, StartUpAndShutDownPaths) {
    struct Case {
        const char* name;
        int launcherResult;
        bool windowClassTaken;
        bool actionsFile;
        // The input backend refuses to open the keyboard.
        bool keyboardRefused;
        Calls expected;
        bool configWritten;
        std::optional<std::string> actionsAfter;
        // Written before the run (a back buffer too wide for any device
        // makes the renderer refuse to start).
        std::string config;
        // A failed start-up step ends the program with a failure status.
        int status = 0;
    };
    const std::vector<Case> cases = {
        {"launcher exit", LAUNCH_EXIT, false, true, false, kSingletons, false, kActions, ""},
        {"no main window", LAUNCH_WINDOWED, true, true, false, Join({kSingletons, kShutDownC}), false,
         kActions, "", 1},
        {"render refused", LAUNCH_WINDOWED, false, true, false, Join({kSingletons, kSound, kShutDownC}),
         false, kActions, "screenWidth = 9000\r\n", 1},
        {"input refused, no bindings file", LAUNCH_WINDOWED, false, false, false,
         Join({kSingletons, kSoundAndRender, kStandingTasks, kShutDownB, kShutDownC}), true, std::nullopt, "",
         1},
        {"input devices refused", LAUNCH_WINDOWED, false, true, true,
         Join({kSingletons, kSoundAndRender, kStandingTasks, kShutDownB, kShutDownC}), true, kActions, "", 1},
        {"normal run", LAUNCH_WINDOWED, false, true, false,
         Join({kSingletons, kSoundAndRender, kStandingTasks, kFontsAndLoop, kShutDownA, kShutDownB,
               kShutDownC}),
         true, kActions, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove("config.cfg");
        fs::remove("Actions.cfg");
        if (!c.config.empty())
            WriteFile("config.cfg", c.config);
        if (c.actionsFile)
            WriteFile("Actions.cfg", kActions);
        PlatGetScriptedInput().Reset();
        if (c.keyboardRefused)
            PlatGetScriptedInput().RefuseOpening(PlatInputDevice::Keyboard);
        PlatSetInputBackendKind(c.keyboardRefused ? PlatInputBackendKind::Scripted
                                                  : PlatInputBackendKind::Sdl);
        if (c.windowClassTaken) {
            WNDCLASS taken{};
            taken.lpfnWndProc = DefWindowProc;
            taken.lpszClassName = "Kestrovar";
            ASSERT_NE(RegisterClass(&taken), 0);
        }
        calls.clear();
        opened.clear();
        audioLast = false;
        materials = nullptr;
        animations = nullptr;
        meshes = nullptr;
        physics = nullptr;
        renderDevice = {};

        SPRunOptions options;
        options.launcherResult = c.launcherResult;
        options.frames = 3;
        std::string logged;
        GetLog().SetSink([&logged](std::string_view text) { logged += text; });
        EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), c.status);
        GetLog().SetSink(nullptr);
        EXPECT_EQ(logged.find("The game could not start") != std::string::npos, c.status != 0) << logged;

        EXPECT_EQ(calls, c.expected);
        EXPECT_TRUE(g_AppExiting);
        EXPECT_EQ(PlatGetFirstWindow(), nullptr);
        const std::optional<std::string> config = ReadFile("config.cfg");
        EXPECT_EQ(config.has_value() && *config != c.config, c.configWritten);
        EXPECT_EQ(ReadFile("Actions.cfg"), c.actionsAfter);
        EXPECT_EQ(opened, std::vector<std::string>{kExitUrl});
        EXPECT_TRUE(scriptsCreatedAfterKernelAndSettings);
        EXPECT_TRUE(scriptsLoaded);
        const bool kernelRan =
            std::find(c.expected.begin(), c.expected.end(), "CPRender::Stop") != c.expected.end();
        EXPECT_EQ(fs::exists("main-ran.txt"), kernelRan);
        fs::remove("main-ran.txt");
        EXPECT_EQ(audioLast, c.launcherResult != LAUNCH_EXIT);

        SetCallRecorder({});
        DeleteLeftovers();
        SetCallRecorder([this](const std::string& call) { Record(call); });
        g_AppExiting = false;
        g_ScreenWidth = 640;
    }
}

TEST_F(ApplicationRunTest, NormalRunListsTheStandingTasksAndSavesTheSettings) {
    WriteFile("Actions.cfg", "left;Steer left;LEFT;false\nfire;Fire;32;true\n");
    SPRunOptions options;
    options.launcherResult = LAUNCH_FULLSCREEN;
    options.frames = 3;
    EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 0);

    EXPECT_TRUE(hadWindow);
    EXPECT_TRUE(fs::exists("main-ran.txt"));
    EXPECT_EQ(tasks, (Calls{"CPGlobalTimer 10", "CPMusic 12", "CNInput 12", "CPLuaScript-main 20",
                            "CPParticlesManager 9000", "CPRender 10000"}));
    EXPECT_EQ(g_FrameCounter, 3);
    EXPECT_TRUE(materialsAfterLoop);
    EXPECT_TRUE(audioLast);
    // Bindings the run did not change leave the player's file as it was.
    EXPECT_EQ(ReadFile("Actions.cfg"), "left;Steer left;LEFT;false\nfire;Fire;32;true\n");
    const std::string config = ReadFile("config.cfg").value_or("");
    EXPECT_NE(config.find("fullScreen = 1\r\n"), std::string::npos);
    EXPECT_NE(config.find("screenWidth = 640\r\n"), std::string::npos);
}

// Without a main script nothing drives the game; a level or a trace that
// was asked for and fails makes the run useless to whoever asked.
TEST_F(ApplicationRunTest, NoMainScriptAMissingLevelOrAnUnwritableTraceEndTheRun) {
    struct Case {
        const char* name;
        std::function<void(SPRunOptions&)> prepare;
        const char* logged;
    };
    const Case cases[] = {
        {"no main in the list",
         [](SPRunOptions&) { WriteFile("Data/Scripts/list.dat", "menu t_interface interface\n"); },
         "there is no script \"main\""},
        {"no script list", [](SPRunOptions&) { fs::remove("Data/Scripts/list.dat"); },
         "there is no script \"main\""},
        {"main unreadable", [](SPRunOptions&) { fs::remove("Data/Scripts/main.lua"); },
         "there is no script \"main\""},
        {"missing level", [](SPRunOptions& options) { options.level = "nowhere"; },
         "the level asked for could not be loaded"},
        {"unwritable trace", [](SPRunOptions& options) { options.traceFile = "no/folder/trace.txt"; },
         "the trace file could not be created"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("Data/Scripts/list.dat", "main t_system main\nmenu t_interface interface\n");
        WriteFile("Data/Scripts/main.lua", "while true do Update() end\n");
        WriteFile("Actions.cfg", kActions);
        SPRunOptions options;
        options.launcherResult = LAUNCH_WINDOWED;
        options.frames = 3;
        c.prepare(options);
        std::string logged;
        GetLog().SetSink([&logged](std::string_view text) { logged += text; });
        EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 1);
        GetLog().SetSink(nullptr);
        EXPECT_NE(logged.find(std::string("The game could not start: ") + c.logged), std::string::npos)
            << logged;
        EXPECT_EQ(PlatGetFirstWindow(), nullptr);
        SetCallRecorder({});
        DeleteLeftovers();
        SetCallRecorder([this](const std::string& call) { Record(call); });
        g_AppExiting = false;
    }
}

// The trace is on disk while the run goes on; a main script that returns
// says so in the log.
TEST_F(ApplicationRunTest, TheTraceIsWrittenAsTheRunGoesAndAnEndedMainIsLogged) {
    WriteFile("Actions.cfg", kActions);
    WriteFile("Data/Scripts/main.lua", "SendCommandByName('menu', 'hello', 'x') Update()\n"
                                       "local trace = io.open('trace.txt', 'r')\n"
                                       "local seen = io.open('seen.txt', 'w')\n"
                                       "seen:write(trace:read('*a')) seen:close() trace:close()\n");
    SPRunOptions options;
    options.launcherResult = LAUNCH_WINDOWED;
    options.frames = 4;
    options.traceFile = "trace.txt";
    std::string logged;
    GetLog().SetSink([&logged](std::string_view text) { logged += text; });
    EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 0);
    GetLog().SetSink(nullptr);
    EXPECT_EQ(ReadFile("seen.txt"), "1 menu hello \"x\" dropped\n");
    EXPECT_EQ(ReadFile("trace.txt"), "1 menu hello \"x\" dropped\n");
    EXPECT_NE(logged.find("The script main ended"), std::string::npos) << logged;
}

TEST_F(ApplicationRunTest, RecordedInputReplacesTheDevices) {
    WriteFile("Actions.cfg", kActions);
    WriteFile("keys.txt", "2 Esc down\n");
    SPRunOptions options;
    options.launcherResult = LAUNCH_WINDOWED;
    options.frames = 3;
    options.inputFile = "keys.txt";
    EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 0);
    EXPECT_EQ(PlatGetScriptedInput().GetPass(), 3);
    EXPECT_EQ(ReadFile("Actions.cfg"), kActions);

    // A file that cannot be replayed ends the run before anything starts.
    calls.clear();
    WriteFile("keys.txt", "2 Escape down\n");
    EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 1);
    EXPECT_EQ(calls, Calls{});
    options.inputFile = "missing.txt";
    EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 1);
    EXPECT_EQ(calls, Calls{});
}

TEST_F(ApplicationRunTest, MissingExitAddressOpensNothing) {
    fs::remove("Data/links.txt");
    SPRunOptions options;
    options.launcherResult = LAUNCH_EXIT;
    EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 0);
    EXPECT_EQ(g_ExitUrl, "http://");
    EXPECT_TRUE(opened.empty());
}

TEST_F(ApplicationRunTest, WithoutAnOptionTheLauncherDecides) {
    struct Case {
        const char* name;
        std::vector<PlatDialogAction> actions;
        bool ran;
        const char* fullScreenLine;
    };
    const std::vector<Case> cases = {
        {"start windowed", {PlatClick(IDC_START_WINDOWED)}, true, "fullScreen = 0\r\n"},
        {"start fullscreen", {PlatClick(IDC_START_FULLSCREEN)}, true, "fullScreen = 1\r\n"},
        {"exit", {PlatClick(IDC_EXIT)}, false, nullptr},
        {"closed", {PlatCloseDialog()}, false, nullptr},
    };
    WriteFile("Actions.cfg", kActions);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove("config.cfg");
        PlatDialogScript script{c.actions, false, {}, {}};
        PlatSetDialogScript(&script);
        calls.clear();

        SPRunOptions options;
        options.frames = 3;
        EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 0);

        PlatSetDialogScript(nullptr);
        EXPECT_EQ(g_WebHost, nullptr);
        ASSERT_EQ(script.webBrowserCalls.size(), 4u);
        EXPECT_EQ(script.webBrowserCalls[0], "create 1026");
        EXPECT_EQ(script.webBrowserCalls[2],
                  "navigate " + PlatFileUrl((folder / "Data/launcher/index.html").string()));
        EXPECT_EQ(script.webBrowserCalls[3], "close");
        EXPECT_EQ(hadWindow, c.ran);
        const std::optional<std::string> config = ReadFile("config.cfg");
        EXPECT_EQ(config.has_value(), c.ran);
        if (c.ran) {
            EXPECT_NE(config->find(c.fullScreenLine), std::string::npos);
        }

        SetCallRecorder({});
        DeleteLeftovers();
        SetCallRecorder([this](const std::string& call) { Record(call); });
        g_AppExiting = false;
        hadWindow = false;
    }
}

// No display: the launcher cannot be shown and the run ends.
TEST_F(ApplicationRunTest, WithoutADisplayTheLauncherCannotBeShownAndTheRunEnds) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    SPRunOptions options;
    EXPECT_EQ(ApplicationMain(nullptr, SW_SHOWNORMAL, options), 1);
    EXPECT_EQ(calls, kSingletons);
    EXPECT_FALSE(fs::exists("config.cfg"));
    EXPECT_EQ(g_WebHost, nullptr);
}

} // namespace

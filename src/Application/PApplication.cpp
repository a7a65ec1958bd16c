#include "Application/PApplication.h"

#include "Application/DialogResources.h"
#include "Application/DisplayModes.h"
#include "Application/GameObjectConnections.h"
#include "Application/InputReplay.h"
#include "Application/InterfaceConnections.h"
#include "Application/LauncherDialog.h"
#include "Application/MainWindow.h"
#include "Application/PAutoDriver.h"
#include "Application/PCommandTrace.h"
#include "Application/PFixedFrameClock.h"
#include "Application/PFrameLimit.h"
#include "Application/PQuitWatchdog.h"
#include "Application/PWebHost.h"
#include "Application/SkyConnections.h"
#include "Core/AppState.h"
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PGlobalTimer.h"
#include "Core/PLineReader.h"
#include "Core/PSettings.h"
#include "Core/PStageTimer.h"
#include "Core/PTaskManager.h"
#include "Core/PTokenizer.h"
#include "Core/PackFiles.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PMeshManager.h"
#include "Game/PhysicsConnections.h"
#include "Input/NInput.h"
#include "Interface/SPFontManager.h"
#include "Particles/PParticlesManager.h"
#include "Physics/PPhysics.h"
#include "Platform/FileSystem.h"
#include "Platform/Graphics/Direct3D9.h"
#include "Platform/Input/InputBackend.h"
#include "Platform/QuitRequest.h"
#include "Platform/Win32Messages.h"
#include "Platform/Win32Shell.h"
#include "Render/PAVIPlayer1.h"
#include "Render/PAnimationManager.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Sound/NAudio.h"
#include "Sound/NSoundCache.h"
#include "Sound/PMusic.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/CarConnections.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/ShotTable.h"

#include <optional>

CPApplication* g_Application = nullptr;

namespace {

constexpr const char* kUrlScheme = "http://";
// Shipped with the game data, so the launcher shows it without a network.
constexpr const char* kLauncherPage = "Data/launcher/index.html";

// The first field of the reader's next line ("" when none is left).
std::string FirstTokenOfNextLine(CPLineReader& lines) {
    std::string line, token;
    lines.ReadLine(line);
    CPTokenizer tokens(line, " ", true);
    tokens.NextToken(token);
    return token;
}

void OpenExitPage() {
    // An address missing from data\links.txt leaves the bare scheme: there
    // is nothing to open then.
    if (g_ExitUrl.size() <= std::string(kUrlScheme).size())
        return;
    ShellExecuteA(nullptr, "open", g_ExitUrl.c_str(), "", "", SW_SHOWNORMAL);
}

} // namespace

CPApplication::CPApplication(SPRunOptions runOptions) : options(runOptions) {
    g_Application = this;
}

CPApplication::~CPApplication() {
    g_AVIPlayer = nullptr;
    g_AVIPlayer1 = nullptr;
    if (g_Application == this)
        g_Application = nullptr;
}

int CPApplication::Run(HINSTANCE instance, int showCommand) {
    CPStageTimer::SetEnabled(options.timings);
    CPStageTimer timer("start-up");
    RemoveStaleTemporaries();
    MountPackFiles();
    if (!GetLog().IsReady() || !ChooseInput())
        return StartFailed("the recorded input could not be read");
    CreateSingletons();
    if (!StartTestAids())
        return StartFailed("the trace file could not be created");
    g_ScriptManager->LoadScripts();
    if (!g_ScriptManager->GetScript("main"))
        return StartFailed(
            "there is no script \"main\" (Data\\Scripts\\list.dat or the script could not be read)");
    g_Settings->Load("config.cfg");
    g_GameData->LoadStrings();
    g_GameData->LoadItems();
    g_GameData->LoadScores();
    ReadExitAddress();
    EnumDisplayModes();
    timer.Stage("scripts, settings and game data");
    const int choice = ShowLauncher(instance);
    timer.Stage("launcher");
    if (choice == -1)
        return StartFailed("the launcher could not be shown");
    if (choice != LAUNCH_FULLSCREEN && choice != LAUNCH_WINDOWED)
        return 0;
    if (!OpenMainWindow(instance, showCommand)) {
        ShutDownC();
        return StartFailed("the main window could not be opened");
    }
    timer.Stage("main window");
    StartSound();
    timer.Stage("sound");
    g_TaskManager->hWnd = mainWindow;
    g_TaskManager->hInstance = instance;
    if (!StartRender()) {
        ShutDownC();
        return StartFailed("the renderer could not be started");
    }
    timer.Stage("renderer");
    AddStandingTasks();
    if (!StartInput()) {
        ShutDownB();
        return StartFailed("the input could not be started (key bindings in Actions.cfg, keyboard, mouse)");
    }
    StartAutoDriver();
    timer.Stage("tasks and input");
    LoadFonts();
    timer.Stage("fonts");
    // Without the level asked for, the kernel stops its tasks at once and
    // the game shuts down as after a quit.
    const bool levelStarted = StartRequestedLevel();
    timer.Stage("requested level");
    timer.End();
    if (!levelStarted)
        PostQuitMessage(1);
    RunMainLoop();
    RecordTraceEnd();
    ShutDownA();
    const bool traced = CloseTrace();
    if (!levelStarted)
        return StartFailed("the level asked for could not be loaded");
    return traced ? 0 : 1;
}

void CPApplication::RemoveStaleTemporaries() {
    for (const char* file : {"config.cfg", "Actions.cfg"})
        PlatRemoveStaleTemporaries(file);
    CPGameData::RemoveStaleSaveTemporaries();
}

int CPApplication::StartFailed(const char* step) {
    GetLog().Print(0, "The game could not start: %s\n", step);
    return 1;
}

bool CPApplication::ChooseInput() {
    if (options.inputFile.empty())
        return true;
    CPInputReplay replay;
    std::string error;
    if (!replay.Load(options.inputFile, error)) {
        GetLog().Print(0, "%s\n", error.c_str());
        return false;
    }
    PlatReplayInput(replay.GetChanges());
    autodriveSwitches = replay.GetAutodriveSwitches();
    return true;
}

bool CPApplication::StartTestAids() {
    if (options.headless)
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::Headless);
    if (options.frameTime > 0)
        fixedClock = std::make_unique<CPFixedFrameClock>(options.frameTime);
    if (options.traceFile.empty())
        return true;
    trace = std::make_unique<CPCommandTrace>(options.traceFile);
    if (!trace->Open())
        return false;
    trace->Listen();
    return true;
}

void CPApplication::StartAutoDriver() {
    if (autodriveSwitches.empty())
        return;
    // Between the frame clock and the input task, which reads the keys it sets.
    autoDriver = new CPAutoDriver(autodriveSwitches);
    autoDriver->priority = PRIORITY_TIMER + 1;
    g_TaskManager->AddTask(autoDriver);
}

// The application owns the test driver: take it off the kernel, then delete it.
void CPApplication::DeleteAutoDriver() {
    CPAutoDriver* driver = autoDriver.Get();
    autoDriver = nullptr;
    g_TaskManager->RemoveTask(driver);
    delete driver;
}

void CPApplication::RecordTraceEnd() {
    if (trace)
        trace->AddCarPositions();
}

bool CPApplication::CloseTrace() {
    return !trace || trace->Close();
}

void CPApplication::CreateSingletons() {
    new CPSettings();
    auto* kernel = new CPTaskManager();
    kernel->AddRunEndHandler([] {
        if (g_MaterialManager)
            g_MaterialManager->ClearAllItems();
    });
    kernel->AddRunEndHandler([] {
        if (g_Settings)
            g_Settings->ReleaseDators();
    });
    AddScriptFunctionTables();
    new CPScriptManager();
    ConnectPhysicsToGameObjects();
    ConnectShadowDecalsToTerrain();
    ConnectPhysicsToCars();
    ConnectGameObjectsToParticles();
    ConnectRenderToSky();
    ConnectInterfaceInput();
    new CPMaterialManager();
    new CPMeshManager();
    new CNAudio();
    new CPAnimationManager();
    new CPGameData();
    // The car the game starts with, until a script names another.
    g_GameData->playerName = options.car;
    // Both players exist for the whole run, so the video script functions
    // always find one.
    videoPlayer = std::make_unique<CPAVIPlayer>();
    videoPlayer1 = std::make_unique<CPAVIPlayer1>();
    g_AVIPlayer = videoPlayer.get();
    g_AVIPlayer1 = videoPlayer1.get();
}

void CPApplication::ReadExitAddress() {
    CPFileReader reader("data\\links.txt", true);
    reader.Load();
    CPLineReader lines(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    FirstTokenOfNextLine(lines); // the launcher page's address, not used
    g_LauncherPageUrl = PlatFileUrl(kLauncherPage);
    g_ExitUrl = kUrlScheme + FirstTokenOfNextLine(lines);
}

int CPApplication::ShowLauncher(HINSTANCE instance) {
    // The command line may press a start button for the player.
    if (options.launcherResult == LAUNCH_FULLSCREEN)
        g_FullScreen = 1;
    else if (options.launcherResult == LAUNCH_WINDOWED)
        g_FullScreen = 0;
    if (options.launcherResult != LAUNCH_DIALOG)
        return options.launcherResult;
    const auto result =
        static_cast<int>(DialogBoxIndirectParam(instance, &g_LauncherDialog, nullptr, LauncherDialogProc, 0));
    if (g_WebHost) {
        g_WebHost->CloseBrowser();
        g_WebHost->Release();
        g_WebHost = nullptr;
    }
    if (result == -1)
        GetLog().Print(0, "The launcher could not be shown; start with --windowed or --fullscreen\n");
    return result;
}

bool CPApplication::OpenMainWindow(HINSTANCE instance, int showCommand) {
    if (SUCCEEDED(CreateMainWindow(instance, showCommand, &mainWindow, g_FullScreen == 0, g_ScreenWidth,
                                   g_ScreenHeight, kGameTitle)))
        return true;
    GetLog().Print(0, "The main window could not be created\n");
    return false;
}

void CPApplication::StartSound() {
    music = new CPMusic();
    music->priority = PRIORITY_MUSIC;
    g_TaskManager->AddTask(music);
    g_Audio->Init(mainWindow);
    g_Audio->SetListenerPosition(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0));
    g_Audio->SetListenerOrientation(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, -1, 0));
}

bool CPApplication::StartRender() {
    render = new CPRender();
    render->priority = PRIORITY_RENDER;
    return g_TaskManager->AddTask(render);
}

void CPApplication::AddStandingTasks() {
    render->DrawLoadingScreen(10);
    timer = new CPGlobalTimer();
    timer->priority = PRIORITY_TIMER;
    g_TaskManager->AddTask(timer);
    render->DrawLoadingScreen(20);
    // Start-up ends earlier without it.
    mainScript = g_ScriptManager->GetScript("main");
    mainScript->priority = PRIORITY_MAIN_SCRIPT;
    g_TaskManager->AddTask(mainScript);
    render->DrawLoadingScreen(45);
    particles = new CPParticlesManager();
    particles->priority = PRIORITY_PARTICLES;
    g_TaskManager->AddTask(particles);
    render->DrawLoadingScreen(60);
}

bool CPApplication::StartInput() {
    input = new CNInput();
    input->priority = PRIORITY_INPUT;
    new AI_Task();
    new CPPhysics();
    ShotTable::Load(ShotTable::kFile, *new CPShotSpawner());
    return g_TaskManager->AddTask(input);
}

void CPApplication::LoadFonts() {
    render->DrawLoadingScreen(85);
    auto* fonts = new SPFontManager();
    fonts->LoadAll();
    render->DrawLoadingScreen(100);
}

bool CPApplication::StartRequestedLevel() {
    if (options.level.empty())
        return true;
    auto* level = new CPLevel();
    if (!level->Load(options.level, false, false)) {
        GetLog().Print(0, "Level %s could not be loaded\n", options.level.c_str());
        return false;
    }
    level->Start();
    // The race script gives the camera the car's field of view.
    level->GetCamera()->SetFov(level->views[0].fov);
    return true;
}

void CPApplication::RunMainLoop() {
    std::optional<CPFrameLimit> limit;
    if (options.frames >= 0)
        limit.emplace(options.frames);
    // A quit request must be heard even while a script keeps the frame.
    if (!PlatWatchQuitSignals())
        GetLog().Print(0, "Quit signals cannot be watched: a game stuck in a script ignores them\n");
    {
        const CPQuitWatchdog watchdog;
        g_TaskManager->Run();
    }
    PlatUnwatchQuitSignals();
    GetLog().Print(0, "Kernel ended after %d frames\n", g_FrameCounter);
}

void CPApplication::ShutDownA() {
    // The bonus list names objects of the level and models the scripts
    // loaded, which both go next.
    if (g_GameData)
        g_GameData->heldObjects.clear();
    // The race goes before the tasks and objects it uses.
    if (g_Level) {
        g_Level->Stop();
        delete g_Level;
    }
    delete g_FontManager;
    // The registry deletes its scripts: no handle to one may outlive it.
    mainScript = nullptr;
    delete g_ScriptManager;
    if (g_SoundCache)
        g_SoundCache->StopAll();
    ShutDownB();
}

void CPApplication::ShutDownB() {
    // Bindings that were never read, or not changed since, must not replace
    // the player's file; a failed write is logged by the writer.
    if (input && input->actionsLoaded && input->ActionsChanged())
        input->SaveActions("Actions.cfg");
    // A failed write is logged by the writer.
    g_Settings->Save("config.cfg");
    delete g_ShotSpawner;
    delete g_Physics;
    delete g_AITask;
    input = nullptr;
    DeleteAutoDriver();
    delete g_MeshManager;
    delete g_GameData;
    delete g_AnimationManager;
    particles = nullptr;
    mainScript = nullptr;
    timer = nullptr;
    render = nullptr;
    ShutDownC();
}

void CPApplication::ShutDownC() {
    music = nullptr;
    delete g_MaterialManager;
    delete g_TaskManager;
    delete g_Settings;
    delete g_Audio;
}

int ApplicationMain(HINSTANCE instance, int showCommand, const SPRunOptions& options) {
    auto* application = new CPApplication(options);
    const int status = application->Run(instance, showCommand);
    g_AppExiting = true;
    delete application;
    // The windows go as they would at the end of the process.
    PlatReleaseWindows();
    OpenExitPage();
    return status;
}

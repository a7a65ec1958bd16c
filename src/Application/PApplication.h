#pragma once

#include "Application/InputReplay.h"
#include "Application/RunOptions.h"
#include "Core/PRefPtr.h"
#include "Platform/Win32Types.h"

#include <memory>

class CNInput;
class CPAutoDriver;
class CPCommandTrace;
class CPFixedFrameClock;
class CPGlobalTimer;
class CPLuaScript;
class CPAVIPlayer;
class CPAVIPlayer1;
class CPMusic;
class CPParticlesManager;
class CPRender;

class CPApplication;
extern CPApplication* g_Application;

// The program from the entry call to its end: mounts the packs, creates the
// singletons, reads the settings and the exit address, takes the launcher's
// choice, opens the main window, adds the standing tasks behind a loading
// screen, runs the kernel's main loop and shuts everything down in order.
class CPApplication {
public:
    explicit CPApplication(SPRunOptions runOptions);
    virtual ~CPApplication();
    CPApplication(const CPApplication&) = delete;
    CPApplication& operator=(const CPApplication&) = delete;

    // The exit status: 0 after a run or the launcher's Exit, 1 when a
    // start-up step failed (logged, naming the step).
    int Run(HINSTANCE instance, int showCommand);

private:
    // Removes what saves killed half-way left beside the game's own files.
    void RemoveStaleTemporaries();
    // Logs that start-up failed at the step; returns the exit status 1.
    int StartFailed(const char* step);
    // The devices, or the scripted input of --input; false (logged) when
    // that file cannot be read.
    bool ChooseInput();
    // The fixed frame clock and the command trace, when asked for; false
    // when the trace file cannot be created.
    bool StartTestAids();
    // The autodriver, when the recorded input switches it on.
    void StartAutoDriver();
    void DeleteAutoDriver();
    // Ends the trace with the cars' positions (before the level goes) and
    // closes it: false when it could not be written whole.
    void RecordTraceEnd();
    bool CloseTrace();
    void CreateSingletons();
    void ReadExitAddress();
    // The launcher's result (from the command line, or the dialog);
    // starting sets the fullscreen setting.
    int ShowLauncher(HINSTANCE instance);
    bool OpenMainWindow(HINSTANCE instance, int showCommand);
    void StartSound();
    bool StartRender();
    void AddStandingTasks();
    bool StartInput();
    void LoadFonts();
    // The level of the --level option, loaded and started; false when it
    // cannot be loaded.
    bool StartRequestedLevel();
    void RunMainLoop();

    // The three ways out: after the main loop (A), after a refused input
    // task (B), after a refused render task or a failed window (C). Each
    // continues with the next.
    void ShutDownA();
    void ShutDownB();
    void ShutDownC();

    SPRunOptions options;
    std::vector<SPAutodriveSwitch> autodriveSwitches;
    std::unique_ptr<CPFixedFrameClock> fixedClock;
    std::unique_ptr<CPCommandTrace> trace;
    HWND mainWindow = nullptr;
    CPRefPtr<CPMusic> music;
    // Destroyed with the application, after the kernel that may list them.
    std::unique_ptr<CPAVIPlayer> videoPlayer;
    std::unique_ptr<CPAVIPlayer1> videoPlayer1;
    CPRefPtr<CPRender> render;
    CPRefPtr<CPGlobalTimer> timer;
    CPRefPtr<CPLuaScript> mainScript;
    CPRefPtr<CPParticlesManager> particles;
    CPRefPtr<CNInput> input;
    CPRefPtr<CPAutoDriver> autoDriver;
};

// The entry function: runs the application, marks it as exiting, deletes it,
// closes the windows and opens the exit page. Returns the run's exit status.
int ApplicationMain(HINSTANCE instance, int showCommand, const SPRunOptions& options);

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Platform/Win32Messages.h"

// Starts the kernel with the frame clock and ends it at once through the
// normal quit path: the engine's subsystems are added here as they land.
int main() {
    if (!GetLog().IsReady())
        return 1;
    GetLog().OpenFile("log.txt");

    CPTaskManager kernel;
    CPGlobalTimer timer;
    timer.priority = PRIORITY_TIMER;
    if (!kernel.AddTask(&timer))
        return 1;
    PostQuitMessage(0);
    const int result = kernel.Run();
    GetLog().Print(0, "Kernel ended after %d frames\n", g_FrameCounter);
    return result;
}

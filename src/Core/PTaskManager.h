#pragma once

#include "Core/PTask.h"
#include "Platform/Win32Types.h"

#include <chrono>
#include <functional>
#include <list>
#include <vector>

// Set while the application's window is active; tasks run only then.
extern bool g_AppActive;

class CPTaskManager;
extern CPTaskManager* g_TaskManager;

// The kernel: runs every active task once per pass in ascending priority
// (equal priorities in the order added), interleaved with at most one window
// message per pass.
class CPTaskManager {
public:
    CPTaskManager();
    virtual ~CPTaskManager();
    CPTaskManager(const CPTaskManager&) = delete;
    CPTaskManager& operator=(const CPTaskManager&) = delete;

    // Starts the task and lists it after the tasks of equal priority; false
    // for a null handle or when the task refuses to start. A task that is
    // still listed (stopped but not yet removed) is started again in place,
    // never listed twice.
    bool AddTask(const CPRefPtr<CPTask>& task);
    void SuspendTask(const CPRefPtr<CPTask>& task);
    void ResumeTask(const CPRefPtr<CPTask>& task);
    // Flags every active task for removal; suspended tasks are untouched.
    void KillAllTasks();
    // Takes the task off both lists at once, without stopping it, because
    // its owner is about to delete it. The entry a pass is running is only
    // marked and unlinked when its update returns.
    void RemoveTask(const CPTask* task);

    // The main loop; returns 0 when the active list runs empty while the
    // application is active, or after WM_QUIT once every task is stopped.
    int Run();

    // Called in order when Run's loop ends (the application registers the
    // material cache clean-up and the settings release here).
    void AddRunEndHandler(std::function<void()> handler);

    // Hears how long each task's update took in every kernel, for
    // measurements; empty for none.
    using TaskTimer = std::function<void(const CPTask& task, std::chrono::nanoseconds time)>;
    static void SetTaskTimer(TaskTimer timer) { taskTimer = std::move(timer); }

    bool IsActive(const CPTask* task) const;
    bool IsSuspended(const CPTask* task) const;
    const std::list<CPRefPtr<CPTask>>& GetActiveTasks() const { return activeTasks; }
    const std::list<CPRefPtr<CPTask>>& GetSuspendedTasks() const { return suspendedTasks; }

    HWND hWnd = nullptr;
    HINSTANCE hInstance = nullptr;

private:
    using TaskList = std::list<CPRefPtr<CPTask>>;

    void InsertByPriority(const CPRefPtr<CPTask>& task);
    // Removes the task's entries from the active list (see RemoveTask).
    void UnlinkActive(const CPTask* task);
    void RunPass();
    void UpdateTask(CPTask& task);
    // Takes and dispatches at most one message; true when it was WM_QUIT.
    bool HandleOneMessage();

    TaskList activeTasks;
    TaskList suspendedTasks;
    std::vector<std::function<void()>> runEndHandlers;
    static inline TaskTimer taskTimer;

    // The entry a pass is running; a task that suspends itself from its own
    // Update, or that the pass is stopping, is only marked, and the pass
    // unlinks it afterwards.
    TaskList::iterator passEntry;
    bool inPass = false;
    bool passEntryDetached = false;
};

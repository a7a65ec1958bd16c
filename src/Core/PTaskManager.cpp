#include "Core/PTaskManager.h"

#include "Core/PGlobalTimer.h"
#include "Platform/Win32Messages.h"

#include <algorithm>

bool g_AppActive = true;
CPTaskManager* g_TaskManager = nullptr;

namespace {

// How long an inactive loop waits for a message before its next pass.
constexpr int kInactiveWaitMilliseconds = 10;

} // namespace

CPTaskManager::CPTaskManager() {
    g_TaskManager = this;
}

CPTaskManager::~CPTaskManager() {
    if (g_TaskManager == this)
        g_TaskManager = nullptr;
}

bool CPTaskManager::AddTask(const CPRefPtr<CPTask>& task) {
    if (!task || !task->Start())
        return false;
    // A task stopped earlier in this pass is still listed until the pass
    // reaches it; starting it again keeps that one entry.
    if (!IsActive(task.Get()))
        InsertByPriority(task);
    return true;
}

void CPTaskManager::InsertByPriority(const CPRefPtr<CPTask>& task) {
    auto after = std::find_if(activeTasks.begin(), activeTasks.end(), [&](const CPRefPtr<CPTask>& listed) {
        return listed->priority > task->priority;
    });
    activeTasks.insert(after, task);
}

void CPTaskManager::SuspendTask(const CPRefPtr<CPTask>& task) {
    if (!task || !IsActive(task.Get()))
        return;
    task->OnSuspend();
    UnlinkActive(task.Get());
    suspendedTasks.push_back(task);
}

void CPTaskManager::UnlinkActive(const CPTask* task) {
    for (auto entry = activeTasks.begin(); entry != activeTasks.end();) {
        if (entry->Get() != task) {
            ++entry;
        } else if (inPass && entry == passEntry) {
            passEntryDetached = true;
            ++entry;
        } else {
            entry = activeTasks.erase(entry);
        }
    }
}

void CPTaskManager::RemoveTask(const CPTask* task) {
    if (!task)
        return;
    UnlinkActive(task);
    suspendedTasks.remove_if([&](const CPRefPtr<CPTask>& listed) { return listed.Get() == task; });
}

void CPTaskManager::ResumeTask(const CPRefPtr<CPTask>& task) {
    if (!task || !IsSuspended(task.Get()))
        return;
    task->OnResume();
    suspendedTasks.remove(task);
    InsertByPriority(task);
}

void CPTaskManager::KillAllTasks() {
    for (const CPRefPtr<CPTask>& task : activeTasks)
        task->killFlag = true;
}

bool CPTaskManager::IsActive(const CPTask* task) const {
    return std::any_of(activeTasks.begin(), activeTasks.end(), [&](const CPRefPtr<CPTask>& listed) {
        return listed.Get() == task && !(inPass && passEntryDetached && &*passEntry == &listed);
    });
}

bool CPTaskManager::IsSuspended(const CPTask* task) const {
    return std::any_of(suspendedTasks.begin(), suspendedTasks.end(),
                       [&](const CPRefPtr<CPTask>& listed) { return listed.Get() == task; });
}

void CPTaskManager::AddRunEndHandler(std::function<void()> handler) {
    runEndHandlers.push_back(std::move(handler));
}

void CPTaskManager::RunPass() {
    inPass = true;
    for (passEntry = activeTasks.begin(); passEntry != activeTasks.end();) {
        CPRefPtr<CPTask> task = *passEntry;
        if (task->killFlag) {
            // The entry counts as gone while the task stops, so a Stop that
            // adds the task again lists it anew.
            passEntryDetached = true;
            task->Stop();
            passEntry = activeTasks.erase(passEntry);
            continue;
        }
        passEntryDetached = false;
        UpdateTask(*task);
        // The next entry is read after the update, so a task the update
        // listed right behind this one still runs in this pass.
        auto next = std::next(passEntry);
        if (passEntryDetached)
            activeTasks.erase(passEntry);
        passEntry = next;
    }
    passEntryDetached = false;
    inPass = false;
}

void CPTaskManager::UpdateTask(CPTask& task) {
    if (!taskTimer) {
        task.Update();
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    task.Update();
    taskTimer(task, std::chrono::steady_clock::now() - start);
}

bool CPTaskManager::HandleOneMessage() {
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!g_AppActive)
            PlatWaitMessage(kInactiveWaitMilliseconds);
        return false;
    }
    const bool quit = msg.message == WM_QUIT;
    if (quit) {
        KillAllTasks();
        if (!activeTasks.empty())
            RunPass();
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    return quit;
}

int CPTaskManager::Run() {
    bool quit = false;
    for (;;) {
        if (quit) {
            // Tasks added while shutting down (for example by another task's
            // Stop) are killed too, so the loop always ends.
            if (activeTasks.empty())
                break;
            KillAllTasks();
            RunPass();
            continue;
        }
        quit = HandleOneMessage();
        if (quit)
            continue;
        if (g_AppActive) {
            if (activeTasks.empty())
                break;
            RunPass();
        } else {
            g_FrameTime = 0.0f;
        }
    }
    for (const auto& handler : runEndHandlers)
        handler();
    return 0;
}

#include "Core/PGlobalTimer.h"
#include "Core/PObjUpdater.h"
#include "Core/PTaskManager.h"
#include "Platform/Win32Messages.h"
#include "Platform/Win32Time.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string g_Journal;

void Note(const std::string& event) {
    if (!g_Journal.empty())
        g_Journal += ' ';
    g_Journal += event;
}

// A task that writes its name to the journal on every update and runs an
// optional action, so that one task can add, kill or suspend others.
class ScriptedTask : public CPTask {
public:
    ScriptedTask(std::string name, int taskPriority) : name(std::move(name)) { priority = taskPriority; }
    void Update() override {
        Note(name);
        if (action)
            action();
    }
    void Stop() override {
        Note("stop:" + name);
        CPTask::Stop();
        if (onStop)
            onStop();
    }
    void OnSuspend() override { Note("suspend:" + name); }
    void OnResume() override { Note("resume:" + name); }
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(ScriptedTask); }
    std::string GetClassName() const override { return "ScriptedTask"; }

    std::string name;
    std::function<void()> action;
    std::function<void()> onStop;
};

class KernelTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Journal.clear();
        g_AppActive = true;
        PlatResetMessageQueue();
    }
    void TearDown() override {
        PlatSetEventSource(nullptr);
        PlatResetMessageQueue();
        g_AppActive = true;
    }

    ScriptedTask& Make(const std::string& name, int priority) {
        tasks[name] = std::make_unique<ScriptedTask>(name, priority);
        return *tasks[name];
    }
    ScriptedTask& Add(const std::string& name, int priority) {
        ScriptedTask& task = Make(name, priority);
        EXPECT_TRUE(kernel.AddTask(&task));
        return task;
    }

    // Runs the loop for the given number of passes: a last task marks the end
    // of each pass with "|" and posts WM_QUIT after the final one.
    void RunPasses(int passes) {
        ScriptedTask& marker = Make("|", 1000000);
        marker.action = [this, passes, count = 0]() mutable {
            if (++count == passes)
                PostQuitMessage(0);
        };
        marker.onStop = [] { g_Journal.erase(g_Journal.size() - std::string(" stop:|").size()); };
        ASSERT_TRUE(kernel.AddTask(&marker));
        EXPECT_EQ(kernel.Run(), 0);
    }

    // Declared first so that the kernel lets go of its handles before the
    // tasks are deleted.
    std::map<std::string, std::unique_ptr<ScriptedTask>> tasks;
    CPTaskManager kernel;
};

struct KernelScenario {
    const char* name;
    std::function<void(KernelTest&)> setup;
    int passes;
    const char* journal;
};

void PrintTo(const KernelScenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class KernelScenarios : public KernelTest, public ::testing::WithParamInterface<KernelScenario> {
public:
    using KernelTest::Add;
    using KernelTest::kernel;
    using KernelTest::Make;
    using KernelTest::tasks;
};

TEST_P(KernelScenarios, Journal) {
    GetParam().setup(*this);
    RunPasses(GetParam().passes);
    EXPECT_EQ(g_Journal, GetParam().journal);
}

const KernelScenario kScenarios[] = {
    {"PriorityOrderWithEqualPrioritiesInAddingOrder",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         k.Add("default", PRIORITY_DEFAULT);
         k.Add("level", PRIORITY_LEVEL);
         k.Add("music", PRIORITY_MUSIC);
         k.Add("input", PRIORITY_INPUT);
         k.Add("particles", PRIORITY_PARTICLES);
         k.Add("timer", PRIORITY_TIMER);
     },
     1,
     "timer music input level default particles | stop:timer stop:music stop:input stop:level stop:default "
     "stop:particles"},
    {"KillingALaterTaskRemovesItInTheSamePass",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         ScriptedTask& a = k.Add("a", 10);
         ScriptedTask& b = k.Add("b", 20);
         a.action = [&b, once = true]() mutable {
             if (std::exchange(once, false))
                 b.killFlag = true;
         };
     },
     2, "a stop:b | a | stop:a"},
    {"ATaskAddedBehindTheRunningOneRunsInTheSamePass",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         ScriptedTask& a = k.Add("a", 10);
         k.Add("b", 20);
         ScriptedTask& c = k.Make("c", 30);
         a.action = [&k, &c] { k.kernel.AddTask(&c); };
     },
     2, "a b c | a b c | stop:a stop:b stop:c"},
    {"ATaskAddedBeforeTheRunningOneRunsFromTheNextPass",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         k.Add("a", 10);
         ScriptedTask& b = k.Add("b", 20);
         ScriptedTask& c = k.Make("c", 5);
         b.action = [&k, &c] { k.kernel.AddTask(&c); };
     },
     2, "a b | c a b | stop:c stop:a stop:b"},
    {"AResumedTaskGoesBehindItsEqualPriorities",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         ScriptedTask& a = k.Add("a", 10);
         k.Add("b", 10);
         k.Add("x", 5);
         k.kernel.SuspendTask(&a);
         k.kernel.ResumeTask(&a);
     },
     1, "suspend:a resume:a x b a | stop:x stop:b stop:a"},
    {"ATaskSuspendingItselfFinishesItsUpdateAndLeavesThePass",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         ScriptedTask& a = k.Add("a", 10);
         k.Add("b", 20);
         a.action = [&k, &a] {
             k.kernel.SuspendTask(&a);
             k.kernel.SuspendTask(&a);
         };
     },
     2, "a suspend:a b | b | stop:b"},
    {"ATaskStoppingItselfIsRemovedByTheNextPass",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         ScriptedTask& a = k.Add("a", 10);
         k.Add("b", 20);
         a.action = [&a] { a.killFlag = true; };
     },
     2, "a b | stop:a b | stop:b"},
    {"ATaskStoppedAndAddedAgainInOnePassStaysListedOnce",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         ScriptedTask& a = k.Add("a", 10);
         ScriptedTask& b = k.Add("b", 20);
         a.action = [&k, &b, once = true]() mutable {
             if (std::exchange(once, false)) {
                 b.Stop();
                 k.kernel.AddTask(&b);
             }
         };
     },
     2, "a stop:b b | a b | stop:a stop:b"},
    {"ATaskAddingItselfAgainFromTheStopThatRemovesItStaysListed",
     [](KernelTest& t) {
         auto& k = static_cast<KernelScenarios&>(t);
         ScriptedTask& a = k.Add("a", 10);
         k.Add("b", 20);
         a.action = [&a, once = true]() mutable {
             if (std::exchange(once, false))
                 a.killFlag = true;
         };
         a.onStop = [&k, &a, once = true]() mutable {
             if (std::exchange(once, false)) {
                 EXPECT_TRUE(k.kernel.AddTask(&a));
             }
         };
     },
     3, "a b | stop:a a b | a b | stop:a stop:b"},
};

INSTANTIATE_TEST_SUITE_P(Kernel, KernelScenarios, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KernelTest, AddingAListedOrSuspendedTaskIsRefused) {
    ScriptedTask& a = Add("a", 10);
    EXPECT_FALSE(kernel.AddTask(&a));
    EXPECT_FALSE(kernel.AddTask(CPRefPtr<CPTask>()));
    EXPECT_EQ(kernel.GetActiveTasks().size(), 1u);

    kernel.SuspendTask(&a);
    kernel.SuspendTask(&a);
    EXPECT_FALSE(kernel.AddTask(&a));
    EXPECT_EQ(kernel.GetSuspendedTasks().size(), 1u);
    EXPECT_TRUE(kernel.GetActiveTasks().empty());

    ScriptedTask& b = Add("b", 10);
    kernel.ResumeTask(&b); // not suspended: nothing happens
    EXPECT_EQ(g_Journal, "suspend:a");
    EXPECT_EQ(kernel.GetActiveTasks().size(), 1u);
}

TEST_F(KernelTest, TheLastTaskKillingItselfEndsTheLoop) {
    ScriptedTask& a = Add("a", 10);
    a.action = [&a] { a.Stop(); };
    EXPECT_EQ(kernel.Run(), 0);
    EXPECT_EQ(g_Journal, "a stop:a stop:a");
    EXPECT_FALSE(a.running);
}

TEST_F(KernelTest, QuitEndsTheLoopEvenWhenStoppingATaskAddsAnother) {
    ScriptedTask& a = Add("a", 10);
    ScriptedTask& late = Make("late", 20);
    a.onStop = [this, &late] { kernel.AddTask(&late); };
    PostQuitMessage(0);
    EXPECT_EQ(kernel.Run(), 0);
    EXPECT_EQ(g_Journal, "stop:a late stop:late");
    EXPECT_TRUE(kernel.GetActiveTasks().empty());
}

// The task timer hears every update of the kernel, in pass order, with a time that
// covers the update's own work.
TEST_F(KernelTest, TheTaskTimerHearsEachUpdate) {
    ScriptedTask& slow = Add("slow", 10);
    ScriptedTask& last = Add("last", 20);
    slow.action = [] { Sleep(2); };
    int passes = 0;
    last.action = [&] {
        if (++passes == 2)
            PostQuitMessage(0);
    };
    std::vector<std::pair<std::string, std::chrono::nanoseconds>> heard;
    CPTaskManager::SetTaskTimer([&](const CPTask& task, std::chrono::nanoseconds time) {
        heard.emplace_back(static_cast<const ScriptedTask&>(task).name, time);
    });
    kernel.Run();
    CPTaskManager::SetTaskTimer({});
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0].first, "slow");
    EXPECT_EQ(heard[1].first, "last");
    EXPECT_GE(heard[2].second, std::chrono::milliseconds(2));
}

TEST_F(KernelTest, QuitWithNoTasksEndsAtOnceEvenWhenInactive) {
    g_AppActive = false;
    PostQuitMessage(0);
    EXPECT_EQ(kernel.Run(), 0);
}

TEST_F(KernelTest, RunEndHandlersRunInOrderAfterTheLoop) {
    kernel.AddRunEndHandler([] { Note("materials"); });
    kernel.AddRunEndHandler([] { Note("settings"); });
    Add("a", 10).action = [this] { kernel.KillAllTasks(); };
    kernel.Run();
    EXPECT_EQ(g_Journal, "a stop:a materials settings");
}

// Counts queue pumps and idle waits; quits after a number of waits.
class CountingEventSource : public PlatEventSource {
public:
    explicit CountingEventSource(int quitAfterWaits) : quitAfterWaits(quitAfterWaits) {}
    void Pump() override { ++pumps; }
    void Wait(int timeoutMilliseconds) override {
        lastTimeout = timeoutMilliseconds;
        if (++waits == quitAfterWaits)
            PostQuitMessage(0);
    }
    int quitAfterWaits;
    int pumps = 0;
    int waits = 0;
    int lastTimeout = 0;
};

LRESULT RecordMessage(HWND, UINT message, WPARAM wParam, LPARAM) {
    Note(std::to_string(message) + ":" + std::to_string(wParam));
    return 0;
}

TEST_F(KernelTest, InactiveLoopRunsNothingAndTakesOneMessagePerPass) {
    HWND window = reinterpret_cast<HWND>(0x1000);
    PlatSetWindowProc(window, RecordMessage);
    CountingEventSource source(2);
    PlatSetEventSource(&source);
    Add("a", 10).action = [] { g_AppActive = false; };
    for (WPARAM c : {'x', 'y', 'z'})
        PostMessage(window, WM_CHAR, c, 0);
    g_FrameTime = 0.5f;

    EXPECT_EQ(kernel.Run(), 0);
    // The first pass runs the task (active); after it messages come one per
    // pass with nothing running, then the idle loop waits instead of spinning.
    EXPECT_EQ(g_Journal, "258:120 a 258:121 258:122 stop:a");
    EXPECT_EQ(g_FrameTime, 0.0f);
    EXPECT_EQ(source.waits, 2);
    EXPECT_EQ(source.lastTimeout, 10);
    EXPECT_EQ(source.pumps, 6); // three messages, two empty polls, WM_QUIT
}

class Level {
public:
    void Update() { ++updates; }
    int updates = 0;
};

TEST_F(KernelTest, ObjectUpdaterCallsItsTargetEachPass) {
    Level level;
    CPObjUpdater updater(&level, &Level::Update);
    updater.priority = PRIORITY_LEVEL;
    ASSERT_TRUE(kernel.AddTask(&updater));
    RunPasses(3);
    EXPECT_EQ(level.updates, 3);
    EXPECT_EQ(updater.GetCategory(), 0);
    EXPECT_EQ(updater.GetClassName(), "CPObjUpdater");
}

} // namespace

#include "ScriptFixture.h"

#include "Core/PTaskManager.h"
#include "Platform/Win32Messages.h"

namespace {

using Texts = std::vector<std::string>;

// Scripts report each step to the never-run script "rec" as "step|<n>".
const char* const kReport = "local function step(n) SendCommandByName('rec', 'step', n) end\n";

class ScriptLifecycleTest : public ScriptFixture {
protected:
    // Loads "rec" and the script "s" with the given body, starts both and
    // gives "s" the given number of turns.
    CPLuaScript& RunTurns(const std::string& body, int turns) {
        WriteScript("rec", "");
        WriteScript("s", std::string(kReport) + body);
        EXPECT_TRUE(Load("rec t_system\ns t_system\n"));
        EXPECT_TRUE(Script("rec").Start());
        EXPECT_TRUE(Script("s").Start());
        for (int i = 0; i < turns; ++i)
            Turn(Script("s"));
        return Script("s");
    }
    Texts Steps() { return Drain(Script("rec")); }
    bool Logged(const std::string& text) const { return log.find(text) != std::string::npos; }
};

TEST_F(ScriptLifecycleTest, RunsYieldsEndsAndFails) {
    struct Case {
        const char* name;
        const char* body;
        int turns;
        Texts steps;
        bool finished;
        bool killed;
        const char* logged; // nullptr: nothing logged
    };
    const std::vector<Case> cases = {
        {"yields every frame",
         "for i = 1, 3 do step(i) Update() end",
         3,
         {"step|1", "step|2", "step|3"},
         false,
         false,
         nullptr},
        {"ends after its last frame",
         "for i = 1, 2 do step(i) Update() end",
         5,
         {"step|1", "step|2"},
         true,
         false,
         "The script s ended\n"},
        {"ends without Update", "step(1)", 3, {"step|1"}, true, false, "The script s ended\n"},
        {"text error on frame 2",
         "step(1) Update() step(2) error('boom')",
         2,
         {"step|1", "step|2"},
         true,
         true,
         "\nScript Error!\n[string \"s\"]:2: boom\n"},
        {"error with a number below the message",
         "local a = 5 local b = nil + 1",
         1,
         {},
         true,
         true,
         "attempt to perform arithmetic on a nil value"},
        {"error that is not text",
         "step(1) error({})",
         1,
         {"step|1"},
         true,
         false,
         "\nScript Error!\n(error object is a table value)\n"},
        {"does not compile", "this is not Lua", 1, {}, true, true, "\nScript Error!\n[string \"s\"]:2:"},
        {"returns the wait value, then fails",
         "step(1) return 7",
         2,
         {"step|1"},
         true,
         true,
         "s: cannot resume dead coroutine"},
        {"returns a function that never runs",
         "return function() step('again') end",
         3,
         {},
         true,
         false,
         "The script s ended\n"},
        {"Update inside pcall does not wait",
         "pcall(Update) step(1)",
         1,
         {"step|1"},
         true,
         false,
         "The script s ended\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        CPLuaScript& script = RunTurns(c.body, c.turns);
        EXPECT_EQ(Steps(), c.steps);
        EXPECT_EQ(script.IsFinished(), c.finished);
        EXPECT_EQ(script.killFlag, c.killed);
        if (c.logged)
            EXPECT_TRUE(Logged(c.logged)) << log;
        else
            EXPECT_EQ(log, "");
    }
}

TEST_F(ScriptLifecycleTest, RestartContinuesAWaitingScriptAndFailsAnEndedOne) {
    CPLuaScript& waiting = RunTurns("step(1) Update() step(2) Update() step(3)", 1);
    waiting.Stop();
    Turn(waiting); // the kernel would not run it now; nothing happens
    EXPECT_FALSE(waiting.running);
    EXPECT_TRUE(waiting.Start());
    EXPECT_FALSE(waiting.Start()) << "already running";
    Turn(waiting);
    EXPECT_EQ(Steps(), (Texts{"step|1", "step|2"}));
    EXPECT_FALSE(waiting.IsFinished());

    CPLuaScript& ended = RunTurns("return function() step('again') end", 1);
    EXPECT_TRUE(ended.IsFinished());
    ended.Stop();
    EXPECT_TRUE(ended.Start());
    EXPECT_FALSE(ended.IsFinished());
    Turn(ended);
    EXPECT_TRUE(ended.killFlag);
    EXPECT_TRUE(ended.IsFinished());
    EXPECT_TRUE(Steps().empty());
    EXPECT_TRUE(Logged("\nScript Error!\ns: cannot resume dead coroutine\n")) << log;
}

TEST_F(ScriptLifecycleTest, RunawayScriptsAreStoppedAndTheirMemoryReturned) {
    struct Case {
        const char* name;
        const char* body;
        int turns;
        bool stopped;
        const char* logged;
    };
    const std::vector<Case> cases = {
        {"allocates without end", "local t = {} while true do t[#t + 1] = string.rep('x', 1000) .. #t end", 1,
         true, "not enough memory"},
        {"never yields", "step(1) while true do end", 1, true, "without calling Update and is stopped"},
        {"catches the stop with pcall", "while true do pcall(function() while true do end end) end", 1, true,
         "without calling Update and is stopped"},
        {"works a while in every frame", "for i = 1, 3 do for j = 1, 600000 do end Update() end step(1)", 4,
         false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        WriteScript("rec", "");
        WriteScript("s", std::string(kReport) + c.body);
        ASSERT_TRUE(Load("rec t_system\ns t_system\n"));
        CPLuaScript& runaway = Script("s");
        runaway.GetLimits().memoryBudget = 8 << 20;
        runaway.GetLimits().stepLimit = 1000000;
        ASSERT_TRUE(Script("rec").Start() && runaway.Start());
        for (int i = 0; i < c.turns; ++i)
            Turn(runaway);
        EXPECT_EQ(runaway.killFlag, c.stopped);
        EXPECT_EQ(runaway.GetMemoryUse() == 0, c.stopped);
        if (c.logged)
            EXPECT_TRUE(Logged(std::string("\nScript Error!\n")) && Logged(c.logged)) << log;
        else
            EXPECT_EQ(log, "The script s ended\n");
        // The other scripts go on.
        Steps();
        manager->SendCommandByName("rec", "ping", "");
        EXPECT_EQ(Steps(), Texts{"ping"});
    }
}

TEST_F(ScriptLifecycleTest, AFailedOrEndedScriptTakesNoMoreCommands) {
    for (const char* body : {"error('x')", "step(1)"}) {
        CPLuaScript& script = RunTurns(body, 1);
        manager->SendCommandByName("s", "ping", "");
        EXPECT_EQ(script.GetQueueLength(), 0u) << body;
    }
}

// Under the kernel: "main" kills every task; its own resume still ends,
// and no task runs after that pass.
TEST_F(ScriptLifecycleTest, KillAllTasksEndsTheKernelLoop) {
    PlatResetMessageQueue();
    WriteScript("rec", "");
    WriteScript("main", std::string(kReport) +
                            "step(1) Update() step(2) KillAllTasks() step(3) Update() step('never')");
    ASSERT_TRUE(Load("rec t_system\nmain t_system main\n"));
    Script("rec").Start();
    CPTaskManager kernel;
    CPRefPtr<CPLuaScript> main = manager->GetScript("main");
    main->priority = PRIORITY_MAIN_SCRIPT;
    ASSERT_TRUE(kernel.AddTask(main));
    EXPECT_EQ(kernel.Run(), 0);
    EXPECT_TRUE(kernel.GetActiveTasks().empty());
    EXPECT_FALSE(main->running);
    EXPECT_EQ(Steps(), (Texts{"step|1", "step|2", "step|3"}));
}

} // namespace

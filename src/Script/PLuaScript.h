#pragma once

#include "Core/PTask.h"
#include "Script/ScriptCommand.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct lua_State;

// What one script's Lua state may take: memory through its allocator, and
// VM instructions between two frames it gives back.
struct SPScriptLimits {
    std::size_t memoryBudget = std::size_t(256) << 20;
    std::size_t used = 0;
    uint64_t stepLimit = 200000000;
    uint64_t steps = 0;
    int stepsPerHook = 0;
};

// The number the global Update yields: the script waits for the next frame.
inline constexpr int kScriptWaitValue = 7;

// One script of Data\Scripts, run as a task: its own Lua state with one
// coroutine running the script's chunk, resumed once per kernel pass. The
// script gives the frame back by calling the global Update. Commands are
// queued at the front and read from the back, so oldest first.
class CPLuaScript : public CPTask {
public:
    CPLuaScript();
    ~CPLuaScript() override;
    CPLuaScript(const CPLuaScript&) = delete;
    CPLuaScript& operator=(const CPLuaScript&) = delete;

    // Reads Data\Scripts\<name>.lua and compiles it into a fresh state:
    // negative when the file cannot be read, else 0 (also when the chunk
    // does not compile: the script then fails on its first run).
    int Load(const std::string& name);

    // Refuses a running script; otherwise clears `finished` too.
    bool Start() override;
    void Update() override;
    int GetCategory() const override { return category; }
    size_t GetSize() const override { return sizeof(CPLuaScript); }
    std::string GetClassName() const override { return "CPLuaScript-" + scriptName; }

    // Queues the command unless the script is not running or its coroutine
    // can never run again (it would never read it); true when queued.
    bool Receive(const ScriptCommand& command);
    // Queues "release_all" whatever the script's state.
    void SendReleaseAll();
    // Drops the current command and makes the next one current; false when
    // none is left.
    bool SetNextCommand();
    // Null when no command is current.
    const ScriptCommand* GetCurrentCommand() const;

    const std::string& GetName() const { return scriptName; }
    // Bytes the script's Lua state holds (0 once the state is closed).
    std::size_t GetMemoryUse() const { return limits->used; }
    // The limits the state runs under; changes hold from the next
    // allocation and the next frame.
    SPScriptLimits& GetLimits() { return *limits; }
    bool IsFinished() const { return finished; }
    std::size_t GetQueueLength() const { return commandQueue.size(); }

    // An ETaskCategory, or 0.
    int category = 0;

private:
    void CreateState();
    // Returns the state's memory; the script then never runs again.
    void CloseState();
    void HandleResult(int status);
    bool YieldedWaitValue() const;
    // Ends the run after an error: logs the message and, for a text error,
    // has the kernel stop the task.
    void Fail(const std::string& message, bool stopTask);

    std::string scriptName;
    // Owned apart so the allocator's pointer stays put.
    std::unique_ptr<SPScriptLimits> limits;
    lua_State* luaState = nullptr;
    lua_State* luaThread = nullptr;
    // False once the coroutine has returned or failed, or when the chunk
    // did not compile: Lua 5.1 must not resume it again.
    bool resumable = false;
    // Why the coroutine cannot run (the compile error, or that it ended).
    std::string deadReason;
    std::vector<char> sourceText;
    bool finished = true;
    std::deque<ScriptCommand> commandQueue;
    bool hasCurrentCommand = false;
};

// Lua's last resort for an error outside any protected call: logs it; the
// library then ends the program.
int ScriptPanic(lua_State* L);

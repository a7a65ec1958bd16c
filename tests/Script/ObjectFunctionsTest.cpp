#include "ScriptFixture.h"

#include "Core/LiveObjects.h"
#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Script/ScriptCall.h"
#include "Script/ScriptFunctionTables.h"

#include <cmath>
#include <limits>
#include <set>

namespace {

using Texts = std::vector<std::string>;

// A live engine object that is not a script.
class TestObject : public CPObject {
public:
    TestObject() { RegisterLiveObject(this); }
    ~TestObject() override { UnregisterLiveObject(this); }
    size_t GetSize() const override { return sizeof(TestObject); }
    std::string GetClassName() const override { return "TestObject"; }
};

// A Lua state with the script functions registered, a live object "obj",
// a script "me" (as `globalObject`), a handle of a deleted script "stale"
// and an address no object ever had, "invented".
class ObjectFunctionsTest : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        WriteScript("me", "");
        WriteScript("rec", "");
        ASSERT_TRUE(Load("me t_system\nrec t_system\n"));
        Script("me").Start();
        Script("rec").Start();
        L = luaL_newstate();
        luaL_openlibs(L);
        RegisterScriptFunctions(L);
        SetHandle("obj", &object);
        SetHandle("globalObject", &Script("me"));
        auto deleted = std::make_unique<CPLuaScript>();
        const std::string stale = PointerToString(deleted.get());
        deleted.reset();
        SetHandle("stale", StringToAddress(stale));
        SetHandle("invented", reinterpret_cast<const void*>(uintptr_t{0x7fff12345678}));
    }
    void TearDown() override {
        lua_close(L);
        ScriptFixture::TearDown();
    }

    void SetHandle(const char* name, const void* address) {
        lua_pushlightuserdata(L, const_cast<void*>(address));
        lua_setglobal(L, name);
    }
    // Runs Lua code; "" when it ran, else the error message.
    std::string Run(const std::string& code) {
        if (luaL_dostring(L, code.c_str()) == 0)
            return "";
        std::string message = lua_tostring(L, -1);
        lua_pop(L, 1);
        return message;
    }
    // Runs "return <expression>" and gives the result as text.
    std::string Eval(const std::string& expression) {
        EXPECT_EQ(Run("result = tostring(" + expression + ")"), "") << expression;
        lua_getglobal(L, "result");
        std::string text = lua_tostring(L, -1);
        lua_pop(L, 1);
        return text;
    }

    TestObject object;
    lua_State* L = nullptr;
};

TEST(ObjectHandle, AddressesRoundTripAsDecimalText) {
    const std::vector<uintptr_t> addresses = {0,          1,           0x7fffffff,     0x80000000,
                                              0xffffffff, 0x100000000, 0x7ffd12345678, 0xffffffffffffffff};
    for (uintptr_t value : addresses) {
        const void* address = reinterpret_cast<const void*>(value);
        EXPECT_EQ(StringToAddress(PointerToString(address)), address) << value;
    }
    EXPECT_EQ(PointerToString(reinterpret_cast<const void*>(uintptr_t{0x100000000})), "4294967296");
    // The signed form of an address above 2^63, and the C conversion rules.
    EXPECT_EQ(StringToAddress("-1"), reinterpret_cast<const void*>(uintptr_t{0xffffffffffffffff}));
    EXPECT_EQ(StringToAddress(" 42abc"), reinterpret_cast<const void*>(uintptr_t{42}));
    EXPECT_EQ(StringToAddress("abc"), nullptr);
}

TEST(ObjectHandle, OnlyLiveObjectsResolve) {
    auto* object = new TestObject();
    const std::string handle = PointerToString(object);
    EXPECT_EQ(ResolveHandle(object), object);
    EXPECT_EQ(ResolveHandle(StringToAddress(handle)), object);
    EXPECT_EQ(ResolveHandle(reinterpret_cast<const char*>(object) + 1), nullptr);
    delete object;
    EXPECT_EQ(ResolveHandle(StringToAddress(handle)), nullptr);
    EXPECT_EQ(ResolveHandle(nullptr), nullptr);
}

TEST_F(ObjectFunctionsTest, HandlesRoundTripThroughTextAndStaleOnesAreRefused) {
    EXPECT_EQ(Eval("StringToPointer(PointerToString(globalObject)) == globalObject"), "true");
    EXPECT_EQ(Eval("StringToPointer(PointerToString(obj)) == obj"), "true");
    EXPECT_EQ(Eval("PointerToString(globalObject)"), PointerToString(&Script("me")));
    EXPECT_EQ(Eval("StringToPointer(PointerToString(stale)) == StringToPointer('0')"), "true");
    EXPECT_EQ(Eval("StringToPointer(PointerToString(invented)) == StringToPointer('0')"), "true");
    EXPECT_EQ(Eval("PointerToString(StringToPointer('0'))"), "0");
    EXPECT_EQ(Eval("PointerToString(nil)"), "0");
    // Not a script: nothing is sent and no text is read.
    EXPECT_EQ(
        Run("SendCommandByObject(obj) SendCommandByObject(stale, 'x', '') SendCommandByObject(io.stdout)"),
        "");
    EXPECT_EQ(Eval("SetNextCommand(obj)"), "false");
}

TEST_F(ObjectFunctionsTest, CommandFunctionsReadAndSend) {
    EXPECT_EQ(Run("SendCommandByName('me', 'A', '1,\"2,3\"') SendCommandByCategory('nothing', 'B', '')"
                  "SendCommandByObject(globalObject, 'C', '')"),
              "");
    EXPECT_EQ(Eval("GetCurrentCommand(globalObject)"), "nil");
    EXPECT_EQ(Eval("SetNextCommand(globalObject)"), "true");
    EXPECT_EQ(Eval("GetCurrentCommand(globalObject)"), "A");
    EXPECT_EQ(Eval("select('#', GetCurrentParams(globalObject))"), "2");
    EXPECT_EQ(Eval("select(2, GetCurrentParams(globalObject))"), "2,3");
    EXPECT_EQ(Eval("SetNextCommand(globalObject)"), "true");
    EXPECT_EQ(Eval("GetCurrentCommand(globalObject)"), "C");
    EXPECT_EQ(Eval("select('#', GetCurrentParams(globalObject))"), "0");
    EXPECT_EQ(Eval("SetNextCommand(globalObject)"), "false");
    EXPECT_EQ(Eval("select('#', GetCurrentCommand(nil))"), "0");

    // More parameters than Lua's guaranteed stack room.
    EXPECT_EQ(Run("SendCommandByName('me', 'many', string.rep('x,', 500))"), "");
    EXPECT_EQ(Eval("SetNextCommand(globalObject)"), "true");
    EXPECT_EQ(Eval("select('#', GetCurrentParams(globalObject))"), "500");
}

TEST_F(ObjectFunctionsTest, TextAndNumberHelpers) {
    EXPECT_EQ(Eval("table.concat({SplitString('a, \"b,c\" ,,d,', ',')}, '|')"), "a|b,c||d");
    EXPECT_EQ(Eval("table.concat({SplitString('one::two:three', '::')}, '|')"), "one|two:three");
    EXPECT_EQ(Eval("select('#', SplitString('', ','))"), "0");
    EXPECT_EQ(Eval("select('#', SplitString('a,b', ''))"), "1");
    EXPECT_EQ(Eval("select('#', SplitString(string.rep('x,', 300), ','))"), "300");
    EXPECT_EQ(Eval("ToInt(-2.7)"), "-2");
    EXPECT_EQ(Eval("ToInt(2.7)"), "2");
    EXPECT_EQ(Eval("ToInt(1e12)"), "2147483647");
    EXPECT_EQ(Eval("ToInt(0/0)"), "0");
    EXPECT_EQ(Eval("ToInt('12.5')"), "12");
    EXPECT_EQ(Eval("type(CheckString(5))"), "string");
    EXPECT_EQ(Eval("CheckString('a', 'b')"), "b");
    EXPECT_NE(Run("CheckString({})"), "");
    g_FrameTime = 0.25f;
    EXPECT_EQ(Eval("GetDeltaTime()"), "0.25");
}

TEST(ScriptCall, ClocksAndIntegers) {
    struct Clock {
        float seconds;
        int minutes, wholeSeconds, hundredths;
    };
    const std::vector<Clock> clocks = {
        {0.0f, 0, 0, 0},    {59.999f, 0, 59, 99},    {60.0f, 1, 0, 0},       {75.25f, 1, 15, 25},
        {75.5f, 1, 15, 50}, {119.99999f, 1, 59, 99}, {3599.99f, 59, 59, 98}, {3600.0f, 60, 0, 0},
    };
    for (const Clock& c : clocks) {
        const ScriptClock clock = ToScriptClock(c.seconds);
        EXPECT_EQ(clock.minutes, c.minutes) << c.seconds;
        EXPECT_EQ(clock.seconds, c.wholeSeconds) << c.seconds;
        EXPECT_EQ(clock.hundredths, c.hundredths) << c.seconds;
    }
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
    EXPECT_EQ(TruncateToInt(std::numeric_limits<double>::infinity()), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncateToInt(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(TruncateToInt(-2.9), -2);
}

// What the object functions hand to the engine: checked live objects and
// arguments read by the conventions.
TEST_F(ObjectFunctionsTest, ObjectFunctionsPassCheckedArgumentsToTheEngine) {
    Texts calls;
    D3DXMATRIX parent;
    ScriptAnimationRequest animation;
    g_ScriptEngineHooks.setParentTransform = [&](CPObject*, const D3DXMATRIX& m) { parent = m; };
    g_ScriptEngineHooks.startAnimation = [&](CPObject*, const ScriptAnimationRequest& r) { animation = r; };
    g_ScriptEngineHooks.setVisible = [&](CPObject*, bool b) {
        calls.push_back("visible " + std::to_string(b));
    };
    g_ScriptEngineHooks.activate = [&](CPObject*, int p) {
        calls.push_back("activate " + std::to_string(p));
    };
    g_ScriptEngineHooks.lockButton = [&](CPObject*, const std::string& n) {
        calls.push_back("lock '" + n + "'");
    };
    g_ScriptEngineHooks.playMusic = [&](const std::string& n, bool loop) {
        calls.push_back("music " + n + (loop ? " loop" : ""));
    };
    g_ScriptEngineHooks.loadModel = [&](const std::string& n, int p) -> CPObject* {
        calls.push_back("load " + n + " " + std::to_string(p));
        return &object;
    };

    // A quarter turn of yaw (about y) and a move to (1, 2, 3).
    EXPECT_EQ(Run("SetPTransformation(obj, 1, 2, 3, math.pi / 2, 0, 0)"), "");
    const float expected[4][4] = {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {1, 2, 3, 1}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(parent.m[row][column], expected[row][column], 1e-6f) << row << "," << column;
    }

    EXPECT_EQ(Run("SetAnimation(obj)"), "");
    EXPECT_EQ(animation.name, "");
    EXPECT_EQ(animation.speed, 0.0f);
    EXPECT_EQ(animation.loopCount, 0);
    EXPECT_EQ(animation.reportFrame, 0);
    EXPECT_EQ(animation.notifyScript, nullptr);
    EXPECT_EQ(Run("SetAnimation(obj, 'run', 1.5, -2.7, -1, globalObject)"), "");
    EXPECT_EQ(animation.name, "run");
    EXPECT_EQ(animation.speed, 1.5f);
    EXPECT_EQ(animation.loopCount, -2);
    EXPECT_EQ(animation.reportFrame, -1);
    EXPECT_EQ(animation.notifyScript, &Script("me"));
    EXPECT_EQ(Run("SetAnimation(obj, 'walk', 1, 1, 1, obj)"), "");
    EXPECT_EQ(animation.notifyScript, nullptr) << "only a script is notified";

    EXPECT_EQ(Run("SetVisible(obj, 0) SetVisible(obj) SetVisible(stale, true) SetVisible(invented, true)"),
              "");
    EXPECT_EQ(Run("ActivateObject(obj, 450.9) ActivateObject(obj, 'x')"), "");
    EXPECT_EQ(Run("LockButton(obj) LockButton(nil, 'start') PlayMusic('theme.ogg')"), "");
    const int refs = object.GetRefCount();
    EXPECT_EQ(Eval("LoadRenderObject('car.rdf', '20.7') == obj"), "true");
    EXPECT_EQ(object.GetRefCount(), refs + 1) << "the script holds a reference";
    EXPECT_NE(Run("LoadRenderObject('car.rdf')"), "") << "the priority is a strict number";
    EXPECT_EQ(calls, (Texts{"visible 1", "visible 0", "activate 450", "activate 0", "lock ''",
                            "music theme.ogg loop", "load car.rdf 20"}));
}

// Every object function, called with no arguments, with tables, with
// stale, invented and null handles and with odd values: only the strict
// text and number readers raise, and nothing crashes.
TEST_F(ObjectFunctionsTest, EveryFunctionSurvivesBadArguments) {
    CPTaskManager kernel; // KillAllTasks has a kernel to flag
    const std::set<std::string> strict = {"SendCommandByName", "SendCommandByCategory", "StringToPointer",
                                          "CheckString",       "GetChildObject",        "SplitString",
                                          "LoadRenderObject"};
    const std::vector<std::string> argumentLists = {
        "",
        "{}, {}, {}, {}, {}, {}, {}",
        "stale, stale, stale, stale, stale, stale, stale",
        "invented, 'x', 'y', invented, 1, 2, invented",
        "StringToPointer('0'), StringToPointer('0'), 1, 2, 3, 4, StringToPointer('0')",
        "obj, obj, obj, obj, obj, obj, obj",
        "globalObject, nil, true, 0/0, 1e300, -1e300, globalObject",
        "io.stdout, print, coroutine.create(print), 'x', '', false, nil",
    };
    std::set<std::string> names;
    for (const ScriptFunction& entry : ObjectFunctions()) {
        names.insert(entry.name);
        for (const std::string& arguments : argumentLists) {
            const std::string message =
                Run(std::string("local ok, e = pcall(") + entry.name +
                    (arguments.empty() ? "" : ", " + arguments) + ") if not ok then error(e, 0) end");
            if (arguments.empty()) {
                EXPECT_EQ(!message.empty(), strict.count(entry.name) != 0) << entry.name << ": " << message;
            }
        }
        lua_getglobal(L, entry.name);
        EXPECT_EQ(lua_tocfunction(L, -1), entry.function) << entry.name;
        lua_pop(L, 1);
    }
    EXPECT_EQ(names.size(), 30u);
}

} // namespace

#include "ScriptFixture.h"

#include "Game/PMeshManager.h"
#include "Interface/PInterface.h"
#include "Platform/Sound/SoundBackend.h"
#include "Render/RenderTestScene.h"
#include "Sound/NAudio.h"
#include "Sound/PMusic.h"
#include "Support/GameTestSupport.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include "Core/LiveObjects.h"
#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Script/Functions/ObjectFunctions.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"

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

// LockButton and UnlockButton reach the page a script names and leave any
// other object alone; PlayMusic starts a repeating piece.
TEST_F(ObjectFunctionsTest, PageAndMusicFunctionsReachTheirSubsystems) {
    TempGameRoot::WriteFile("Data/Interface/menu1024.int", "menu\nmenu.tga,256,256\n_,off\n"
                                                           "button\nstart 0,0,10,10,0,0,8,8\n"
                                                           "start_h 0,0,10,10,0,8,8,8\n"
                                                           "start_p 0,0,10,10,0,16,8,8\n");
    CPInterface page;
    page.Load("menu", 0);
    CPWindow* start = page.FindWindow("start");
    ASSERT_TRUE(start);
    SetHandle("page", &page);
    EXPECT_EQ(Run("LockButton(obj, 'start') LockButton(nil, 'start') LockButton(page, 'start')"), "");
    EXPECT_FALSE(start->enabled);
    EXPECT_EQ(Run("UnlockButton(stale, 'start') UnlockButton(obj, 'start')"), "");
    EXPECT_FALSE(start->enabled);
    EXPECT_EQ(Run("UnlockButton(page, 'start')"), "");
    EXPECT_TRUE(start->enabled);

    EXPECT_EQ(Run("PlayMusic('theme.wav')"), "") << "no music task: nothing happens";
    PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
    const std::vector<uint8_t> wave = EncodeWave(Oscillator(Waveform::Sine, 440, 0.5f, 22050), {});
    TempGameRoot::WriteFile("Data/Music/theme.wav", std::string(wave.begin(), wave.end()));
    {
        CPMusic music;
        CNAudio audio;
        ASSERT_EQ(audio.Init(nullptr), S_OK);
        EXPECT_EQ(Run("PlayMusic('theme.wav')"), "");
        EXPECT_TRUE(music.IsLoaded());
        EXPECT_EQ(music.GetFileName(), "theme.wav");
    }
    PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
}

// SetAnimation's request: missing numbers read as 0, only a script is
// notified.
TEST_F(ObjectFunctionsTest, AnimationRequestsFollowTheArgumentConventions) {
    struct Case {
        std::string arguments;
        std::string name;
        float speed;
        int loopCount, reportFrame;
        CPObject* notify;
    };
    const std::vector<Case> cases = {
        {"obj", "", 0.0f, 0, 0, nullptr},
        {"obj, 'run', 1.5, -2.7, -1, globalObject", "run", 1.5f, -2, -1, &Script("me")},
        {"obj, 'walk', '2', 1, 3.9, obj", "walk", 2.0f, 1, 3, nullptr},
        {"obj, 7, 1, 1, 1, stale", "7", 1.0f, 1, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        // The values become stack slots 1 to n, where a script function finds
        // its arguments.
        lua_settop(L, 0);
        ASSERT_EQ(luaL_loadstring(L, ("return " + c.arguments).c_str()), 0) << c.arguments;
        lua_call(L, 0, LUA_MULTRET);
        const AnimationRequest request = ReadAnimationRequest(ScriptCall(L));
        lua_settop(L, 0);
        EXPECT_EQ(request.name, c.name) << c.arguments;
        EXPECT_EQ(request.speed, c.speed) << c.arguments;
        EXPECT_EQ(request.loopCount, c.loopCount) << c.arguments;
        EXPECT_EQ(request.reportFrame, c.reportFrame) << c.arguments;
        EXPECT_EQ(request.callback.Get(), c.notify) << c.arguments;
        EXPECT_EQ(request.startOffset, 0.0f);
    }
}

// Game objects beside the script functions, on a renderer that records
// instead of drawing: a tree car (with a mesh and an idle animation, bound
// to the script "me") -> body -> wheel, a second child of car also named
// "wheel", and the handle of a deleted game object, "deletedCar"; a mesh
// manager over the demo models. The game objects send their commands
// through the script manager.
class GameObjectFunctionsTest : public ObjectFunctionsTest {
protected:
    void SetUp() override {
        ObjectFunctionsTest::SetUp();
        ASSERT_TRUE(scene.started);
        CopyDemoModels();
        material = scene.Material(20, "simple.fx");
        CPRenderObject* mesh = MakeMesh(material, 4).release();
        car.SetVisual(mesh, VISUAL_MESH);
        mesh->owner = &car;
        car.AddAnimation("idle", &idle);
        car.SetScript(&Script("me"));
        body.SetPosition({1, 0, 0});
        car.UpdateHierarchy();
        SetHandle("car", &car);
        SetHandle("body", &body);
        SetHandle("wheel", &wheel);
        SetHandle("spare", &spare);
        auto gone = std::make_unique<CPGameObject>("car");
        const std::string handle = PointerToString(gone.get());
        gone.reset();
        SetHandle("deletedCar", StringToAddress(handle));
    }
    void TearDown() override {
        // The block lets go of what was submitted before the objects go.
        scene.render->GetRenderBlock()->Reset();
        ObjectFunctionsTest::TearDown();
    }
    CPRenderBlock& Block() const { return *scene.render->GetRenderBlock(); }
    // Runs one frame of the renderer: its draw calls.
    std::size_t FrameDraws() {
        scene.Recording().ClearCalls();
        scene.render->Update();
        return scene.Recording().GetDraws().size();
    }

    RenderTestScene scene{PlatGraphicsBackendKind::Recording, 64, 48};
    CPMeshManager meshes;
    CPRefPtr<CPMaterial> material;
    CPPartAnimation idle;
    ObjectTree tree;
    CPGameObject& car = tree.Add("car");
    CPGameObject& body = tree.Add("body", &car);
    CPGameObject& wheel = tree.Add("wheel", &body);
    CPGameObject& spare = tree.Add("wheel", &car);
};

TEST_F(GameObjectFunctionsTest, TreeFunctionsFindAndFlagGameObjectsOnly) {
    const std::vector<std::pair<std::string, std::string>> finds = {
        {"GetChildObject(car, 'car')", "car"},
        {"GetChildObject(car, 'wheel')", "wheel"}, // pre-order: body's wheel before spare
        {"GetChildObject(body, 'wheel')", "wheel"},
        {"GetChildObject(car, 'Wheel')", "null"},
        {"GetChildObject(body, 'car')", "null"},
        {"GetChildObject(obj, 'obj')", "null"},
        {"GetChildObject(globalObject, 'me')", "null"},
        {"GetChildObject(deletedCar, 'car')", "null"},
        {"GetParentObject(wheel)", "body"},
        {"GetParentObject(spare)", "car"},
        {"GetParentObject(car)", "null"},
        {"GetParentObject(obj)", "null"},
        {"GetParentObject(deletedCar)", "null"},
    };
    for (const auto& [call, expected] : finds) {
        const std::string handle = expected == "null" ? "StringToPointer('0')" : expected;
        EXPECT_EQ(Eval(call + " == " + handle), "true") << call;
    }

    EXPECT_EQ(Run("SetVisible(body) SetCollision(wheel, false) SetVisible(obj) SetCollision(deletedCar)"),
              "");
    EXPECT_FALSE(body.visible);
    EXPECT_FALSE(wheel.collision);
    EXPECT_TRUE(car.visible && wheel.visible && car.collision && body.collision);
    EXPECT_EQ(Run("SetVisible(body, 0) SetCollision(wheel, 1)"), "");
    EXPECT_TRUE(body.visible && wheel.collision);
}

// The object's parent matrix becomes the pose, and its subtree follows at once.
TEST_F(GameObjectFunctionsTest, SetPTransformationPlacesTheTreeAtOnce) {
    // A quarter turn of yaw (about y) and a move to (1, 2, 3).
    EXPECT_EQ(Run("SetPTransformation(car, 1, 2, 3, math.pi / 2, 0, 0)"), "");
    const float expected[4][4] = {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {1, 2, 3, 1}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(car.parentMatrix.m[row][column], expected[row][column], 1e-6f)
                << row << "," << column;
    }
    EXPECT_FALSE(car.dirty);
    // body sits one unit along the car's x, which now points along -z.
    EXPECT_NEAR(wheel.worldMatrix._41, 1.0f, 1e-6f);
    EXPECT_NEAR(wheel.worldMatrix._42, 2.0f, 1e-6f);
    EXPECT_NEAR(wheel.worldMatrix._43, 2.0f, 1e-6f);

    const D3DXMATRIX before = body.parentMatrix;
    EXPECT_EQ(Run("SetPTransformation(obj, 5, 5, 5) SetPTransformation(deletedCar, 5, 5, 5)"
                  "SetPTransformation(globalObject, 5, 5, 5)"),
              "");
    EXPECT_EQ(body.parentMatrix, before);
}

TEST_F(GameObjectFunctionsTest, ActivationStartsTheTreeAndTellsItsScript) {
    CPTaskManager kernel;
    const std::string handle = PointerToString(&car);
    EXPECT_EQ(Run("ActivateObject(car, 450.9) ActivateObject(car, 10) ActivateObject(obj, 1)"), "");
    EXPECT_TRUE(car.active && body.active && wheel.active && spare.active);
    EXPECT_TRUE(kernel.IsActive(&idle));
    EXPECT_EQ(idle.priority, 450);
    EXPECT_EQ(Drain(Script("me")), (Texts{"add_object|" + handle})) << "activated once";

    EXPECT_EQ(Run("DeactivateObject(car) DeactivateObject(car) DeactivateObject(deletedCar)"), "");
    EXPECT_FALSE(car.active || body.active || wheel.active || spare.active);
    EXPECT_EQ(Drain(Script("me")), (Texts{"delete_object|" + handle}));
}

// DrawDynamicObject submits a visible scene object to the main block for
// this frame; SetFade sets the renderer's fade, clamped.
TEST_F(GameObjectFunctionsTest, DrawingAndFadeReachTheRenderer) {
    EXPECT_EQ(Run("DrawDynamicObject(obj) DrawDynamicObject(deletedCar) DrawDynamicObject(globalObject)"),
              "");
    EXPECT_TRUE(Block().frameBatches.empty());
    const std::size_t emptyFrameDraws = FrameDraws();
    EXPECT_EQ(Run("DrawDynamicObject(car)"), "");
    ASSERT_EQ(Block().frameBatches.size(), 1u);
    EXPECT_EQ(Block().frameBatches[0].first, material.Get());
    EXPECT_EQ(FrameDraws(), emptyFrameDraws + 1);
    EXPECT_TRUE(Block().frameBatches.empty()) << "for one frame only";

    EXPECT_EQ(Run("SetVisible(car, false) DrawDynamicObject(car)"), "");
    EXPECT_TRUE(Block().frameBatches.empty());

    const std::vector<std::pair<std::string, float>> fades = {
        {"0.5", 128.0f}, {"", 0.0f}, {"2", 256.0f}, {"-1", 0.0f}, {"'0.25'", 64.0f}, {"0/0", 0.0f}};
    for (const auto& [level, expected] : fades) {
        EXPECT_EQ(Run("SetFade(" + level + ")"), "");
        EXPECT_EQ(scene.render->fade, expected) << level;
    }
}

// Models come from their descriptions, one new tree per call, unplaced and
// inactive, and go with the script manager.
TEST_F(GameObjectFunctionsTest, LoadRenderObjectBuildsModelsTheScriptManagerKeeps) {
    EXPECT_EQ(Run("crate = LoadRenderObject('crate.rdf', '20.7') other = LoadRenderObject(\"crate.rdf\", 20)"
                  "missing = LoadRenderObject('missing.rdf', 20)"),
              "");
    lua_getglobal(L, "crate");
    auto* crate = dynamic_cast<CPGameObject*>(ResolveHandle(lua_touserdata(L, -1)));
    lua_pop(L, 1);
    ASSERT_NE(crate, nullptr);
    EXPECT_EQ(crate->GetName(), "crate");
    EXPECT_GT(crate->GetRefCount(), 0) << "the script holds a reference";
    EXPECT_FALSE(crate->active);
    ASSERT_NE(crate->GetRenderObject(), nullptr);
    EXPECT_EQ(Eval("crate ~= other and GetParentObject(crate) == StringToPointer('0')"), "true");
    EXPECT_EQ(Eval("missing ~= StringToPointer('0') and missing ~= crate"), "true") << "the wrong.rdf model";
    EXPECT_NE(Run("LoadRenderObject('crate.rdf')"), "") << "the priority is a strict number";
    EXPECT_NE(Run("LoadRenderObject(nil, 20)"), "") << "the name is strict text";

    const std::string handle = PointerToString(crate);
    manager.reset();
    EXPECT_EQ(ResolveHandle(StringToAddress(handle)), nullptr) << "deleted with the script manager";
    ScriptFixture::Load("me t_system\n");
    EXPECT_EQ(Eval("LoadRenderObject('crate.rdf', 20) ~= StringToPointer('0')"), "true");
    g_MeshManager = nullptr;
    EXPECT_EQ(Eval("LoadRenderObject('crate.rdf', 20) == StringToPointer('0')"), "true") << "no mesh manager";
    g_MeshManager = &meshes;
}

// Every object function, called with no arguments, with tables, with
// stale, invented and null handles and with odd values: only the strict
// text and number readers raise, and nothing crashes.
TEST_F(GameObjectFunctionsTest, EveryFunctionSurvivesBadArguments) {
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
        "car, 'wheel', 1, 2, 3, 4, globalObject",
        "wheel, car, body, spare, wheel, body, car",
        "deletedCar, 'car', deletedCar, 1, 2, 3, deletedCar",
        "globalObject, car, 0/0, 1e300, -1e300, car, obj",
        "spare, 'spare', -1, -1, -1, -1, spare",
    };
    std::set<std::string> names;
    // With the renderer and without one.
    CPRender* const renderer = g_Render;
    for (CPRender* current : {renderer, static_cast<CPRender*>(nullptr)}) {
        g_Render = current;
        for (const ScriptFunction& entry : ObjectFunctions()) {
            names.insert(entry.name);
            for (const std::string& arguments : argumentLists) {
                const std::string message =
                    Run(std::string("local ok, e = pcall(") + entry.name +
                        (arguments.empty() ? "" : ", " + arguments) + ") if not ok then error(e, 0) end");
                if (arguments.empty()) {
                    EXPECT_EQ(!message.empty(), strict.count(entry.name) != 0)
                        << entry.name << ": " << message;
                }
            }
            lua_getglobal(L, entry.name);
            EXPECT_EQ(lua_tocfunction(L, -1), entry.function) << entry.name;
            lua_pop(L, 1);
        }
    }
    g_Render = renderer;
    EXPECT_EQ(names.size(), 30u);
}

} // namespace

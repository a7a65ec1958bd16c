#include "LuaRunner.h"
#include "ScriptFixture.h"

#include "Core/PGlobalTimer.h"
#include "Game/PCamera.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Interface/InterfacePages.h"
#include "Interface/PLensFlare.h"
#include "Platform/Random.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/RenderTestScene.h"
#include "Support/FixedClock.h"
#include "Support/TempGameRoot.h"
#include "Vehicles/PBoltShot.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/ShotTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// A real shot spawner with a plain tracer pool for each name the effect
// functions are asked for here. What they launched is read back from its
// active shots as "name x y z / dx dy dz / speed".
class EffectRecorder {
public:
    EffectRecorder() {
        std::string table;
        for (const char* name : {"super", "repair", "nitro", "gun", "boom", "ray"})
            table += std::string(name) + ";tracer;100;50;5;;spark.tga;particle_add.fx;103;0.05;2;none\n";
        TextProblems problems;
        ShotTable::Fill(table.data(), table.size(), spawner, problems);
        EXPECT_TRUE(problems.empty());
    }

    std::vector<std::string> Spawned() const {
        std::vector<std::string> launched;
        for (const auto& shot : spawner.GetActiveShots()) {
            const D3DXVECTOR3& p = shot->launchPosition;
            const D3DXVECTOR3& d = shot->direction;
            char text[160];
            std::snprintf(text, sizeof(text), "%s %g %g %g / %g %g %g / %g", shot->name.c_str(), p.x, p.y,
                          p.z, d.x, d.y, d.z, static_cast<double>(shot->speed));
            launched.push_back(text);
        }
        return launched;
    }
    void Clear() { spawner.StopTask(); }

    CPShotSpawner spawner;
};

class EffectFunctionsTest : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        LoadCommandSink("gamemenu");
    }

    CPGameData data;
    EffectRecorder effects;
    LuaRunner lua;
};

TEST_F(EffectFunctionsTest, SmartBombSpendsOneSuperWeapon) {
    lua.Run("SmartBomb()");
    EXPECT_TRUE(effects.Spawned().empty());
    EXPECT_TRUE(Drain(Script("gamemenu")).empty());
    data.realCarInfo.superWeaponCount = 1;
    lua.Run("SmartBomb() SmartBomb()");
    EXPECT_EQ(effects.Spawned(), std::vector<std::string>{"super 0 0 0 / 0 0 0 / -1"});
    EXPECT_EQ(data.realCarInfo.superWeaponCount, 0);
    EXPECT_EQ(Drain(Script("gamemenu")), std::vector<std::string>{"update_game_interface"});
}

TEST_F(EffectFunctionsTest, SetBonusDrawsFromTheClockSeededGenerator) {
    MissionInfo mission;
    mission.bonuses = {{"repair", 0, 50}, {"nitro", 50, 100}};
    data.missions.assign(2, mission);
    data.missions[1].bonusChance = 40;
    data.coefficients[1] = 0.5f;
    for (const DWORD now : {1u, 77u, 1234u, 99999u}) {
        FixedClock clock(now);
        PlatSRand(now);
        const bool drops = 20 >= PlatRand() % 100;
        const std::string name = PlatRand() % 100 < 50 ? "repair" : "nitro";
        effects.Clear();
        lua.Run("SetBonus(3, 4, 1)");
        const std::vector<std::string> expected = {name + " 3 4 0 / 3 4 0 / -1"};
        EXPECT_EQ(effects.Spawned(), drops ? expected : std::vector<std::string>{}) << now;
    }
    effects.Clear();
    lua.Run("SetBonus(3, 4, 2) SetBonus(3, 4, -1)");
    EXPECT_TRUE(effects.Spawned().empty());
}

// The shot spawner keeps the script's bolts, flies them at the frame time
// and deletes them when their flight ends or the race stops.
class SpawnerBoltTest : public ::testing::Test {
protected:
    ~SpawnerBoltTest() override { g_FrameTime = 0; }

    CPShotSpawner spawner;
    LuaRunner lua;
};

// Flight 10 at half-second frames: five units a frame, so the fourth frame
// reaches the 20-unit range and the fifth ends the flight.
TEST_F(SpawnerBoltTest, UpdateTrasserFliesARealBoltToItsEnd) {
    g_FrameTime = 0.5f;
    EXPECT_EQ(lua.Run("bolt = StartLighting('bolt', 1, 2, 3, 1, 0, 0)"), "");
    EXPECT_EQ(spawner.ScriptBoltCount(), 1u);
    lua_getglobal(lua.L, "bolt");
    const auto* bolt = static_cast<const CPBoltShot*>(lua_touserdata(lua.L, -1));
    lua_pop(lua.L, 1);
    ASSERT_NE(bolt, nullptr);
    EXPECT_EQ(bolt->name, "bolt");
    EXPECT_EQ(bolt->params, (std::vector<std::string>{"enemy", "10", "1.5", "1.5", "razlom.dds",
                                                      "light_nofog.fx", "103", "sparks", "morgrave.wav,3d"}));
    EXPECT_EQ(
        lua.Values("UpdateTrasser(bolt), UpdateTrasser(bolt), UpdateTrasser(bolt), UpdateTrasser(bolt)"),
        "1,1,1,1");
    EXPECT_EQ(lua.Values("UpdateTrasser(bolt), UpdateTrasser(bolt), UpdateTrasser(bolt)"), "-1,-1,-1");
    EXPECT_EQ(spawner.ScriptBoltCount(), 0u);
    // Gone, its handle gives -1 without flying anything, as does a handle
    // that never was a bolt.
    CPGameObject car("car");
    lua.SetHandle("car", &car);
    EXPECT_EQ(lua.Values("UpdateTrasser(car), UpdateTrasser(nil)"), "-1,-1");
}

TEST_F(SpawnerBoltTest, StoppingTheRaceDeletesTheFlyingBolts) {
    g_FrameTime = 0.5f;
    lua.Run("first = StartLighting('a', 0, 0, 0, 1, 0, 0) second = StartLighting('b', 0, 0, 0, 0, 1, 0)");
    EXPECT_EQ(lua.Values("UpdateTrasser(first), UpdateTrasser(second)"), "1,1");
    spawner.StopTask();
    EXPECT_EQ(spawner.ScriptBoltCount(), 0u);
    EXPECT_EQ(lua.Values("UpdateTrasser(first), UpdateTrasser(second)"), "-1,-1");
}

TEST(EffectFunctionsWithoutSpawner, MakeNoBolt) {
    LuaRunner lua;
    lua.Run("bolt = StartLighting('bolt', 0, 0, 0, 1, 0, 0) Explosion('boom', 1, 2, 3)");
    EXPECT_EQ(lua.Values("UpdateTrasser(bolt)"), "-1");
}

TEST_F(EffectFunctionsTest, ShotsNeedAnOwnerAndALevel) {
    CPGameObject owner("owner");
    D3DXMatrixTranslation(&owner.worldMatrix, 10, 20, 30);
    lua.SetHandle("owner", &owner);
    EXPECT_EQ(lua.Run("Shot('gun', owner, 1, 2, 3)"), "");
    EXPECT_NE(lua.Run("Shot(nil, nil, 1, 2, 3)"), "");
    CPLevel level;
    EXPECT_EQ(lua.Run("Shot('gun', nil, 1, 2, 3) Shot('gun', owner, 1, 2, 3)"), "");
    level.shotsBlocked = true;
    lua.Run("Shot('gun', owner, 1, 2, 3)");
    lua.Run("Explosion('boom', 1, 2, 3) DirectionalExplosion('ray', 1, 2, 3, 0, 0, 1)");
    EXPECT_EQ(effects.Spawned(),
              (std::vector<std::string>{"gun 11 22 33 / 0 0 0 / -1", "boom 1 2 3 / 0 0 0 / -1",
                                        "ray 1 2 3 / 0 0 1 / -1"}));
}

TEST_F(EffectFunctionsTest, FindObjectSearchesBelowTheObject) {
    // Declared first, so they outlive the references their parents hold.
    CPGameObject grandChild("wheel");
    CPGameObject child("hub");
    CPGameObject root("wheel");
    child.AddChild(CPRefPtr<CPGameObject>(&grandChild));
    root.AddChild(CPRefPtr<CPGameObject>(&child));
    lua.SetHandle("root", &root);
    lua.SetHandle("hub", &child);
    EXPECT_EQ(lua.Values("FindObject(root, 'hub') == hub, FindObject(hub, 'hub') == nil"), "true,false");
    EXPECT_EQ(lua.Values("FindObject(hub, 'wheel') == FindObject(root, 'wheel')"), "true");
    EXPECT_EQ(lua.Values("FindObject(hub, 'nothing') == FindObject(nil, 'hub')"), "true");
    EXPECT_NE(lua.Run("FindObject(root)"), "");
}

class CameraFunctionsTest : public ::testing::Test {
protected:
    CameraFunctionsTest() { level.camera = CPRefPtr<CPCamera>(camera.get()); }
    ~CameraFunctionsTest() override { level.camera = nullptr; }

    std::unique_ptr<CPCamera> camera = std::make_unique<CPCamera>();
    CPLevel level;
    LuaRunner lua;
};

TEST_F(CameraFunctionsTest, ChangeGameCameraCyclesThreeViews) {
    EXPECT_EQ(lua.Values("ChangeGameCamera()"), "1");
    EXPECT_FALSE(camera->fixedMode);
    EXPECT_EQ(lua.Values("ChangeGameCamera()"), "2");
    EXPECT_TRUE(camera->fixedMode);
    EXPECT_EQ(lua.Values("ChangeGameCamera(), GetCameraPlayer()"), "0,0");
    EXPECT_FALSE(camera->fixedMode);
    lua.Run("SetCameraPlayer(true)");
    EXPECT_EQ(lua.Values("GetCameraPlayer()"), "1");
}

TEST_F(CameraFunctionsTest, SetCameraDrawsOnlyWhenTheShotChanges) {
    PlatSRand(9);
    const int first = PlatRand();
    PlatSRand(9);
    level.demo.turnSign = 7;
    lua.Run("SetCamera(false)");
    EXPECT_EQ(level.demo.turnSign, 7);
    EXPECT_EQ(PlatRand(), first);

    level.demo.shotTime = 3;
    level.targetHeading = 0.5f;
    PlatSRand(9);
    const float sign = PlatRand() % 2 == 0 ? -1.0f : 1.0f;
    const float pitch = PlatRand() % 4 == 0 ? -0.2617994f : -1.5707964f;
    PlatSRand(9);
    lua.Run("SetCamera(true)");
    EXPECT_EQ(level.demo.shot, 1);
    EXPECT_EQ(level.demo.shotTime, 0);
    EXPECT_EQ(level.demo.turnSign, sign);
    EXPECT_EQ(camera->pitchBase, pitch);
    lua.Run("SetCamera(false)");
    EXPECT_EQ(camera->heading, 0.5f);
}

TEST_F(CameraFunctionsTest, FirstFieldOfViewIsTakenAtOnce) {
    lua.Run("SetFOV(60)");
    EXPECT_EQ(camera->fov, 60);
    EXPECT_FLOAT_EQ(camera->GetMainCamera()->fov, 60 * 0.017453292f);
    EXPECT_FLOAT_EQ(camera->GetSecondCamera()->fov, 60 * 0.017453292f);
    lua.Run("SetFOV(90)");
    EXPECT_EQ(camera->fov, 60);
    EXPECT_EQ(camera->targetFov, 90);
    EXPECT_FLOAT_EQ(camera->GetMainCamera()->fov, 60 * 0.017453292f);
}

TEST_F(CameraFunctionsTest, SunLightRoundTrips) {
    const std::string values = "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,1,1.1,1.2,-0.5,0.25,-1";
    lua.Run("SetLight(" + values + ")");
    // Scripts read the single-precision values back, as Lua prints them.
    std::string expected;
    for (const float v :
         {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f, 1.1f, 1.2f, -0.5f, 0.25f, -1.0f}) {
        char text[32];
        std::snprintf(text, sizeof(text), "%.14g", static_cast<double>(v));
        expected += (expected.empty() ? "" : ",") + std::string(text);
    }
    EXPECT_EQ(lua.Values("GetLight()"), expected);
    EXPECT_EQ(level.sunLight.Ambient.b, 1.1f);
    EXPECT_EQ(level.sunLight.Direction.z, -1.0f);
}

TEST_F(CameraFunctionsTest, CameraReadsAndPositions) {
    lua.Run("SetCameraPos(1, 2, 3) SetCameraZAngle(0.75)");
    EXPECT_EQ(lua.Values("GetCameraZAngle()"), "0.75");
    const std::string eye =
        lua.Values("(function() local a, b, c = GetCameraPositions() return a, b, c end)()");
    EXPECT_EQ(lua.Values("select(4, GetCameraPositions())"), "1,2,3");
    camera->fixedMode = true;
    camera->fixedTarget = {4, 5, 6};
    EXPECT_EQ(lua.Values("select(4, GetCameraPositions())"), "4,5,6");
    EXPECT_EQ(lua.Values("GetFov1(), GetFov2()"), "50,50");
    EXPECT_EQ(eye, "0,0,0");
}

TEST_F(CameraFunctionsTest, CheckVisibleTestsTheBoxAgainstTheMainView) {
    const CPRefPtr<CPPerspectiveCamera> view = camera->GetMainCamera();
    view->eye = {0, 0, 0};
    view->target = {1, 0, 0};
    view->up = {0, 0, 1};
    view->fov = 1.0f;
    view->nearPlane = 1.0f;
    view->farPlane = 100.0f;
    view->viewDirty = view->projectionDirty = true;
    view->UpdateMatrices();
    CPGameObject box("box");
    lua.SetHandle("box", &box);
    const struct {
        D3DXVECTOR3 min, max;
        bool visible;
    } cases[] = {
        {{9, -1, -1}, {11, 1, 1}, true},      // ahead
        {{-11, -1, -1}, {-9, 1, 1}, false},   // behind
        {{9, 40, -1}, {11, 42, 1}, false},    // far to the side
        {{150, -1, -1}, {160, 1, 1}, false},  // beyond the far plane
        {{-50, -50, -50}, {50, 50, 50}, true} // around the eye
    };
    for (const auto& c : cases) {
        box.partsBounds.min = c.min;
        box.partsBounds.max = c.max;
        EXPECT_EQ(lua.Eval("CheckVisible(box)"), c.visible ? "true" : "false") << c.min.x << " " << c.min.y;
    }
    EXPECT_EQ(lua.Eval("CheckVisible(nil)"), "false");
}

// A new lens flare replaces and deletes the old one; the last goes with the
// script manager.
TEST_F(EffectFunctionsTest, LensFlareReplacesTheOldOne) {
    CPLevel level;
    const std::size_t pages = g_InterfacePages.size();
    lua.Run("SetLensFlare(1, 2, 3)");
    const CPObject* first = level.lensFlare.Get();
    ASSERT_NE(dynamic_cast<const CPLensFlare*>(first), nullptr);
    lua.Run("SetLensFlare(1, 2, 3)");
    EXPECT_NE(level.lensFlare.Get(), nullptr);
    EXPECT_EQ(g_InterfacePages.size(), pages + 1) << "the first flare is deleted";
    manager.reset();
    EXPECT_EQ(level.lensFlare.Get(), nullptr);
    EXPECT_EQ(g_InterfacePages.size(), pages);
}

// The renderer's switches, the debug line and the default camera, on a
// renderer that records instead of drawing.
TEST(RenderSwitchFunctionsTest, BlurLightLinesAndTheDefaultCamera) {
    TempGameRoot root;
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    ASSERT_TRUE(scene.started);
    CPRender& render = *scene.render;
    LuaRunner lua;
    const struct {
        const char* amount;
        int on;
        float strength;
    } blurs[] = {{"0", 0, 0}, {"0.5", 1, 0.5f}, {"0", 0, 0}, {"-2", 1, -2}};
    for (const auto& blur : blurs) {
        lua.Run(std::string("SetMotionBlur(") + blur.amount + ")");
        EXPECT_EQ(render.motionBlurOn, blur.on) << blur.amount;
        EXPECT_EQ(render.motionBlurAmount, blur.strength) << blur.amount;
    }
    lua.Run("SetRadialBlur(0.25) SetLightCoeff(1.5)");
    EXPECT_EQ(render.radialBlurAmount, 0.25f);
    EXPECT_EQ(render.lightCoeff, 1.5f);
    g_Plane = 0.5f;
    lua.Run("SetBrightness(3)");
    EXPECT_EQ(lua.Values("GetBrightness()"), "0.5");

    lua.Run("DrawLine(1, 2, 3, 4, 5, 6)");
    ASSERT_EQ(render.lineList.size(), 2u);
    EXPECT_EQ(render.lineList[1].x, 4.0f);
    EXPECT_EQ(render.lineList[0].diffuse, 0xFFFF0000u);

    lua.Run("SetDefaultCamera()");
    const CPBaseCamera* first = render.levels[19].camera.Get();
    lua.Run("SetDefaultCamera()");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(render.levels[19].camera.Get(), first) << "one camera serves every call";
    const auto* camera = dynamic_cast<const CPPerspectiveCamera*>(first);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->target, D3DXVECTOR3(1, 0, 0));
    EXPECT_EQ(camera->fov, 1.2217305f);
    EXPECT_EQ(camera->farPlane, 1000.0f);
    render.SetLevelCamera(19, nullptr);
}

} // namespace

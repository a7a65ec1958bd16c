#pragma once

#include "Core/PTaskManager.h"
#include "Game/LevelTestSupport.h"
#include "LuaRunner.h"
#include "Particles/PParticlesManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Support/TestScripts.h"
#include "Vehicles/PPlayer.h"

#include <functional>
#include <numbers>
#include <string>
#include <vector>

// A kernel task that runs a call with the number of its pass (from 1) and
// stops itself after the given number of passes.
class PassTask : public CPTask {
public:
    PassTask(int priority, int passes, std::function<void(int)> call)
        : passes(passes), call(std::move(call)) {
        this->priority = priority;
    }
    void Update() override {
        call(++pass);
        if (pass >= passes)
            Stop();
    }
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(PassTask); }
    std::string GetClassName() const override { return "PassTask"; }

private:
    int pass = 0;
    int passes;
    std::function<void(int)> call;
};

// Aims the camera from the eye at the point, with a quarter-turn field of
// view and a square screen.
inline void AimMainCamera(CPPerspectiveCamera& view, const D3DXVECTOR3& eye, const D3DXVECTOR3& at) {
    D3DXMATRIX look, projection;
    const D3DXVECTOR3 up(0, 0, 1);
    D3DXMatrixLookAtLH(&look, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, std::numbers::pi_v<float> / 2, 1, 1, 1000);
    D3DXMatrixMultiply(&view.viewProjection, &look, &projection);
    D3DXMatrixInverse(&view.inverseViewProjection, nullptr, &view.viewProjection);
    view.eye = eye;
    view.target = at;
    view.fov = std::numbers::pi_v<float> / 2;
}

// The ring of the level tests as a race: the player's car at (97, 0), two
// computer cars beside it, a tree on the track's outside at (130, 0), a
// checkpoint and the start posts.
inline std::vector<LevelRecord> RingRace() {
    return {Record("player", {97, 0, 0}),           Record("enemy1", {103, 8, 0}),
            Record("enemy2", {103, 16, 0}),         Record("tree", {130, 0, 0}),
            Record("chk1_arrow", {0, 0, 0}),        Record("stolb_start_left", {108, 0, 1}),
            Record("stolb_start_right", {92, 0, 1})};
}

// The ring race written to Data\Levels\ring.lvl, with a kernel, a renderer,
// the particles, scripts named "main" and "gamemenu" that keep what they are
// sent, and a Lua state with every script function. The level the scripts
// make is deleted at the end.
class RaceScene : public LevelScene {
protected:
    void SetUp() override {
        LevelScene::SetUp();
        savedWidth = g_ScreenWidth;
        savedHeight = g_ScreenHeight;
        WriteLevel("ring", RingRace());
        scripts["main"].Start();
        scripts["gamemenu"].Start();
    }
    void TearDown() override {
        if (g_Level) {
            if (g_Level->updaterTask)
                g_Level->Stop();
            delete g_Level;
        }
        g_ScreenWidth = savedWidth;
        g_ScreenHeight = savedHeight;
        LevelScene::TearDown();
    }

    // The ring loaded as a script loads it.
    CPLevel& InitRing() {
        EXPECT_EQ(lua.Run("InitLevel('ring')"), "");
        EXPECT_NE(g_Level, nullptr);
        return *g_Level;
    }
    CPPlayer& Player() { return *g_Level->cameraTarget; }
    CPPlayer& Car(int index) { return *std::next(g_Level->cars.begin(), index)->Get(); }

    CPTaskManager kernel;
    CPRender render;
    CPParticlesManager particles;
    TestScripts scripts{{"main", "gamemenu"}};
    LuaRunner lua;
    int savedWidth = 0;
    int savedHeight = 0;
};

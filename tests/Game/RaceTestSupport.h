#pragma once

#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Game/LevelTestSupport.h"
#include "Particles/PParticlesManager.h"
#include "Render/PRender.h"
#include "Support/TestScripts.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

// A loaded and started race whose frames the test runs one at a time: the
// kernel, the renderer and the scripts the race talks to ("game_interface",
// "jeep", "main" and "gamemenu", all running). The player's car is locked so
// that only the test moves it.
class RaceScene : public LevelScene {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    void SetUp() override {
        LevelScene::SetUp();
        for (const char* name : {"game_interface", "jeep", "main", "gamemenu"})
            scripts[name].Start();
        data.progress = 0;
    }

    // Loads and starts the level, with the player's car at the point.
    void StartRace(const std::string& name, const D3DXVECTOR3& at, bool time = false) {
        ASSERT_TRUE(Load(name, false, time));
        level->player->Lock(true);
        level->player->SetPosition(at);
        level->player->UpdateHierarchy();
        level->Start();
    }

    // One pass of the level with the frame time.
    void Frame(float dt = kFrame) {
        g_FrameTime = dt;
        level->Update();
    }

    void MovePlayer(const D3DXVECTOR3& at, const D3DXQUATERNION& turn = {0, 0, 0, 1}) {
        level->player->SetPosition(at);
        level->player->SetOrientation(turn);
        level->player->UpdateHierarchy();
    }

    // The commands the script received since the last call, without the
    // turn arrows the player's car updates every frame.
    std::vector<std::string> Take(const char* name) {
        const std::vector<std::string>& all = scripts.Received(scripts[name]);
        std::size_t& seen = taken[name];
        std::vector<std::string> fresh;
        std::copy_if(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end(), std::back_inserter(fresh),
                     [](const std::string& command) { return !command.starts_with("update_arrows"); });
        seen = all.size();
        return fresh;
    }

    // A turn about the z axis.
    static D3DXQUATERNION TurnZ(float angle) {
        D3DXQUATERNION turn;
        const D3DXVECTOR3 axis(0, 0, 1);
        return *D3DXQuaternionRotationAxis(&turn, &axis, angle);
    }

    CPTaskManager kernel;
    CPRender render;
    CPParticlesManager particles;
    TestScripts scripts{{"game_interface", "jeep", "main", "gamemenu"}};
    std::map<std::string, std::size_t> taken;
};

#pragma once

#include "Core/PSettings.h"
#include "Game/LevelRecord.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PMeshManager.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Render/PRenderObject.h"
#include "Support/TempGameRoot.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/CarConnections.h"
#include "leveltool/LevelWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// The description of every test car: all three camera elements.
inline const char* const kLevelCarXml =
    "<car><physics><geometry><wheels count=\"4\" length=\"1.5\" radius=\"0.5\"/></geometry></physics>"
    "<camera distance=\"6\" height=\"1.5\" angle=\"10\" angle_div=\"2\" distance_div=\"12\" blur=\"0.1\""
    " fov=\"55\" min=\"10\" max=\"20\"/>"
    "<camera2 distance=\"9\" height=\"3\" angle=\"20\" angle_div=\"3\" distance_div=\"14\" blur=\"0.2\""
    " fov=\"60\"/>"
    "<camera3 distance=\"0.5\" height=\"1.2\" blur=\"0.3\"/></car>";

// A flat square mesh of the half size in the xy plane at height 0, as the
// visual of the object.
inline void GiveQuadMesh(CPGameObject& object, float half) {
    auto* mesh = new CPRenderObject(&object);
    mesh->sourceVertices = {{-half, -half, 0, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0},
                            {half, -half, 0, 0, 0, 1, 0xffffffff, 0, 1, 0, 0, 0},
                            {half, half, 0, 0, 0, 1, 0xffffffff, 0, 1, 1, 0, 0},
                            {-half, half, 0, 0, 0, 1, 0xffffffff, 0, 0, 1, 0, 0}};
    mesh->vertices = mesh->sourceVertices;
    mesh->indices = {0, 1, 2, 0, 2, 3};
    object.SetVisual(mesh, VISUAL_MESH);
}

// Builds every model in code in place of the files (but those named in
// `fromFiles`) and records each request with its priority: a road of
// 1200 x 1200 units for "road_phys" names, a car of mass 30 with four wheels
// for car names, a unit quad with a part box of half size 1 for everything
// else.
class RecordingMeshManager : public CPMeshManager {
public:
    struct Request {
        std::string name;
        int priority;
        bool operator==(const Request&) const = default;
        friend void PrintTo(const Request& request, std::ostream* out) {
            *out << request.name << "@" << request.priority;
        }
    };

    void LoadObject(CPRefPtr<CPGameObject>& out, const std::string& name, int priority) override {
        requests.push_back({name, priority});
        out = nullptr;
        if (fromFiles.count(name)) {
            CPMeshManager::LoadObject(out, name, priority);
            return;
        }
        if (missing.count(name))
            return;
        auto* object = new CPGameObject(name);
        if (!meshless.count(name))
            GiveQuadMesh(*object, name.starts_with("road_phys") ? 600.0f : 1.0f);
        if (IsCar(name) && !meshless.count(name))
            MakeCar(*object);
        object->partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
        object->UpdateHierarchy();
        out = object;
    }

    bool IsCar(const std::string& name) const {
        return name.ends_with("_enemy.rdf") || carNames.count(name) != 0;
    }

    std::vector<Request> requests;
    std::set<std::string> carNames = {"buggy.rdf"};
    // Names that give no model, and names that give a model without mesh or
    // physics.
    std::set<std::string> missing;
    std::set<std::string> meshless;
    // Names read from Data\Meshes as the game reads them.
    std::set<std::string> fromFiles;

private:
    static void MakeCar(CPGameObject& car) {
        auto* description = new CPPhysicData(&car);
        description->SetBoxBody(2.0f, 0.8f, 4.0f, 30.0f);
        description->AddBoxShape({0, 0, 0}, {0, 0, 0, 1}, 2.0f, 0.8f, 4.0f, 30.0f);
        car.physicData = description;
        car.description.Parse(kLevelCarXml);
        const float x[4] = {-0.9f, 0.9f, -0.9f, 0.9f}, y[4] = {-1.4f, -1.4f, 1.4f, 1.4f};
        for (int i = 0; i < 4; ++i) {
            auto* wheel = new CPGameObject("w" + std::to_string(i));
            wheel->SetPosition({x[i], y[i], -0.4f});
            car.AddChild(wheel);
        }
    }
};

// A record at the position with the orientation (x, y, z, w) and the scale.
inline LevelRecord Record(const std::string& name, const D3DXVECTOR3& at,
                          const D3DXQUATERNION& turn = {0, 0, 0, 1}, const D3DXVECTOR3& scale = {1, 1, 1}) {
    return {name, {at.x, at.y, at.z, turn.x, turn.y, turn.z, turn.w, scale.x, scale.y, scale.z}};
}

// The three closed circles of radius 100 (50 pieces), 104 and 96 around the
// origin.
inline std::vector<TrackLineEntry> RingLines() {
    return {{"c_path", true, CircleSegments({0, 0, 0}, 100, false)},
            {"left", true, CircleSegments({0, 0, 0}, 104, false)},
            {"right", true, CircleSegments({0, 0, 0}, 96, false)}};
}

// Everything a level loads against, built in code in a fresh game root: the
// physics with the real cars, the drivers' task, the game data (player model
// "buggy", player type 9) and the recording mesh manager. Settings "plane",
// "quadlevels" and "rolling" start at 0.
class LevelScene : public ::testing::Test {
protected:
    void SetUp() override {
        saved = g_PhysicsServices;
        ConnectPhysicsToGameObjects();
        ConnectPhysicsToCars();
        g_WeightDiv = 1;
        g_Plane = 0;
        g_QuadLevels = 0;
        g_Rolling = 0;
        data.playerName = "buggy";
        data.playerType = 9;
    }
    void TearDown() override {
        level.reset();
        physics.DestroyWorld();
        g_PhysicsServices = saved;
        g_WeightDiv = 0;
        g_Plane = 0.5f;
        g_QuadLevels = 0;
        g_Rolling = 0;
    }

    static void WriteLevel(const std::string& name, const std::vector<LevelRecord>& records,
                           const std::vector<TrackLineEntry>& lines = RingLines()) {
        const std::vector<uint8_t> bytes = ::WriteLevel(records, lines);
        TempGameRoot::WriteFile("Data/Levels/" + name + ".lvl", std::string(bytes.begin(), bytes.end()));
    }

    // A new level (the old one deleted first) loading the name.
    bool Load(const std::string& name, bool single = false, bool time = false) {
        level.reset();
        level = std::make_unique<CPLevel>();
        return level->Load(name, single, time);
    }

    TempGameRoot root;
    PhysicsServices saved;
    CPPhysics physics;
    AI_Task drivers;
    CPGameData data;
    RecordingMeshManager meshes;
    std::unique_ptr<CPLevel> level;
};

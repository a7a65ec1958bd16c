#pragma once

#include "CarTestSupport.h"

#include "Game/PCamera.h"
#include "Game/PMeshManager.h"
#include "Render/PRenderBlock.h"
#include "Render/RenderTestScene.h"
#include "Render/ShadowDecal.h"
#include "Vehicles/PPlayer.h"

#include <filesystem>
#include <vector>

// The demo buggy with its blob shadow, built from the demo data as the level
// loader builds its cars, on a flat ground in a physics world, drawn by a
// renderer on the chosen device through a fixed camera.
class DemoVehicleScene {
public:
    static constexpr float kGroundHalfSize = 500.0f;

    DemoVehicleScene(PlatGraphicsBackendKind kind, int width, int height) : scene(kind, width, height) {
        for (const char* file : {"Meshes/buggy.rdf", "Meshes/buggy.p3d", "Meshes/shadow.rdf",
                                 "Meshes/shadow.p3d", "Meshes/roadster1_enemy.rdf", "Descriptions/buggy.xml",
                                 "Descriptions/roadster.xml", "Textures/buggy.tga", "Textures/shadow.tga"}) {
            const std::filesystem::path target = std::filesystem::path("Data") / file;
            std::filesystem::create_directories(target.parent_path());
            std::filesystem::copy_file(std::filesystem::path(KV_BUILD_DATA) / file, target);
        }
        savedServices = g_PhysicsServices;
        savedDecalSource = g_DecalTerrainSource;
        ConnectPhysicsToGameObjects();
        ConnectPhysicsToCars();
        ConnectShadowDecalsToTerrain();
        g_WeightDiv = 1;
        g_FrameTime = kFrame;
    }
    ~DemoVehicleScene() {
        for (CPPlayer* vehicle : vehicles)
            CPMeshManager::DeleteModel(vehicle);
        physics.DestroyWorld();
        g_PhysicsServices = savedServices;
        g_DecalTerrainSource = savedDecalSource;
        g_WeightDiv = 0;
        g_FrameTime = 0.0f;
    }
    DemoVehicleScene(const DemoVehicleScene&) = delete;
    DemoVehicleScene& operator=(const DemoVehicleScene&) = delete;

    // The flat ground, and the walls given as quads of four corners.
    bool BuildWorld(const std::vector<std::array<D3DXVECTOR3, 4>>& walls = {}) {
        const float h = kGroundHalfSize;
        TerrainMesh terrain;
        terrain.positions = {{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0}};
        terrain.indices = {0, 1, 2, 0, 2, 3};
        for (const auto& wall : walls) {
            const auto base = static_cast<uint16_t>(terrain.positions.size());
            terrain.positions.insert(terrain.positions.end(), wall.begin(), wall.end());
            for (int k : {0, 1, 2, 0, 2, 3})
                terrain.indices.push_back(static_cast<uint16_t>(base + k));
        }
        return physics.BuildTerrainGrid(terrain) && physics.CreateWorld();
    }

    // The loader's order: a new vehicle takes a copy of the loaded model
    // (the player's buggy, or a rival's "roadster1_enemy.rdf"), gets its body
    // and its car, its mesh parts for denting and its shadow.
    CPPlayer& AddVehicle(const D3DXVECTOR3& position, const std::string& modelFile = "buggy.rdf") {
        CPGameObject* model = nullptr;
        {
            CPRefPtr<CPGameObject> loaded;
            meshes.LoadObject(loaded, modelFile, 20);
            model = loaded.Get();
        }
        auto* vehicle = new CPPlayer();
        vehicles.push_back(vehicle);
        vehicle->CopyFrom(model);
        CPMeshManager::DeleteModel(model);
        vehicle->SetPosition(position);
        vehicle->UpdateHierarchy();
        physics.AddSyncObject(vehicle);
        physics.RegisterObject(vehicle, true, 1);
        physics.CreateCar(vehicle, false);
        if (CPRenderObject* mesh = vehicle->GetRenderObject()) {
            mesh->SetStatic(false);
            mesh->BuildDeformParts();
        }
        vehicle->CreateShadow();
        return *vehicle;
    }

    void Frames(int count) {
        for (int i = 0; i < count; ++i) {
            ++g_FrameCounter;
            g_FrameParticleCount = 0;
            physics.Update();
        }
    }

    void LookFrom(const D3DXVECTOR3& eye, const D3DXVECTOR3& target) {
        camera.fixedMode = true;
        camera.SetFixedView(eye, target, {0, 0, 1});
        camera.SetFov(60);
        camera.Update();
    }

    CPRenderBlock& Block() const { return *scene.render->GetRenderBlock(); }

    // The renderer's levels hold the render cameras: the camera outlives it.
    CPCamera camera;
    RenderTestScene scene;
    CPMeshManager meshes;
    CPPhysics physics;
    std::vector<CPPlayer*> vehicles;

private:
    PhysicsServices savedServices;
    std::function<std::vector<DecalTriangle>(const CPObject*)> savedDecalSource;
};

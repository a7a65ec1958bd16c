#pragma once

#include "Game/GameObjectServices.h"
#include "Game/PMeshManager.h"
#include "Render/PAnimationManager.h"
#include "Render/RenderTestScene.h"
#include "Support/TempGameRoot.h"
#include "meshtool/MeshWriter.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// A renderer on the recording device with its material manager, a mesh
// manager and an animation manager, in a temporary game root; particle
// systems made by descriptions are recorded tasks that the scene owns, as
// the application owns the emitters it makes.
class MeshManagerScene {
public:
    class ParticleTask : public CPTask {
    public:
        ParticleTask(CPObject* owner, std::vector<std::string> definitions, float period, int& deleted)
            : owner(owner), definitions(std::move(definitions)), period(period), deleted(deleted) {}
        ~ParticleTask() override { ++deleted; }
        void Update() override {}
        int GetCategory() const override { return TASK_LEVEL; }
        size_t GetSize() const override { return sizeof(ParticleTask); }
        std::string GetClassName() const override { return "ParticleTask"; }
        CPObject* owner;
        std::vector<std::string> definitions;
        float period;
        int& deleted;
    };

    MeshManagerScene() : scene(PlatGraphicsBackendKind::Recording, 64, 64) {
        saved = g_GameObjectServices;
        g_GameObjectServices.createParticleSystem =
            [this](CPObject* owner, const std::vector<std::string>& definitions, float period) -> CPTask* {
            ++particlesMade;
            return particleTasks
                .emplace_back(std::make_unique<ParticleTask>(owner, definitions, period, particlesDeleted))
                .get();
        };
    }
    ~MeshManagerScene() {
        for (CPGameObject* model : models)
            CPMeshManager::DeleteModel(model);
        g_GameObjectServices = saved;
    }
    MeshManagerScene(const MeshManagerScene&) = delete;
    MeshManagerScene& operator=(const MeshManagerScene&) = delete;

    static void WriteMesh(const std::string& name, const MeshFile& file) {
        const std::vector<uint8_t> bytes = WriteMeshFile(file);
        TempGameRoot::WriteFile("Data/Meshes/" + name, std::string(bytes.begin(), bytes.end()));
    }
    static void WriteDescription(const std::string& name, const std::string& text) {
        TempGameRoot::WriteFile("Data/Meshes/" + name, text);
    }

    // Loads the description; the scene deletes the model.
    CPRefPtr<CPGameObject> Load(const std::string& name, int basePriority = 20) {
        CPRefPtr<CPGameObject> root;
        meshes.LoadObject(root, name, basePriority);
        if (root)
            models.push_back(root.Get());
        return root;
    }

    RenderTestScene scene;
    CPMeshManager meshes;
    CPAnimationManager animations;
    int particlesMade = 0;
    // Made tasks deleted by anyone but the scene.
    int particlesDeleted = 0;

private:
    std::vector<std::unique_ptr<ParticleTask>> particleTasks;
    GameObjectServices saved;
    std::vector<CPGameObject*> models;
};

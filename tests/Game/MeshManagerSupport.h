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

// Deletes the particle tasks of a model's tree and of its levels of detail:
// the recorded tasks the descriptions made belong to the test.
inline void DeleteParticleTasks(CPGameObject& root) {
    std::vector<CPRefPtr<CPGameObject>> subtree;
    root.CollectTree(subtree);
    for (const CPRefPtr<CPGameObject>& object : subtree) {
        if (CPTask* particles = object->GetParticleTask()) {
            object->SetVisual(nullptr, VISUAL_NONE);
            delete particles;
        }
        for (std::size_t k = 1; k < object->detailLevels.size(); ++k) {
            if (CPGameObject* level = object->detailLevels[k].first.Get())
                DeleteParticleTasks(*level);
        }
    }
}

// Deletes a loaded model with its particle tasks.
inline void DeleteModel(CPGameObject* root) {
    if (!root)
        return;
    DeleteParticleTasks(*root);
    CPMeshManager::DeleteModel(root);
}

// A renderer on the recording device with its material manager, a mesh
// manager and an animation manager, in a temporary game root; particle
// systems made by descriptions are recorded tasks, owned by their objects.
class MeshManagerScene {
public:
    class ParticleTask : public CPTask {
    public:
        ParticleTask(CPObject* owner, std::vector<std::string> definitions, float period)
            : owner(owner), definitions(std::move(definitions)), period(period) {}
        void Update() override {}
        int GetCategory() const override { return TASK_LEVEL; }
        size_t GetSize() const override { return sizeof(ParticleTask); }
        std::string GetClassName() const override { return "ParticleTask"; }
        CPObject* owner;
        std::vector<std::string> definitions;
        float period;
    };

    MeshManagerScene() : scene(PlatGraphicsBackendKind::Recording, 64, 64) {
        saved = g_GameObjectServices;
        g_GameObjectServices.createParticleSystem =
            [this](CPObject* owner, const std::vector<std::string>& definitions, float period) -> CPTask* {
            ++particlesMade;
            return new ParticleTask(owner, definitions, period);
        };
    }
    ~MeshManagerScene() {
        for (CPGameObject* model : models)
            DeleteModel(model);
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

private:
    GameObjectServices saved;
    std::vector<CPGameObject*> models;
};

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

// Deletes a loaded model: its tree, then the models of its levels of
// detail, then the node animations its objects hold.
inline void DeleteModel(CPGameObject* root) {
    if (!root)
        return;
    std::vector<CPRefPtr<CPGameObject>> subtree;
    root->CollectTree(subtree);
    std::vector<CPGameObject*> levels;
    std::vector<CPPartAnimation*> tracks;
    for (const CPRefPtr<CPGameObject>& object : subtree) {
        for (std::size_t k = 1; k < object->detailLevels.size(); ++k)
            levels.push_back(object->detailLevels[k].first.Get());
        object->animations.ForEach([&](const std::string&, const CPRefPtr<CPPartAnimation>& track) {
            if (std::find(tracks.begin(), tracks.end(), track.Get()) == tracks.end())
                tracks.push_back(track.Get());
        });
    }
    std::vector<CPGameObject*> objects;
    for (const CPRefPtr<CPGameObject>& object : subtree) {
        // Particle systems are tasks the object only stops.
        if (CPTask* particles = object->GetParticleTask()) {
            object->SetVisual(nullptr, VISUAL_NONE);
            delete particles;
        }
        objects.push_back(object.Get());
    }
    subtree.clear();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it)
        delete *it;
    for (CPGameObject* level : levels)
        DeleteModel(level);
    for (CPPartAnimation* track : tracks)
        delete track;
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

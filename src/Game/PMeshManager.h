#pragma once

#include "Core/PFileReader.h"
#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Game/ObjectDescription.h"
#include "Game/PGameObject.h"
#include "Platform/Win32Types.h"
#include "Render/MeshFile.h"

#include <string>
#include <vector>

class CPMeshManager;
extern CPMeshManager* g_MeshManager;
// The file of the "anim" entry being read: part of the key its animations
// are cached under.
extern std::string g_AnimMeshFile;

// Builds models: reads an object description of Data\Meshes with its mesh
// files and returns a new tree of game objects, one visual each, with the
// node properties of the description applied. Nothing is cached here: every
// load reads the files again.
class CPMeshManager {
public:
    // Nested loads (levels of detail, the fallback) deeper than this give
    // no model.
    static constexpr int kMaxNesting = 8;
    // Nested loads one top-level load may start in all; later ones give no
    // model.
    static constexpr int kMaxNestedLoads = 64;

    CPMeshManager();
    virtual ~CPMeshManager();
    CPMeshManager(const CPMeshManager&) = delete;
    CPMeshManager& operator=(const CPMeshManager&) = delete;

    // The root of the model of the description, null when none could be
    // built. A description that cannot be read gives the model of
    // "wrong.rdf". Materials get the base priority plus the node's "type".
    // Nothing is activated; the hierarchy is updated only for animated
    // models and mesh files with a trailing block.
    virtual void LoadObject(CPRefPtr<CPGameObject>& out, const std::string& name, int basePriority);
    // Deletes a loaded model: its tree, the models of its levels of detail
    // and the node animations its objects hold; each object first drops its
    // references into the tree, and a car's physics goes before the parts it
    // holds. Particle systems are only
    // stopped: they belong to the particle subsystem. The renderer's main
    // block first drops what was submitted this frame, which may name the
    // model.
    static void DeleteModel(CPGameObject* root);

    // Applies a node's section: material, shadow and fire materials, flags,
    // script, static buffers or vertex effects, node animations.
    void ApplyProperties(const CPRefPtr<CPGameObject>& node, const DescriptionSection& section,
                         int basePriority);

    // Build a node with its subtree from the read mesh file node.
    CPRefPtr<CPGameObject> ReadMeshNodeFormat1(const MeshFileNode& data, const ObjectDescription& description,
                                               int basePriority);
    CPRefPtr<CPGameObject> ReadMeshNodeFormat2(const MeshFileNode& data, const ObjectDescription& description,
                                               int basePriority);
    // The first file of an "anim" description.
    CPRefPtr<CPGameObject> ReadMeshNode(const MeshFileNode& data, const ObjectDescription& description,
                                        int basePriority, const std::string& animationName);
    // A further file: one more animation for the node and its parts, matched
    // by name; a null node takes nothing.
    void ReadAnimationFrames(const CPRefPtr<CPGameObject>& node, const MeshFileNode& data,
                             const std::string& animationName);

    DWORD vertexColour = 0xffffffff;
    std::string meshFileName;
    std::string shadowTextureDir;
    std::string shadowTextureSuffix;
    std::string shadowEffectSuffix;
    bool shadowTexturesOn = false;

private:
    enum class EModelForm { Animation, Empty, Mesh };

    void LoadDescribedObject(CPRefPtr<CPGameObject>& out, const std::string& name, const CPFileReader& reader,
                             int basePriority);
    CPRefPtr<CPGameObject> BuildAnimationModel(const std::string& name, const ObjectDescription& description,
                                               int basePriority);
    CPRefPtr<CPGameObject> BuildEmptyModel(const ObjectDescription& description, int basePriority);
    CPRefPtr<CPGameObject> BuildMeshModel(const std::string& name, const ObjectDescription& description,
                                          int basePriority);
    CPRefPtr<CPGameObject> ReadMeshFileRoot(const std::string& name, const MeshFile& file,
                                            const ObjectDescription& description, int basePriority);
    // Attaches the object below the parent, or (null parent) deletes it;
    // a particle emitter it shows is stopped, never deleted.
    static void AttachOrDiscard(const CPRefPtr<CPGameObject>& parent, CPGameObject* object);
    void AddSprites(const CPRefPtr<CPGameObject>& root, const ObjectDescription& description,
                    int basePriority, EModelForm form);
    void AddLights(const CPRefPtr<CPGameObject>& root, const ObjectDescription& description);
    void AddLods(const CPRefPtr<CPGameObject>& root, const ObjectDescription& description, int basePriority);
    void AddParticleSystems(const CPRefPtr<CPGameObject>& root, const ObjectDescription& description);
    void AddShapes(CPGameObject& object, const std::vector<MeshShape>& shapes);
    void SetMeshVisual(CPGameObject& object, const MeshFileNode& data);
    void ApplyVertexEffects(CPGameObject& node, const std::string& value);
    void ApplyAnimations(CPGameObject& node, const std::string& value);

    // False (logged) for a nested load that is too deep, of a description
    // already being loaded, or beyond the nested loads of one top-level load.
    bool MayLoad(const std::string& name);

    // The lower-cased descriptions being loaded, outermost first.
    std::vector<std::string> loadChain;
    // Nested loads started since the top-level load began.
    int nestedLoads = 0;
};

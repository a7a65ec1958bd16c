#pragma once

#include "Core/PTask.h"
#include "Physics/PContactEffects.h"
#include "Physics/PTerrainGrid.h"
#include "Platform/D3DX9Math.h"

#include <vector>

class CPPhysicData;
struct RbBody;
class RbSimulator;
struct RbCollisionInfo;

class CPPhysics;
extern CPPhysics* g_Physics;
CPPhysics* GetPhysics();

// The game's physics task: owns the world of the current race, steps it in
// fixed steps of 1/60 s at twice the frame clock's rate, copies the bodies'
// poses back to their game objects, answers the world's terrain queries and
// the game's ground heights from the level's terrain grid, and turns contacts
// into dents, sparks and sounds.
class CPPhysics : public CPTask {
public:
    static constexpr float StepTime = 1.0f / 60.0f;
    // The longest frame the world catches up with.
    static constexpr float MaxFrameTime = 0.05f;

    CPPhysics();
    ~CPPhysics() override;

    void Update() override;
    // Destroys the world while the task is running. The kernel stops a task a
    // second time when it removes it; by then a new level may already have
    // built its world in the same pass, which that second call leaves alone.
    void Stop() override;
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(CPPhysics); }
    std::string GetClassName() const override { return "CPPhysics"; }

    // The level's ground, built before the world; false when the mesh has no
    // usable triangle.
    bool BuildTerrainGrid(const TerrainMesh& mesh);
    // A new world with the level's materials and the terrain query and
    // contact report installed; an old world is destroyed first (its grid is
    // kept: it belongs to the level being loaded). False when the world
    // cannot be created.
    bool CreateWorld();
    // Destroys the world and frees the terrain grid (nothing without a world)
    // and forgets the terrain meshes.
    void DestroyWorld();
    float GetGroundHeight(const D3DXVECTOR3& point) const;
    // Keeps the level's terrain visual in the list of terrain meshes (until
    // the world is destroyed); nothing reads the list yet.
    void AddTerrainMesh(CPObject* visual) { terrainMeshes.push_back(visual); }
    const std::vector<CPObject*>& GetTerrainMeshes() const { return terrainMeshes; }

    // Game objects (objects without a physics description are ignored).
    // Copies the object's pose from its body after every update.
    void AddSyncObject(CPObject* object);
    // Builds the object's body from its description's shapes, with the
    // geometries' material index; the body carries the object as user data.
    void RegisterObject(CPObject* object, bool activeFlag, int materialIndex);
    void CreateCar(CPObject* object, bool player);
    // Stops copying the object's pose and deactivates its body.
    void UnregisterObject(CPObject* object);
    // Parks the description's body far below the level, deactivates it and
    // frees it on the third update from now.
    void RemoveObjectBody(CPPhysicData* description);
    // A description being deleted: its owner leaves the synchronised set and
    // its body is removed, so that neither is reached again.
    void ForgetDescription(CPPhysicData* description);

    RbSimulator* GetSimulator() const { return simulator; }
    const CPTerrainGrid& GetTerrainGrid() const { return terrain; }

    // The world's callbacks.
    static void QueryTerrainTriangles(const RbVector& boxMin, const RbVector& boxMax, const int** candidates,
                                      const RbTriangle** triangles, const RbVector** vertices,
                                      int* candidateCount, int* triangleCount, RbBody* body);
    static void OnCollision(RbCollisionInfo* info);

private:
    // A removed body, returned to the world on the third update from now.
    struct PendingBodyFree {
        int countdown = 2;
        RbBody* body = nullptr;
    };

    void CreateObjectBody(CPPhysicData* description, const D3DXVECTOR3& position,
                          const D3DXQUATERNION& orientation, bool activeFlag, int materialIndex);
    void SyncObjects();
    void ReleaseWorld();
    void HandOverTriangleBounds();
    void FreePendingBodies();

    CPTerrainGrid terrain;
    CPContactEffects effects;
    float removalDepth = -1000.0f;
    std::vector<PendingBodyFree> pendingFrees;
    std::vector<CPObject*> terrainMeshes;
    // In the order added.
    std::vector<CPObject*> syncObjects;
    // The descriptions given bodies in the current world.
    std::vector<CPPhysicData*> bodyOwners;
    RbSimulator* simulator = nullptr;
    float timeAccumulator = 0.0f;
    // Candidates of a query for a body without a physics description.
    int scratchCandidates[CPTerrainGrid::CandidateCapacity] = {};
};

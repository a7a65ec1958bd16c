#pragma once

#include "Physics/Simulator/RbAnimatedBody.h"
#include "Physics/Simulator/RbArray.h"
#include "Physics/Simulator/RbBodyGroup.h"
#include "Physics/Simulator/RbCallbacks.h"
#include "Physics/Simulator/RbCollisionInfo.h"
#include "Physics/Simulator/RbCollisionResult.h"
#include "Physics/Simulator/RbCollisionTable.h"
#include "Physics/Simulator/RbController.h"
#include "Physics/Simulator/RbDefaultAllocator.h"
#include "Physics/Simulator/RbMaterial.h"
#include "Physics/Simulator/RbPerformanceReport.h"
#include "Physics/Simulator/RbPerformanceTimer.h"
#include "Physics/Simulator/RbPool.h"
#include "Physics/Simulator/RbReachBox.h"
#include "Physics/Simulator/RbRegion.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/Simulator/RbSizeInfo.h"
#include "Physics/Simulator/RbStackHeader.h"
#include "Physics/Simulator/RbTriangleBounds.h"

// The active and inactive bodies of one kind.
struct RbBodyLists {
    RbList<RbBody> active;
    RbList<RbBody> inactive;
};

// The rigid-body world: fixed pools for every body, geometry, sensor and
// controller, the broad phase, the material and collision tables, gravity,
// callbacks, and the fixed-step pipeline run by Advance. Nothing is allocated
// after creation except the growth of the contact row buffer and of the list
// of terrain triangles near a body.
class RbSimulator {
public:
    static constexpr int MaterialCount = 256;

    // A new world, or null when a count is invalid or memory cannot be had.
    // A null allocator uses the world's own; gravity null means none.
    static RbSimulator* Create(const RbSizeInfo& sizes, RbAllocator* allocator, const RbVector* gravity);
    static void Destroy(RbSimulator* world);

    RbRigidBody* CreateRigidBody() { return NewRigidBody(false); }
    RbRigidBody* CreateRigidParticle() { return NewRigidBody(true); }
    RbAnimatedBody* CreateAnimatedBody();
    // Returns a body with everything it holds to its pool; a pointer that is
    // not a body of this world in use is reported and left alone.
    void FreeBody(RbBody* body);

    bool SetMaterial(int index, float friction, float restitution);
    bool GetMaterial(int index, float& friction, float& restitution, float& density) const;
    RbCollisionTable& GetCollisionTable() { return collisionTable; }
    RbCollisionCallback SetCollisionCallback(RbCollisionCallback callback);
    RbTerrainQueryCallback SetTerrainQueryCallback(RbTerrainQueryCallback callback);
    // Messages reach the callback when their level is at most the log level
    // (0 at creation; every message has level 1).
    void SetLogCallback(RbLogCallback callback, void* context);
    void SetLogLevel(int level) { logLevel = level; }
    // The terrain tests pass over the candidate triangles out of reach of the
    // body and of each shape and sensor (on at creation). That never changes a
    // result: switching it off is for showing so.
    void SetTerrainCulling(bool on) { cullTerrain = on; }
    // The boxes of the triangles of the arrays the terrain query answers with
    // (bounds[i] of triangles[i], count of them), kept by their owner until
    // replaced; null bounds forget them. While the query answers with these
    // same arrays, the terrain pass compares the boxes instead of gathering
    // the vertices, with the same results.
    void SetTerrainTriangleBounds(const RbTriangle* triangles, const RbVector* vertices,
                                  const RbTriangleBounds* bounds, int count);
    const RbTriangleBounds* GetTerrainTriangleBounds(int& count) const {
        count = boundsCount;
        return triangleBounds;
    }

    // Runs steps equal steps of time / steps seconds and returns the step
    // counter after incrementing it. A time that is not positive and finite,
    // or no steps, only counts the call.
    int Advance(float time, int steps, RbPerformanceReport* report);

    // Parts of the world that bodies, the broad phase and the later phases use.
    void Log(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    const RbSizeInfo& SizeInfo() const { return sizeInfo; }
    RbAllocator* Allocator() { return allocator; }
    RbPool<RbGeometry>& GeometryPool() { return geometryPool; }
    RbPool<RbSensor>& SensorPool() { return sensorPool; }
    RbPool<RbController>& ControllerPool() { return controllerPool; }
    RbRegion& Region() { return region; }
    RbBodyLists& ListsOf(const RbBody* body);
    RbBodyLists& RigidBodies() { return rigidLists; }
    RbBodyLists& AnimatedBodies() { return animatedLists; }
    RbBodyLists& RigidParticles() { return particleLists; }
    RbAnimatedBody& TerrainBody() { return terrainBody; }
    const RbAnimatedBody& TerrainBody() const { return terrainBody; }
    const RbVector& GetGravity() const { return gravity; }
    const RbVector& GravityDirection() const { return gravityDirection; }
    float GravityLength() const { return gravityLength; }
    float StepTime() const { return stepTime; }
    float InverseStepTime() const { return inverseStepTime; }
    int StepCounter() const { return stepCounter; }
    int HistorySlot() const { return historySlot; }
    float RestSpeedLimit() const { return restSpeedLimit; }
    // Appends a copy of a resting row; false when the buffer cannot grow.
    bool AddRestingRow(const RbCollisionResult& row) { return restingRows.Append(row); }
    RbArray<RbCollisionResult>& RestingRows() { return restingRows; }

    // Contacts: registration of a detected contact (impulse, positional
    // correction, resting record) and the solver's row iterations.
    void RegisterCollision(RbBody* a, RbBody* b, RbCollisionResult& record);
    void SolveRows(int iterations);
    bool NoRestitution() const { return noRestitution != 0; }
    bool LastIteration() const { return lastIteration != 0; }
    RbBodyGroup& ContactGroup() { return contactGroup; }

    // Stacking.
    RbStackInfo* TakeStackInfo(RbRigidBody* body, int supportOnly);
    // A new stack holding the record when one is given; null when the pool is
    // exhausted.
    RbStackHeader* AllocStackHeader(RbStackInfo* info);
    void ReleaseStackHeader(RbStackHeader* header);
    RbPool<RbStackInfo>& StackInfoPool() { return stackInfoPool; }
    RbStackHeader& SingleBodies() { return singleBodies; }
    const RbList<RbStackHeader>& StackHeaders() const { return stackHeaders; }
    RbArray<RbStackInfo*>& StackWorkList() { return stackWorkList; }

private:
    RbSimulator(const RbSizeInfo& sizes, RbAllocator* caller);
    ~RbSimulator();
    RbSimulator(const RbSimulator&) = delete;
    RbSimulator& operator=(const RbSimulator&) = delete;

    bool Initialise(const RbVector& gravityVector);
    void SetGravity(const RbVector& gravityVector);
    RbRigidBody* NewRigidBody(bool particle);
    bool IsBodyOfThisWorld(const RbBody* body) const;

    // The step pipeline and its phases.
    void Step();
    void Lap(RbPhaseSlot slot);
    void ResetSensors();
    void UpdateBodyBounds();
    void CheckBodyCollisions();
    void CheckTerrainCollisions();
    void ClearAccumulators();
    void ApplyForces(RbBodyLists& lists);
    void SolveStacks();
    void ResolveContacts();
    void Integrate(RbBodyLists& lists);
    void ClearMovedFlags();
    void CheckBodyPair(RbBody* a, RbBody* b);
    void CheckTerrain(RbRigidBody* body);
    bool GatherNearTriangles(const RbBody& body, const RbMatrix4& transform, int candidateCount,
                             int triangleCount);
    void PlaceSensors(const RbBody& body, const RbMatrix4& transform);
    bool HasTriangleBounds(int triangleCount) const;
    std::size_t KeepNearByBounds(const RbReachBox& reach, int candidateCount, int triangleCount);
    std::size_t KeepNearByVertices(const RbReachBox& reach, int candidateCount, int triangleCount);
    void PickNearTriangles(std::size_t reachCount);
    // Where the sensor tests place the terrain's triangles.
    RbMatrix4 TerrainPlacement() const {
        return RbCompose(terrainBody.localBounds.localTransform, terrainBody.worldTransform);
    }
    void TestNearTriangles(RbRigidBody& body, const RbMatrix4& transform, int triangleCount,
                           RbCollisionResult& record);
    void TestCandidates(RbRigidBody& body, const RbMatrix4& transform, int candidateCount, int triangleCount,
                        RbCollisionResult& record);
    void HandleContact(RbBody* a, RbBody* b, RbCollisionResult& record, int code, RbCollisionInfo& info);
    void CorrectPosition(RbRigidBody* body, const RbVector& offset);

    RbSizeInfo sizeInfo;
    RbPerformanceReport* currentReport = nullptr;
    RbPerformanceTimer timer;
    RbVector gravity;
    RbVector gravityDirection;
    float gravityLength = 0.0f;
    int stepCounter = 0;
    float stepTime = 0.0f;
    float inverseStepTime = 0.0f;
    float restSpeedLimit = 1.0f;
    int historySlot = 0;
    int logLevel = 0;
    RbMaterial materials[MaterialCount];
    RbDefaultAllocator defaultAllocator;
    RbAllocator* allocator = &defaultAllocator;
    RbPool<RbController> controllerPool;
    RbPool<RbSensor> sensorPool;
    RbPool<RbGeometry> geometryPool;
    RbArray<RbCollisionResult> restingRows;
    RbPool<RbStackInfo> stackInfoPool;
    RbPool<RbStackHeader> stackHeaderPool;
    // Stacks in use, in the order they were taken.
    RbList<RbStackHeader> stackHeaders;
    RbStackHeader singleBodies;
    RbArray<RbStackHeader*> groupList;
    RbArray<RbStackInfo*> stackWorkList;
    RbBodyGroup contactGroup;
    std::int32_t noRestitution = 0;
    std::uint8_t lastIteration = 0;
    RbPool<RbRigidBody> rigidPool;
    RbPool<RbAnimatedBody> animatedPool;
    RbPool<RbRigidBody> particlePool;
    RbBodyLists rigidLists;
    RbBodyLists animatedLists;
    RbBodyLists particleLists;
    RbRegion region;
    RbCollisionTable collisionTable;
    RbAnimatedBody terrainBody;
    // The terrain query's answer for the body being tested.
    const int* terrainCandidates = nullptr;
    const RbTriangle* terrainTriangles = nullptr;
    const RbVector* terrainVertices = nullptr;
    // The boxes of the query's triangles, when handed over.
    const RbTriangle* boundsTriangles = nullptr;
    const RbVector* boundsVertices = nullptr;
    const RbTriangleBounds* triangleBounds = nullptr;
    int boundsCount = 0;
    // The candidates within the tested body's reach, in the query's order,
    // and the box of each; the reaches of the body's shapes and of each of
    // its sensors, and the near triangles within each of them, a slice per
    // reach, with their counts.
    RbArray<int> nearTriangles;
    RbArray<RbTriangleBounds> nearBounds;
    RbArray<RbReachBox> pickReaches;
    RbArray<int> pickedTriangles;
    RbArray<std::size_t> pickedCounts;
    // The tested body's sensors in the terrain's frame, in list order, and
    // their number.
    RbArray<RbVector> sensorStarts;
    RbArray<RbVector> sensorLines;
    std::size_t placedSensors = 0;
    bool cullTerrain = true;
    // The reports handed to the collision callback by the two passes.
    RbCollisionInfo bodyContactInfo;
    RbCollisionInfo terrainContactInfo;
    RbCollisionCallback collisionCallback = nullptr;
    RbTerrainQueryCallback terrainQueryCallback = nullptr;
    RbLogCallback logCallback = nullptr;
    void* logContext = nullptr;
    char logBuffer[256] = {};
};

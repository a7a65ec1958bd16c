#include "Physics/PPhysics.h"

#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Physics/RbSimulator.h"

#include <algorithm>

CPPhysics* g_Physics = nullptr;

namespace {

// The capacities of a race's world.
RbSizeInfo LevelSizeInfo() {
    RbSizeInfo sizes;
    sizes.rigidBodiesCount = 500;
    sizes.animatedBodiesCount = 1000;
    sizes.rigidParticleCount = 500;
    sizes.controllersCount = 50;
    sizes.overlapPairsCount = 1500;
    sizes.geometriesCount = 5000;
    sizes.jointsCount = 150;
    sizes.constraintSetsCount = 150;
    sizes.rowBufferSize = 10;
    sizes.sensorsCount = 1000;
    sizes.terrainTreeNodes = 200;
    sizes.terrainTreeGrowth = -1;
    return sizes;
}

} // namespace

CPPhysics::CPPhysics() {
    g_Physics = this;
    RecordCall("CPPhysics()");
}

CPPhysics::~CPPhysics() {
    RecordCall("~CPPhysics()");
    DestroyWorld();
    if (g_Physics == this)
        g_Physics = nullptr;
}

CPPhysics* GetPhysics() {
    return g_Physics;
}

bool CPPhysics::BuildTerrainGrid(const TerrainMesh& mesh) {
    return terrain.Build(mesh);
}

bool CPPhysics::CreateWorld() {
    ReleaseWorld();
    const RbVector gravity(0, 0, -9.8f);
    simulator = RbSimulator::Create(LevelSizeInfo(), nullptr, &gravity);
    if (!simulator) {
        GetLog().Print(0, "The physics world could not be created\n");
        return false;
    }
    simulator->SetMaterial(1, g_PhysicsFriction, g_PhysicsRestitution);
    simulator->SetMaterial(0, g_PhysicsFriction, g_PhysicsRestitution);
    simulator->SetCollisionCallback(&OnCollision);
    simulator->GetCollisionTable().Set(0, -1, 3);
    simulator->GetCollisionTable().Set(0, 0, 3);
    simulator->SetTerrainQueryCallback(&QueryTerrainTriangles);
    return true;
}

void CPPhysics::ReleaseWorld() {
    if (!simulator)
        return;
    RbSimulator::Destroy(simulator);
    simulator = nullptr;
    pendingFrees.clear();
}

void CPPhysics::DestroyWorld() {
    if (!simulator)
        return;
    ReleaseWorld();
    terrain.Clear();
}

void CPPhysics::Stop() {
    if (running)
        DestroyWorld();
    CPTask::Stop();
}

void CPPhysics::Update() {
    if (!simulator)
        return;
    float frame = std::min(g_FrameTime, MaxFrameTime);
    float owed = timeAccumulator + 2.0f * frame;
    if (!(owed > 0.0f))
        return;
    while (owed >= StepTime) {
        simulator->Advance(StepTime, 1, nullptr);
        owed -= StepTime;
    }
    timeAccumulator = owed;
    FreePendingBodies();
}

void CPPhysics::QueueBodyFree(RbBody* body) {
    pendingFrees.push_back({2, body});
}

void CPPhysics::FreePendingBodies() {
    for (PendingBodyFree& entry : pendingFrees)
        --entry.countdown;
    auto due = std::stable_partition(pendingFrees.begin(), pendingFrees.end(),
                                     [](const PendingBodyFree& entry) { return entry.countdown >= 0; });
    for (auto entry = due; entry != pendingFrees.end(); ++entry)
        simulator->FreeBody(entry->body);
    pendingFrees.erase(due, pendingFrees.end());
}

float CPPhysics::GetGroundHeight(const D3DXVECTOR3& point) const {
    return terrain.GetGroundHeight({point.x, point.y, point.z});
}

void CPPhysics::QueryTerrainTriangles(const RbVector& boxMin, const RbVector& boxMax, const int** candidates,
                                      const RbTriangle** triangles, const RbVector** vertices,
                                      int* candidateCount, int* triangleCount, RbBody* /*body*/) {
    *candidateCount = *triangleCount = 0;
    *candidates = nullptr;
    *triangles = nullptr;
    *vertices = nullptr;
    if (!g_Physics)
        return;
    const CPTerrainGrid& grid = g_Physics->terrain;
    int* buffer = g_Physics->scratchCandidates;
    *candidateCount = grid.Query(boxMin, boxMax, buffer);
    *candidates = buffer;
    *triangles = grid.Triangles().data();
    *vertices = grid.Vertices().data();
    *triangleCount = grid.TriangleCount();
}

void CPPhysics::OnCollision(RbCollisionInfo* info) {
    if (g_Physics && info)
        g_Physics->effects.OnCollision(*info);
}

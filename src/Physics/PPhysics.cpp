#include "Physics/PPhysics.h"

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Physics/PPhysicData.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbQuaternion.h"
#include "Physics/Simulator/RbSimulator.h"
#include "Physics/VectorConversions.h"

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

// A geometry's place in its body: the position and the rotation of the
// conjugate of the shape's normalised quaternion.
RbMatrix4 ShapeTransform(const CPPhysicData::CollisionShape& shape) {
    RbVector q = RbNormaliseQuaternion(ToRb(shape.rotation));
    RbMatrix3 rotation = RbQuaternionToRotation({-q.x, -q.y, -q.z, q.w});
    RbMatrix4 transform;
    for (int i = 0; i < 3; ++i)
        transform.row[i] = {rotation.row[i].x, rotation.row[i].y, rotation.row[i].z, 0.0f};
    transform.SetPosition(ToRb(shape.position));
    return transform;
}

RbBody* BodyOf(const CPPhysicData& description) {
    return description.rigidBody ? static_cast<RbBody*>(description.rigidBody) : description.animatedBody;
}

// Clears the description's pointers to its body and what the body holds.
void DropBody(CPPhysicData& description) {
    description.rigidBody = nullptr;
    description.animatedBody = nullptr;
    description.controller = nullptr;
    description.terrainQueried = false;
    for (CPPhysicData::CollisionShape& shape : description.shapes)
        shape.geometry = nullptr;
}

} // namespace

CPPhysics::CPPhysics() {
    g_Physics = this;
    priority = PRIORITY_PHYSICS;
}

CPPhysics::~CPPhysics() {
    DestroyWorld();
    if (g_Physics == this)
        g_Physics = nullptr;
}

CPPhysics* GetPhysics() {
    return g_Physics;
}

bool CPPhysics::BuildTerrainGrid(const TerrainMesh& mesh) {
    bool built = terrain.Build(mesh);
    HandOverTriangleBounds();
    return built;
}

// The simulator compares the grid's triangle boxes instead of gathering the
// vertices of every candidate.
void CPPhysics::HandOverTriangleBounds() {
    if (simulator)
        simulator->SetTerrainTriangleBounds(terrain.Triangles().data(), terrain.Vertices().data(),
                                            terrain.TriangleBounds().data(), terrain.TriangleCount());
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
    HandOverTriangleBounds();
    return true;
}

// The descriptions keep no pointer into the destroyed world.
void CPPhysics::ReleaseWorld() {
    if (!simulator)
        return;
    for (CPPhysicData* description : bodyOwners)
        DropBody(*description);
    bodyOwners.clear();
    RbSimulator::Destroy(simulator);
    simulator = nullptr;
    pendingFrees.clear();
    syncObjects.clear();
}

void CPPhysics::DestroyWorld() {
    terrainMeshes.clear();
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
    SyncObjects();
}

// Each setter also moves the body (back to where it is) and wakes it, so a
// synchronised body never sleeps.
void CPPhysics::SyncObjects() {
    for (CPObject* object : syncObjects) {
        CPPhysicData* description = g_PhysicsServices.physicData(object);
        if (!description || !description->rigidBody)
            continue;
        const RbVector& q = description->rigidBody->GetRotation();
        RbVector p = description->rigidBody->GetTransform().Position();
        g_PhysicsServices.setPose(object, ToD3D(p), {q.x, q.y, q.z, q.w});
    }
}

void CPPhysics::AddSyncObject(CPObject* object) {
    CPPhysicData* description = g_PhysicsServices.physicData(object);
    if (!description)
        return;
    if (std::find(syncObjects.begin(), syncObjects.end(), object) == syncObjects.end())
        syncObjects.push_back(object);
    description->active = true;
}

void CPPhysics::RegisterObject(CPObject* object, bool activeFlag, int materialIndex) {
    CPPhysicData* description = g_PhysicsServices.physicData(object);
    if (!description)
        return;
    CreateObjectBody(description, g_PhysicsServices.position(object), g_PhysicsServices.orientation(object),
                     activeFlag, materialIndex);
    if (RbBody* body = BodyOf(*description))
        body->SetUserData(object);
}

void CPPhysics::CreateObjectBody(CPPhysicData* description, const D3DXVECTOR3& position,
                                 const D3DXQUATERNION& orientation, bool activeFlag, int materialIndex) {
    if (!simulator || BodyOf(*description)) {
        GetLog().Print(0, "A body is built only once, and only in a world\n");
        return;
    }
    RbBody* body = nullptr;
    if (description->mass < 0.0f)
        body = description->animatedBody = simulator->CreateAnimatedBody();
    else
        body = description->rigidBody =
            description->isParticle ? simulator->CreateRigidParticle() : simulator->CreateRigidBody();
    if (!body) {
        GetLog().Print(0, "The physics world has no room for another body\n");
        return;
    }
    bodyOwners.push_back(description);
    for (CPPhysicData::CollisionShape& shape : description->shapes) {
        shape.geometry = body->AddGeometry();
        if (!shape.geometry) {
            GetLog().Print(0, "The physics world has no room for another geometry\n");
            break;
        }
        if (shape.type == 0)
            shape.geometry->SetBoxSize(shape.size1, shape.size3, shape.size2);
        else if (shape.type == 1)
            shape.geometry->SetCylinder(shape.diameter, shape.size2);
        shape.geometry->SetTransform(ShapeTransform(shape));
        shape.geometry->SetMaterialIndex(materialIndex);
    }
    body->UpdateBoundingInfo();
    if (description->animatedBody) {
        description->animatedBody->SetPosition(ToRb(position));
        description->animatedBody->SetRotation(ToRb(orientation));
    } else {
        description->active = activeFlag;
    }
}

void CPPhysics::CreateCar(CPObject* object, bool player) {
    if (CPPhysicData* description = g_PhysicsServices.physicData(object))
        g_PhysicsServices.createCar(object, description, simulator, player);
}

void CPPhysics::UnregisterObject(CPObject* object) {
    CPPhysicData* description = g_PhysicsServices.physicData(object);
    if (!description)
        return;
    std::erase(syncObjects, object);
    description->active = false;
    RbBody* body = BodyOf(*description);
    if (body && body->IsActive())
        body->SetActive(false);
}

void CPPhysics::RemoveObjectBody(CPPhysicData* description) {
    if (RbBody* body = description ? BodyOf(*description) : nullptr) {
        pendingFrees.push_back({.body = body});
        description->SetPosition(D3DXVECTOR3(0, 0, removalDepth));
        if (body->IsActive())
            body->SetActive(false);
        DropBody(*description);
        std::erase(bodyOwners, description);
    }
    removalDepth -= 500.0f;
    if (removalDepth < -100000.0f)
        removalDepth = -1000.0f;
}

void CPPhysics::ForgetDescription(CPPhysicData* description) {
    std::erase(syncObjects, description->owner);
    if (RbBody* body = BodyOf(*description)) {
        body->SetUserData(nullptr);
        RemoveObjectBody(description);
    }
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
    return terrain.GetGroundHeight(ToRb(point));
}

void CPPhysics::QueryTerrainTriangles(const RbVector& boxMin, const RbVector& boxMax, const int** candidates,
                                      const RbTriangle** triangles, const RbVector** vertices,
                                      int* candidateCount, int* triangleCount, RbBody* body) {
    *candidateCount = *triangleCount = 0;
    *candidates = nullptr;
    *triangles = nullptr;
    *vertices = nullptr;
    if (!g_Physics)
        return;
    const CPTerrainGrid& grid = g_Physics->terrain;
    // The owner's buffer, which the shadow decals read afterwards.
    CPObject* owner = body ? static_cast<CPObject*>(body->GetUserData()) : nullptr;
    CPPhysicData* description = owner ? g_PhysicsServices.physicData(owner) : nullptr;
    int* buffer = description ? description->candidateTriangles : g_Physics->scratchCandidates;
    *candidateCount = grid.Query(boxMin, boxMax, buffer);
    if (description) {
        description->candidateCount = *candidateCount;
        description->terrainQueried = true;
    }
    *candidates = buffer;
    *triangles = grid.Triangles().data();
    *vertices = grid.Vertices().data();
    *triangleCount = grid.TriangleCount();
}

void CPPhysics::OnCollision(RbCollisionInfo* info) {
    if (g_Physics && info)
        g_Physics->effects.OnCollision(*info);
}

#include "Physics/Simulator/RbSimulator.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <new>

RbSimulator* RbSimulator::Create(const RbSizeInfo& sizes, RbAllocator* allocator, const RbVector* gravity) {
    if (!sizes.IsValid())
        return nullptr;
    auto* world = new (std::nothrow) RbSimulator(sizes, allocator);
    if (!world)
        return nullptr;
    if (!world->Initialise(gravity ? *gravity : RbVector())) {
        // A partly built world would hand out null from its empty pools for
        // ever; the caller gets nothing instead.
        delete world;
        return nullptr;
    }
    return world;
}

void RbSimulator::Destroy(RbSimulator* world) {
    delete world;
}

RbSimulator::RbSimulator(const RbSizeInfo& sizes, RbAllocator* caller) : sizeInfo(sizes) {
    if (caller)
        allocator = caller;
}

RbSimulator::~RbSimulator() = default;

bool RbSimulator::Initialise(const RbVector& gravityVector) {
    SetGravity(gravityVector);
    if (!rigidPool.Reserve(sizeInfo.rigidBodiesCount, allocator) ||
        !animatedPool.Reserve(sizeInfo.animatedBodiesCount, allocator) ||
        !particlePool.Reserve(sizeInfo.rigidParticleCount, allocator) || !region.Initialise(this))
        return false;
    stepCounter = 0;
    terrainBody.simulator = this;
    // The terrain's one geometry is its bounds record, turned into the set of
    // triangles near each body in turn.
    terrainBody.geometries.Append(&terrainBody.localBounds);
    singleBodies.simulator = this;
    singleBodies.isSingles = 1;
    int stackable = sizeInfo.rigidBodiesCount + sizeInfo.rigidParticleCount;
    return stackInfoPool.Reserve(stackable, allocator) &&
           stackHeaderPool.Reserve(stackable + 100, allocator) &&
           controllerPool.Reserve(sizeInfo.controllersCount, allocator) &&
           sensorPool.Reserve(sizeInfo.sensorsCount, allocator) &&
           geometryPool.Reserve(sizeInfo.geometriesCount, allocator) &&
           restingRows.Init(allocator, 100, 100) && groupList.Init(allocator, 1000, 100) &&
           stackWorkList.Init(allocator, 1000, 100) && nearTriangles.Init(allocator, 1000, 1000) &&
           nearBounds.Init(allocator, 1000, 1000) && pickedTriangles.Init(allocator, 5000, 1000) &&
           pickReaches.Init(allocator, static_cast<std::size_t>(sizeInfo.sensorsCount) + 1, 0) &&
           pickedCounts.Init(allocator, static_cast<std::size_t>(sizeInfo.sensorsCount) + 1, 0) &&
           sensorStarts.Init(allocator, sizeInfo.sensorsCount, 0) &&
           sensorLines.Init(allocator, sizeInfo.sensorsCount, 0);
}

void RbSimulator::SetGravity(const RbVector& gravityVector) {
    gravity = gravityVector;
    gravityDirection = RbSafeNormalise(gravityVector);
    gravityLength = RbSafeLength(gravityVector);
    if (!std::isfinite(gravityLength))
        gravityLength = 0.0f;
}

RbRigidBody* RbSimulator::NewRigidBody(bool particle) {
    RbPool<RbRigidBody>& pool = particle ? particlePool : rigidPool;
    RbRigidBody* body = pool.Take();
    if (!body) {
        Log(1, "Run out of RigidBodies. Increase '%s'.\n",
            particle ? "rigidParticleCount" : "rigidBodiesCount");
        return nullptr;
    }
    new (body) RbRigidBody();
    body->inUse = 1;
    (particle ? particleLists : rigidLists).active.Append(body);
    body->isParticle = particle ? 1 : 0;
    body->broadPhaseIndex =
        pool.IndexOf(body) + (particle ? sizeInfo.rigidBodiesCount + sizeInfo.animatedBodiesCount : 0);
    body->simulator = this;
    return body;
}

RbAnimatedBody* RbSimulator::CreateAnimatedBody() {
    RbAnimatedBody* body = animatedPool.Take();
    if (!body)
        return nullptr;
    new (body) RbAnimatedBody();
    body->inUse = 1;
    animatedLists.active.Append(body);
    body->broadPhaseIndex = sizeInfo.rigidBodiesCount + animatedPool.IndexOf(body);
    body->simulator = this;
    return body;
}

bool RbSimulator::IsBodyOfThisWorld(const RbBody* body) const {
    if (!body->isRigid)
        return animatedPool.IndexOf(body) >= 0;
    const RbPool<RbRigidBody>& pool = body->IsParticle() ? particlePool : rigidPool;
    return pool.IndexOf(body) >= 0;
}

void RbSimulator::FreeBody(RbBody* body) {
    if (!body)
        return;
    if (!IsBodyOfThisWorld(body) || !body->inUse) {
        const char* kind =
            !body->isRigid ? "AnimatedBody" : (body->IsParticle() ? "RigidParticle" : "RigidBody");
        Log(1, "Trying to Free invalid %s.\n", kind);
        return;
    }
    region.RemoveBody(body);
    region.ForgetPendingBody(body);
    if (body->isRigid)
        static_cast<RbRigidBody*>(body)->Free();
    else
        body->ReleaseAttachments();
    RbBodyLists& lists = ListsOf(body);
    (body->active ? lists.active : lists.inactive).Remove(body);
    if (!body->isRigid)
        animatedPool.Return(static_cast<RbAnimatedBody*>(body));
    else
        (body->IsParticle() ? particlePool : rigidPool).Return(static_cast<RbRigidBody*>(body));
}

RbBodyLists& RbSimulator::ListsOf(const RbBody* body) {
    if (!body->isRigid)
        return animatedLists;
    return body->IsParticle() ? particleLists : rigidLists;
}

bool RbSimulator::SetMaterial(int index, float friction, float restitution) {
    if (index < 0 || index >= MaterialCount)
        return false;
    materials[index] = {friction, restitution, 0.0f};
    return true;
}

bool RbSimulator::GetMaterial(int index, float& friction, float& restitution, float& density) const {
    if (index < 0 || index >= MaterialCount)
        return false;
    friction = materials[index].friction;
    restitution = materials[index].restitution;
    density = materials[index].density;
    return true;
}

RbCollisionCallback RbSimulator::SetCollisionCallback(RbCollisionCallback callback) {
    RbCollisionCallback previous = collisionCallback;
    collisionCallback = callback;
    return previous;
}

void RbSimulator::SetTerrainTriangleBounds(const RbTriangle* triangles, const RbVector* vertices,
                                           const RbTriangleBounds* bounds, int count) {
    boundsTriangles = triangles;
    boundsVertices = vertices;
    triangleBounds = bounds;
    boundsCount = bounds ? count : 0;
}

RbTerrainQueryCallback RbSimulator::SetTerrainQueryCallback(RbTerrainQueryCallback callback) {
    terrainQueryCallback = callback;
    return callback;
}

void RbSimulator::SetLogCallback(RbLogCallback callback, void* context) {
    logCallback = callback;
    logContext = context;
}

void RbSimulator::Log(int level, const char* format, ...) {
    if (!logCallback || logLevel < level)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(logBuffer, sizeof(logBuffer), format, args);
    va_end(args);
    logCallback(level, logBuffer, logContext);
}

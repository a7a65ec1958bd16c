// The collision passes of a step: body against body over the broad phase's
// pairs, then every moving rigid body against the terrain triangles near it.
// Contacts are filtered through the collision table, registered (impulse,
// positional correction, resting record) and reported to the game.

#include "Physics/Simulator/RbNarrowPhase.h"
#include "Physics/Simulator/RbReachBox.h"
#include "Physics/Simulator/RbSensorTest.h"
#include "Physics/Simulator/RbSimulator.h"
#include "Physics/Simulator/RbSolver.h"
#include "Physics/Simulator/RbTriangle.h"

#include <cmath>

namespace {

bool IsResting(const RbBody* body) {
    return body->isRigid && static_cast<const RbRigidBody*>(body)->restState == kRbResting;
}

bool HadContact(const RbBody* body) {
    return body->isRigid && static_cast<const RbRigidBody*>(body)->contactLastStep != 0;
}

// A normal that can carry an impulse: finite and not zero.
bool IsUsableNormal(const RbVector& n) {
    return RbIsFinite(n) && RbAnyComponentAtLeast(n, 1e-6f);
}

int ReportType(const RbBody* body) {
    return body->isRigid ? 1 : 2;
}

// A rest-record template for the upper body of a contact.
RbRestRecord RestTemplate(const RbVector& ownPoint, const RbVector& supportPoint, const RbVector& normal,
                          RbBody* support, int material, int supportMaterial) {
    RbRestRecord t;
    t.localPoint = ownPoint;
    t.supportLocalPoint = supportPoint;
    t.supportNormal = RbToFrame(normal, support->WorldTransform().row);
    t.support = support;
    t.material = material;
    t.supportMaterial = supportMaterial;
    return t;
}

// What of the body's shapes can meet the terrain, where they are now: its
// bounds box (tested first when it has several geometries) and each geometry.
RbReachBox ShapesReach(const RbBody& body, const RbMatrix4& transform) {
    RbReachBox reach =
        RbReachBox::Shape(body.localBounds, RbCompose(body.localBounds.localTransform, transform));
    for (const RbGeometry* g = body.geometries.head; g; g = g->poolNext)
        reach.Include(RbReachBox::Shape(*g, RbCompose(g->localTransform, transform)));
    return reach;
}

// What of the body can meet the terrain in its tests: its shapes and its
// sensor lines, placed in the terrain's frame (sensorCount starts and lines).
RbReachBox BodyReach(const RbBody& body, const RbMatrix4& transform, const RbVector* starts,
                     const RbVector* lines, std::size_t sensorCount) {
    RbReachBox reach = ShapesReach(body, transform);
    for (std::size_t i = 0; i < sensorCount; ++i)
        reach.Include(RbReachBox::Segment(starts[i], starts[i] + lines[i]));
    return reach;
}

// Drops every listing of a triangle that is listed again later. A sensor
// keeps the last of equal depths, so the later listing, which gives the same
// hit, decides whatever an earlier one did; dropping the earlier ones changes
// nothing. Short lists only: the search is quadratic.
std::size_t KeepLastListings(int* list, std::size_t count) {
    constexpr std::size_t Longest = 64;
    if (count > Longest)
        return count;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        bool later = false;
        for (std::size_t j = i + 1; j < count; ++j)
            later |= list[j] == list[i];
        list[kept] = list[i];
        kept += later ? 0 : 1;
    }
    return kept;
}

} // namespace

void RbSimulator::CheckBodyCollisions() {
    for (const RbOverlapPair* pair = region.ActivePairs().head; pair; pair = pair->poolNext)
        CheckBodyPair(pair->bodyA, pair->bodyB);
}

void RbSimulator::CheckBodyPair(RbBody* a, RbBody* b) {
    if (!a->isRigid && !b->isRigid)
        return;
    int code = collisionTable.Get(a->collisionGroup, b->collisionGroup);
    if (code == 0)
        return;
    if (a->isRigid != b->isRigid) {
        const RbBody* rigid = a->isRigid ? a : b;
        const auto* animated = static_cast<const RbAnimatedBody*>(a->isRigid ? b : a);
        if (IsResting(rigid) && !HadContact(rigid) && !animated->moved)
            return;
    } else if (IsResting(a) && IsResting(b) && !HadContact(a) && !HadContact(b)) {
        return;
    }
    const RbMatrix4& transformA = a->WorldTransform();
    const RbMatrix4& transformB = b->WorldTransform();
    RbCollisionResult record;
    RbTestGeometries(record, a, transformA, b, transformB, {});
    if (a->isRigid)
        RbSensorTest(a->sensors.head, transformA, *b, transformB, b);
    if (b->isRigid)
        RbSensorTest(b->sensors.head, transformB, *a, transformA, a);
    if (!record.hasContact)
        return;
    HandleContact(a, b, record, code, bodyContactInfo);
}

void RbSimulator::CheckTerrainCollisions() {
    terrainBody.worldTransform = RbMatrix4();
    for (RbBodyLists* lists : {&rigidLists, &particleLists})
        for (RbBody* body = lists->active.head; body; body = body->poolNext)
            CheckTerrain(static_cast<RbRigidBody*>(body));
    for (RbBodyLists* lists : {&rigidLists, &particleLists}) {
        for (RbBody* body = lists->active.head; body; body = body->poolNext) {
            auto* rigid = static_cast<RbRigidBody*>(body);
            rigid->contactLastStep = rigid->contactThisStep;
            rigid->contactThisStep = 0;
        }
    }
}

void RbSimulator::CheckTerrain(RbRigidBody* body) {
    // Without a query there is no terrain: the world's own triangle tree is
    // never filled.
    if (!terrainQueryCallback || (body->restState == kRbResting && !body->contactLastStep))
        return;
    int candidateCount = 0, triangleCount = 0;
    terrainQueryCallback(body->worldMin, body->worldMax, &terrainCandidates, &terrainTriangles,
                         &terrainVertices, &candidateCount, &triangleCount, body);
    Lap(kRbTerrainQuerySlot);
    if (!terrainCandidates || !terrainTriangles || !terrainVertices || candidateCount < 0 ||
        triangleCount < 0)
        candidateCount = triangleCount = 0;
    const RbMatrix4& transform = body->WorldTransform();
    RbCollisionResult record;
    if (cullTerrain && GatherNearTriangles(*body, transform, candidateCount, triangleCount))
        TestNearTriangles(*body, transform, triangleCount, record);
    else
        TestCandidates(*body, transform, candidateCount, triangleCount, record);
    if (record.hasContact)
        HandleContact(body, &terrainBody, record,
                      collisionTable.Get(body->collisionGroup, RbCollisionTable::Terrain),
                      terrainContactInfo);
    terrainBody.localBounds.MakeTriangleSet(nullptr, nullptr, nullptr, nullptr, 0);
    terrainCandidates = nullptr;
    terrainTriangles = nullptr;
    terrainVertices = nullptr;
}

// Copies the candidates that can meet the body into nearTriangles, keeping
// their order and repeats, with the box of each in nearBounds. Candidate
// numbers outside the triangle array are left out, as the tests skip them
// anyway. False when the lists cannot grow; the tests then take the whole
// candidate list.
bool RbSimulator::GatherNearTriangles(const RbBody& body, const RbMatrix4& transform, int candidateCount,
                                      int triangleCount) {
    PlaceSensors(body, transform);
    const RbReachBox reach =
        BodyReach(body, transform, sensorStarts.begin(), sensorLines.begin(), placedSensors).Grown();
    const auto room = static_cast<std::size_t>(candidateCount);
    if (!nearTriangles.Reserve(room) || !nearBounds.Reserve(room))
        return false;
    const std::size_t kept = HasTriangleBounds(triangleCount)
                                 ? KeepNearByBounds(reach, candidateCount, triangleCount)
                                 : KeepNearByVertices(reach, candidateCount, triangleCount);
    nearTriangles.SetCount(kept);
    nearBounds.SetCount(kept);
    return pickedTriangles.Reserve((1 + placedSensors) * kept);
}

// Each sensor's start and line in the terrain's frame, made once for the
// step's terrain pass of the body and read by the culling and the sensor
// tests alike. The arrays hold room for every sensor of the world.
void RbSimulator::PlaceSensors(const RbBody& body, const RbMatrix4& transform) {
    const RbMatrix4 placed = TerrainPlacement();
    placedSensors = 0;
    for (const RbSensor* s = body.sensors.head; s; s = s->poolNext, ++placedSensors)
        RbSensorInFrame(*s, transform, placed, sensorStarts[placedSensors], sensorLines[placedSensors]);
}

// Whether the boxes handed over belong to the arrays the query answered with.
bool RbSimulator::HasTriangleBounds(int triangleCount) const {
    return triangleBounds && terrainTriangles == boundsTriangles && terrainVertices == boundsVertices &&
           triangleCount <= boundsCount;
}

// The near candidates by the boxes handed over: the candidates are passed
// once, reading four floats a side of each, and only the near ones' boxes are
// copied.
std::size_t RbSimulator::KeepNearByBounds(const RbReachBox& reach, int candidateCount, int triangleCount) {
    // Locals, so that the writes into the lists cannot be taken to change them.
    const RbTriangleBounds* bounds = triangleBounds;
    int* near = nearTriangles.begin();
    std::size_t kept = 0;
    const auto count = static_cast<unsigned>(triangleCount);
    // Unrolled: the loop's own counting is a fifth of a pass this short.
#pragma GCC unroll 8
    for (const int* index = terrainCandidates; index != terrainCandidates + candidateCount; ++index) {
        // One compare for both ends: a negative number turns into a huge one.
        if (static_cast<unsigned>(*index) >= count)
            continue;
        near[kept] = *index;
        kept += reach.Excludes(bounds[*index]) ? 0 : 1;
    }
    RbTriangleBounds* nearBox = nearBounds.begin();
    for (std::size_t i = 0; i < kept; ++i)
        nearBox[i] = bounds[near[i]];
    return kept;
}

// The near candidates by boxes made from their vertices.
std::size_t RbSimulator::KeepNearByVertices(const RbReachBox& reach, int candidateCount, int triangleCount) {
    const RbTriangle* triangles = terrainTriangles;
    const RbVector* vertices = terrainVertices;
    int* near = nearTriangles.begin();
    RbTriangleBounds* nearBox = nearBounds.begin();
    std::size_t kept = 0;
    for (const int* index = terrainCandidates; index != terrainCandidates + candidateCount; ++index) {
        if (*index < 0 || *index >= triangleCount)
            continue;
        const int* corner = triangles[*index].vertex;
        const RbTriangleBounds box =
            RbTriangleBounds::Of(vertices[corner[0]], vertices[corner[1]], vertices[corner[2]]);
        near[kept] = *index;
        nearBox[kept] = box;
        kept += reach.Excludes(box) ? 0 : 1;
    }
    return kept;
}

// Picks, by the boxes kept beside the near list, the near triangles within
// each of the first reachCount reaches of pickReaches into slice r of
// pickedTriangles (each slice as long as the near list), and their number
// into pickedCounts[r]. One pass over the boxes per reach, which stays in
// registers all the way.
void RbSimulator::PickNearTriangles(std::size_t reachCount) {
    const std::size_t nearCount = nearTriangles.Count();
    const int* near = nearTriangles.begin();
    const RbTriangleBounds* nearBox = nearBounds.begin();
    for (std::size_t r = 0; r < reachCount; ++r) {
        const RbReachBox reach = pickReaches[r];
        int* slice = pickedTriangles.begin() + r * nearCount;
        std::size_t count = 0;
        // Unrolled, as the pass over the candidates.
#pragma GCC unroll 8
        for (std::size_t i = 0; i < nearCount; ++i) {
            slice[count] = near[i];
            count += reach.Excludes(nearBox[i]) ? 0 : 1;
        }
        pickedCounts[r] = count;
    }
}

// The body's shapes against the near triangles within their reach, each
// shape culling further by its own; then each sensor against those within
// its reach, only the last listing of each (KeepLastListings).
void RbSimulator::TestNearTriangles(RbRigidBody& body, const RbMatrix4& transform, int triangleCount,
                                    RbCollisionResult& record) {
    const std::size_t reachCount = 1 + placedSensors;
    RbReachBox* reach = pickReaches.begin();
    reach[0] = ShapesReach(body, transform).Grown();
    const RbVector* start = sensorStarts.begin();
    const RbVector* line = sensorLines.begin();
    for (std::size_t r = 1; r < reachCount; ++r)
        reach[r] = RbReachBox::Segment(start[r - 1], start[r - 1] + line[r - 1]).Grown();
    PickNearTriangles(reachCount);

    RbGeometry& terrain = terrainBody.localBounds;
    const std::size_t nearCount = nearTriangles.Count();
    int* picked = pickedTriangles.begin();
    const std::size_t* counts = pickedCounts.begin();
    terrain.MakeTriangleSet(picked, picked + counts[0], &terrainTriangles, terrainVertices, triangleCount);
    terrain.cullTriangles = true;
    RbTestGeometries(record, &body, transform, &terrainBody, terrainBody.worldTransform, {});
    // Each sensor's list is culled for it already.
    terrain.cullTriangles = false;
    const RbMatrix4 placed = TerrainPlacement();
    std::size_t r = 1;
    for (RbSensor* sensor = body.sensors.head; r < reachCount; sensor = sensor->poolNext, ++r) {
        int* slice = picked + r * nearCount;
        const std::size_t kept = KeepLastListings(slice, counts[r]);
        terrain.MakeTriangleSet(slice, slice + kept, &terrainTriangles, terrainVertices, triangleCount);
        RbPlacedSensorTest(*sensor, start[r - 1], line[r - 1], terrain, placed, &terrainBody);
    }
}

// The body's shapes and sensors against every candidate, each culling by its
// own reach when culling is on.
void RbSimulator::TestCandidates(RbRigidBody& body, const RbMatrix4& transform, int candidateCount,
                                 int triangleCount, RbCollisionResult& record) {
    RbGeometry& terrain = terrainBody.localBounds;
    terrain.MakeTriangleSet(terrainCandidates, terrainCandidates + candidateCount, &terrainTriangles,
                            terrainVertices, triangleCount);
    terrain.cullTriangles = cullTerrain;
    RbTestGeometries(record, &body, transform, &terrainBody, terrainBody.worldTransform, {});
    RbSensorTest(body.sensors.head, transform, terrainBody, terrainBody.worldTransform, &terrainBody);
}

void RbSimulator::HandleContact(RbBody* a, RbBody* b, RbCollisionResult& record, int code,
                                RbCollisionInfo& info) {
    record.bodyA = a;
    record.bodyB = b;
    if ((code & 1) && IsUsableNormal(record.normal)) {
        RegisterCollision(a, b, record);
    } else {
        // The report carries the relative velocity even when no impulse is
        // applied.
        record.relativeVelocity = a->GetVelocityAtPoint(record.pointA) - b->GetVelocityAtPoint(record.pointB);
    }
    if (!(code & 2) || !collisionCallback)
        return;
    bool terrain = b == &terrainBody;
    info.bodyA = a;
    info.bodyB = b;
    info.typeA = ReportType(a);
    info.typeB = terrain ? 0 : ReportType(b);
    info.geometryA = record.geometryA;
    info.geometryB = terrain ? nullptr : record.geometryB;
    info.materialIdA = record.materialA;
    info.materialIdB = record.materialB;
    info.bodyContactPointA = record.bodyPointA;
    info.bodyContactPointB = record.bodyPointB;
    info.worldContactPointA = record.worldPointA;
    info.worldContactPointB = record.worldPointB;
    info.relativeVelocity = record.relativeVelocity;
    info.collisionNormal = record.normal;
    collisionCallback(&info);
}

void RbSimulator::RegisterCollision(RbBody* a, RbBody* b, RbCollisionResult& record) {
    record.bodyA = a;
    record.bodyB = b;
    record.kind = RB_ROW_COLLISION;
    if (a->isRigid && !a->IsParticle() && b->IsParticle()) {
        record.Prepare(false, false);
        RbResolveCollision(*this, a, b, record, RB_SOLVE_COLLISION, 1.0f);
        CorrectPosition(static_cast<RbRigidBody*>(b), -record.normal * record.depth);
        return;
    }
    record.relativeVelocity = a->GetVelocityAtPoint(record.pointA) - b->GetVelocityAtPoint(record.pointB);
    const RbVector& n = record.normal;
    bool aBelow = RbDot(n, gravityDirection) >= 0.0f;
    RbBody* upper = aBelow ? b : a;
    if (upper->isRigid) {
        record.Prepare(false, false);
        RbResolveCollision(*this, a, b, record, RB_SOLVE_COLLISION, 1.0f);
        auto* resting = static_cast<RbRigidBody*>(upper);
        if (aBelow)
            resting->AddStackContact(RestTemplate(record.bodyPointB, record.bodyPointA, -n, a,
                                                  record.materialB, record.materialA));
        else
            resting->AddStackContact(
                RestTemplate(record.bodyPointA, record.bodyPointB, n, b, record.materialA, record.materialB));
        return;
    }
    // The upper side cannot rest (a wall, an overhang): the lower rigid side
    // is pushed out of the penetration at once.
    RbBody* lower = aBelow ? a : b;
    if (lower->isRigid)
        CorrectPosition(static_cast<RbRigidBody*>(lower), (lower == a ? n : -n) * record.depth);
    record.Prepare(false, false);
    RbResolveCollision(*this, a, b, record, RB_SOLVE_COLLISION, 1.0f);
}

void RbSimulator::CorrectPosition(RbRigidBody* body, const RbVector& offset) {
    body->transform.SetPosition(body->GetPosition() + offset);
    body->contactThisStep = 1;
}

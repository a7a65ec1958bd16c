#include "Physics/Simulator/RbSolver.h"

#include "Physics/Simulator/RbSimulator.h"
#include "Physics/Simulator/RbStackHeader.h"

#include <algorithm>
#include <cmath>

namespace {

// Resting rows: depth cap, allowed penetration per unit of gravity, and the
// share of the remaining penetration removed per step.
constexpr float MaxRestingDepth = 0.05f;
constexpr float AllowedPenetration = 0.001f;
constexpr float CorrectionFactor = 0.5f;

RbRigidBody* RigidSide(RbBody* body) {
    return body && body->isRigid ? static_cast<RbRigidBody*>(body) : nullptr;
}

RbVector ContactVelocity(const RbRigidBody* body, const RbVector& leverArm) {
    return body ? body->velocity + RbCross(body->angularVelocity, leverArm) : RbVector();
}

// Friction and restitution of a material; an index outside the table counts
// as material 0.
void MaterialOf(const RbSimulator& world, int index, float& friction, float& restitution) {
    float density = 0.0f;
    if (!world.GetMaterial(index, friction, restitution, density))
        world.GetMaterial(0, friction, restitution, density);
}

// Changes a body's velocities by an impulse at a lever arm as the resting
// rows do: the orientation rate is left to the next integration.
void PushRestingBody(RbRigidBody& body, const RbVector& impulse, const RbVector& leverArm) {
    body.velocity += impulse * body.inverseMass;
    body.angularMomentum += RbCross(leverArm, impulse);
    body.angularVelocity = RbRotate(body.angularMomentum, body.inverseWorldInertia);
}

void SetRowVelocity(RbCollisionResult& row, const RbRigidBody* a, const RbRigidBody* b) {
    RbVector relative = ContactVelocity(a, row.pointA) - ContactVelocity(b, row.pointB);
    row.relativeVelocity = relative;
    row.frameVelocity = {RbDot(relative, row.tangent1), RbDot(relative, row.tangent2),
                         RbDot(relative, row.normal)};
    row.relativeSpeed = RbSafeLength(row.frameVelocity);
}

RbVector ToWorld(const RbCollisionResult& row, const RbVector& p) {
    return row.tangent1 * p.x + row.tangent2 * p.y + row.normal * p.z;
}

} // namespace

void RbUpdateRowVelocity(RbCollisionResult& row) {
    SetRowVelocity(row, RigidSide(row.bodyA), RigidSide(row.bodyB));
}

RbVector RbContactImpulse(const RbSimulator& world, const RbCollisionResult& row, bool noRestitution) {
    const RbVector& v = row.frameVelocity;
    float normalTerm = row.collisionMatrix.At(2, 2);
    if (!(normalTerm > 1e-12f))
        return {}; // neither side can move along the normal
    float t0 = -v.z / normalTerm;
    RbVector u = -RbRotate(v, row.inverseCollisionMatrix); // K^-1 is symmetric
    float frictionA, restitutionA, frictionB, restitutionB;
    MaterialOf(world, row.materialA, frictionA, restitutionA);
    MaterialOf(world, row.materialB, frictionB, restitutionB);
    float mu = std::min(frictionA, frictionB);
    float e = noRestitution ? 0.0f : std::min(restitutionA, restitutionB);
    RbVector p = {u.x, u.y, u.z + e * t0};
    if ((mu * p.z) * (mu * p.z) >= p.x * p.x + p.y * p.y)
        return p;
    float tangential = std::sqrt(u.x * u.x + u.y * u.y);
    float d = tangential - mu * (u.z - t0);
    if (std::fabs(d) <= 1e-6f)
        return {};
    float k = mu * (1.0f + e) * t0 / d;
    return {k * u.x, k * u.y, (1.0f + e) * t0 + k * (u.z - t0)};
}

float RbResolveCollision(RbSimulator& world, RbBody* bodyA, RbBody* bodyB, RbCollisionResult& row,
                         ERbSolveMode mode, float scale) {
    RbRigidBody* a = RigidSide(bodyA);
    RbRigidBody* b = RigidSide(bodyB);
    if (!a && !b)
        return 0.0f;
    SetRowVelocity(row, a, b);
    if (mode == RB_SOLVE_RESTING) {
        RbSolveRestingRow(world, row);
        return 0.0f;
    }
    if (row.frameVelocity.z >= 0.0f)
        return 0.0f;
    RbVector p = RbContactImpulse(world, row, false);
    if (!RbIsFinite(p))
        return 0.0f;
    RbVector impulse = ToWorld(row, p) * scale;
    if (a)
        a->ApplyImpulseAt(impulse, row.pointA);
    if (b)
        b->ApplyImpulseAt(-impulse, row.pointB);
    return 0.0f;
}

float RbSolveRestingRow(RbSimulator& world, RbCollisionResult& row) {
    bool positionPass = world.NoRestitution();
    RbVector p;
    if (row.frameVelocity.z < 0.0f) {
        p = RbContactImpulse(world, row, positionPass);
        row.frameVelocity.z = 0.0f;
    }
    if (row.depth > MaxRestingDepth)
        row.depth = MaxRestingDepth;
    float excess = row.depth - AllowedPenetration * world.GravityLength();
    float result = 0.0f;
    if (row.depth > 0.0f && excess > 0.0f && positionPass) {
        float correction = CorrectionFactor * excess * world.InverseStepTime();
        if (correction > row.frameVelocity.z) {
            float e = correction - 0.5f * row.frameVelocity.z;
            const RbMatrix3& inverse = row.inverseCollisionMatrix;
            p += RbVector(inverse.At(2, 0), inverse.At(2, 1), inverse.At(2, 2)) * e;
            result = std::fabs(e);
        }
    }
    if (!RbIsFinite(p))
        return 0.0f;
    RbVector impulse = ToWorld(row, p);
    if (RbRigidBody* a = RigidSide(row.bodyA))
        PushRestingBody(*a, impulse, row.pointA);
    RbRigidBody* b = RigidSide(row.bodyB);
    if (b && !world.LastIteration())
        PushRestingBody(*b, -impulse, row.pointB);
    return result;
}

float RbSolveRow(RbSimulator& world, RbCollisionResult& row) {
    if (row.kind != RB_ROW_RESTING)
        return 0.0f;
    RbUpdateRowVelocity(row);
    return RbSolveRestingRow(world, row);
}

void RbSimulator::SolveRows(int iterations) {
    noRestitution = 0;
    if (restingRows.Count() == 0)
        return;
    if (iterations == -1)
        iterations = 4;
    lastIteration = 0;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            noRestitution = 1;
        for (int j = 0; j < iterations; ++j) {
            if (pass == 1 && j == iterations - 1)
                lastIteration = 1;
            for (std::size_t i = restingRows.Count(); i-- > 0;)
                RbSolveRow(*this, restingRows[i]);
            if (pass == 1 && j == iterations - 2)
                for (RbCollisionResult& row : restingRows)
                    if (row.kind == RB_ROW_RESTING)
                        row.Prepare(false, true);
        }
    }
    restingRows.Clear();
}

void RbSimulator::ResolveContacts() {
    noRestitution = 1;
    restingRows.Clear();
    for (RbStackInfo* info = singleBodies.members.head; info; info = info->poolNext) {
        RbRigidBody* body = info->body;
        if (body->restState == kRbResting || !body->integrated)
            continue;
        body->BuildRestRows(false);
        if (restingRows.Count() == 0)
            continue;
        for (RbCollisionResult& row : restingRows)
            RbResolveCollision(*this, row.bodyA, row.bodyB, row, RB_SOLVE_RESTING, 1.0f);
        restingRows.Clear();
        if (body->IsIdle() && body->CheckRestDrift() && body->CheckRestPoints() != 0)
            body->PutToRest();
    }
    for (RbStackHeader* header = stackHeaders.head; header;) {
        RbStackHeader* next = header->poolNext;
        if (header->members.count <= 1)
            header->Dissolve();
        header = next;
    }
    for (RbStackHeader* header = stackHeaders.head; header; header = header->poolNext) {
        if (header->allResting)
            continue;
        stackWorkList.Clear();
        groupList.Clear();
        contactGroup.Clear();
        restingRows.Clear();
        header->GatherGroup();
        Lap(kRbStackGatherSlot);
        SolveRows(2);
        Lap(kRbContactsSlot);
        if (contactGroup.AllIdle())
            contactGroup.PutToRest(true);
    }
    contactGroup.Clear();
    restingRows.Clear();
}

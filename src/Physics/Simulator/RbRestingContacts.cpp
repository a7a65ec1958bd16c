// Resting contacts: a rigid body's remembered support points decide when it
// may stop moving, when it must wake again and which resting rows hold it on
// its supports.

#include "Physics/Simulator/RbAnimatedBody.h"
#include "Physics/Simulator/RbSimulator.h"
#include "Physics/Simulator/RbSolver.h"
#include "Physics/Simulator/RbStackHeader.h"

#include <algorithm>
#include <cmath>

namespace {

// Record refresh limits: a record whose normal turned along gravity, whose
// gap exceeds 0.01 or whose tangential drift exceeds sqrt(0.001) is dropped.
constexpr float MaxRestGap = 0.01f;
constexpr float MaxRestDrift = 0.001f;
// Row build drops a record drifting further than sqrt(0.025).
constexpr float MaxRowDrift = 0.025f;
// Two points resting on a line through the centre, or one under it.
constexpr float MaxCentreOffset = 0.005f;
// The drift test: own point and support point apart by more than sqrt(0.002).
constexpr float MaxPointDrift = 0.002f;
constexpr int IdleWindowSteps = 60;

} // namespace

void RbRestRecord::Update() {
    worldPoint = RbTransformPoint(localPoint, owner->WorldTransform());
    supportWorldPoint = UpdateSupportFrame();
    separation = worldPoint - supportWorldPoint;
    normalSeparation = RbDot(worldNormal, separation);
    tangentialDrift = RbLengthSquared(separation - worldNormal * normalSeparation);
}

RbVector RbRestRecord::UpdateSupportFrame() {
    const RbMatrix4& frame = support->WorldTransform();
    worldNormal = RbRotate(supportNormal, frame);
    return RbTransformPoint(supportLocalPoint, frame);
}

bool RbRestRecord::IsSupportSettled() const {
    if (support->isRigid)
        return static_cast<const RbRigidBody*>(support)->restState == kRbResting;
    return static_cast<const RbAnimatedBody*>(support)->moved == 0;
}

bool RbRestRecord::IsSupportPresent(const RbSimulator& world) const {
    return support == &world.TerrainBody() || (support->InUse() && support->IsActive());
}

bool RbPointInInflatedTriangle(const RbVector& a, const RbVector& b, const RbVector& c) {
    RbVector centroid = (a + b + c) * 0.33333334f;
    RbVector p[3] = {a, b, c};
    for (RbVector& v : p)
        v = centroid + (v - centroid) * 1.1f;
    float cross[3];
    for (int i = 0; i < 3; ++i) {
        const RbVector& u = p[i];
        const RbVector& v = p[(i + 1) % 3];
        cross[i] = u.x * v.y - u.y * v.x;
    }
    return (cross[0] > 0 && cross[1] > 0 && cross[2] > 0) || (cross[0] < 0 && cross[1] < 0 && cross[2] < 0);
}

int RbRigidBody::CheckRestingContacts() {
    if (!stackInfo)
        return 0;
    RbRestRecord* records = restBlock.records;
    int count = 0;
    if (restState == kRbResting && !contactLastStep) {
        bool settled = true;
        for (int k = 0; k < 3; ++k) {
            if (records[k].state == kRbNoSupport)
                continue;
            ++count;
            settled = settled && records[k].IsSupportSettled();
        }
        if (settled)
            return count;
        count = 0;
    }
    for (int k = 0; k < 3; ++k) {
        RbRestRecord& record = records[k];
        if (record.state == kRbNoSupport)
            continue;
        record.Update();
        if (RbDot(record.worldNormal, simulator->GravityDirection()) > 0.0f ||
            record.normalSeparation > MaxRestGap || record.tangentialDrift > MaxRestDrift) {
            record.Drop();
            restBlock.validPointCount = 0;
        } else {
            ++count;
        }
    }
    stackInfo->unsupported = count == 0 ? 1 : 0;
    return count;
}

// One resting row for record k; kept when link is set or when the row is not
// one between two resting bodies.
static void AddRestRow(RbRigidBody& body, RbRestRecord& record, bool link) {
    RbCollisionResult row;
    row.kind = RB_ROW_RESTING;
    row.bodyA = &body;
    row.bodyB = record.support;
    row.pointA = record.worldPoint - body.GetPosition();
    row.pointB = record.supportWorldPoint - record.support->WorldTransform().Position();
    row.normal = record.worldNormal;
    row.depth = -record.normalSeparation;
    row.materialA = record.material;
    row.materialB = record.supportMaterial;
    row.hasContact = 1;
    row.Prepare(false, false);
    if (link) {
        body.simulator->AddRestingRow(row);
        return;
    }
    // The row's relative speed decides whether a resting support may be left
    // out of the row, so it is measured before the test.
    RbUpdateRowVelocity(row);
    if (!row.Validate())
        body.simulator->AddRestingRow(row);
}

int RbRigidBody::BuildRestRows(bool link) {
    RbRestBlock& block = restBlock;
    int candidates[3];
    int candidateCount = 0;
    for (int k = 0; k < 3; ++k) {
        RbRestRecord& record = block.records[k];
        if (record.state == kRbNoSupport)
            continue;
        if (!record.IsSupportPresent(*simulator)) {
            record.Drop();
            continue;
        }
        record.Update();
        if (record.tangentialDrift <= MaxRowDrift) {
            candidates[candidateCount++] = k;
        } else {
            record.Drop();
            block.validPointCount = 0;
        }
    }
    block.validPointCount = 0;
    if (candidateCount == 0)
        return 0;
    if (candidateCount == 1 && block.records[candidates[0]].normalSeparation < 0.0f) {
        AddRestRow(*this, block.records[candidates[0]], link);
        return 1;
    }
    for (int i = 0; i < candidateCount; ++i) {
        RbRestRecord& record = block.records[candidates[i]];
        if (record.normalSeparation > MaxRestGap)
            continue;
        AddRestRow(*this, record, link);
        block.validPoints[block.validPointCount++] = candidates[i];
    }
    return block.validPointCount;
}

int RbRigidBody::CheckRestPoints() const {
    if (!RbAnyComponentAtLeast(forceAccumulator, 1e-6f))
        return 3;
    RbVector t1, t2;
    RbFrameFromNormal(RbSafeNormalise(forceAccumulator), t1, t2);
    RbVector centre = GetPosition();
    auto project = [&](const RbRestRecord& record) {
        RbVector d = record.worldPoint - centre;
        return RbVector(RbDot(d, t1), RbDot(d, t2), 0.0f);
    };
    const RbRestBlock& block = restBlock;
    auto listed = [&block](int i) -> const RbRestRecord& { return block.records[block.validPoints[i]]; };
    switch (block.validPointCount) {
    case 3: {
        for (int i = 0; i < 3; ++i)
            if (!listed(i).IsSupportSettled())
                return 0;
        return RbPointInInflatedTriangle(project(listed(0)), project(listed(1)), project(listed(2))) ? 3 : 0;
    }
    case 2: {
        for (int i = 0; i < 2; ++i)
            if (listed(i).state == kRbNoSupport || !listed(i).IsSupportSettled())
                return 0;
        RbVector a = project(listed(0));
        RbVector e = RbSafeNormalise(project(listed(1)) - a);
        RbVector foot = a - e * RbDot(a, e);
        return RbLengthSquared(foot) < MaxCentreOffset * MaxCentreOffset ? 2 : 0;
    }
    case 1: {
        const RbRestRecord& record = listed(0);
        if (record.state != kRbNoSupport && record.IsSupportSettled() &&
            RbLengthSquared(project(record)) < MaxCentreOffset * MaxCentreOffset)
            return 1;
        return 0;
    }
    default:
        return 0;
    }
}

bool RbRigidBody::CheckRestDrift() {
    if (!stackInfo || stackInfo->supportOnly)
        return false;
    RbRestBlock& block = restBlock;
    if (block.validPointCount != 2 && block.validPointCount != 3)
        return false;
    for (int i = 0; i < block.validPointCount; ++i) {
        RbRestRecord& record = block.records[block.validPoints[i]];
        if (record.state == kRbNoSupport) {
            block.validPointCount = 0;
            return false;
        }
        RbVector own = RbTransformPoint(record.localPoint, transform);
        if (RbLengthSquared(own - record.UpdateSupportFrame()) > MaxPointDrift) {
            record.Drop();
            block.validPointCount = 0;
            return false;
        }
    }
    return true;
}

// The rotation angle between two unit quaternions.
static float RotationAngle(const RbVector& q, const RbVector& reference) {
    // Relative rotation q * conj(reference): real part and vector part.
    float real = q.w * reference.w + q.x * reference.x + q.y * reference.y + q.z * reference.z;
    RbVector vector = RbCross(reference, q) + q * reference.w - reference * q.w;
    if (std::fabs(real - 1.0f) < 1e-6f || RbLengthSquared(vector) < 1e-6f)
        return 0.0f;
    return 2.0f * std::acos(std::clamp(real, -1.0f, 1.0f));
}

bool RbRigidBody::IsIdle() {
    if (idleReferenceSteps < IdleWindowSteps)
        return false;
    float window = IdleWindowSteps * simulator->StepTime();
    bool moved = std::sqrt(RbLengthSquared(GetPosition() - idleReferencePosition)) / window > idleDistance ||
                 RbSafeLength(velocity - idleReferenceVelocity) / window > 5.0f ||
                 RotationAngle(orientation, idleReferenceOrientation) / window > 10.0f ||
                 RbSafeLength(angularVelocity - idleReferenceAngularVelocity) / window > 10.5f;
    if (moved) {
        TakeIdleReference();
        return false;
    }
    return true;
}

bool RbRigidBody::IsMovingFast() const {
    return RbLengthSquared(velocity) + RbLengthSquared(angularVelocity) >= simulator->RestSpeedLimit();
}

bool RbRigidBody::HoldAtRest() {
    if (IsMovingFast()) {
        WakeUp();
        return false;
    }
    if (isParticle || CheckRestPoints() != 0) {
        PutToRest();
        RunControllers();
        return true;
    }
    return false;
}

void RbRigidBody::UpdateRestState() {
    float limit = simulator->RestSpeedLimit();
    if (RbLengthSquared(velocity) < limit && RbLengthSquared(angularVelocity) < limit) {
        idleSteps += 1;
    } else {
        RbVector linear, angular;
        for (int i = 0; i < 10; ++i) {
            linear += restBlock.velocityHistory[i];
            angular += restBlock.angularVelocityHistory[i];
        }
        linear = linear * 0.1f;
        angular = angular * 0.1f;
        const RbVector& down = simulator->GravityDirection();
        float along = RbDot(linear, down);
        if (along > 0.0f)
            linear -= down * along;
        if (RbLengthSquared(linear) > 2.0f || RbLengthSquared(angular) > 1.0f) {
            idleSteps = 0;
            return;
        }
        idleSteps += 1;
    }
    if (idleSteps <= 10 || !stackInfo || !CheckRestDrift())
        return;
    int support = CheckRestPoints();
    if (support >= 3 || (support == 2 && idleSteps > 100))
        PutToRest();
}

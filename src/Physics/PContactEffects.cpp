#include "Physics/PContactEffects.h"

#include "Core/PGlobalTimer.h"
#include "Core/PObject.h"
#include "Core/PSettings.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbBody.h"
#include "Physics/Simulator/RbCollisionInfo.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/VectorConversions.h"
#include "Platform/Random.h"
#include "Sound/NAudio.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

CPObject* ObjectOf(const RbBody* body) {
    return body ? static_cast<CPObject*>(body->GetUserData()) : nullptr;
}

RbVector VelocityOf(const RbBody* body) {
    return body && body->isRigid ? static_cast<const RbRigidBody*>(body)->GetVelocity() : RbVector();
}

// Every car taking part in a contact learns of it.
void MarkCollided(const RbBody* body, int materialId) {
    CPObject* object = ObjectOf(body);
    if (materialId == 1 && object)
        g_PhysicsServices.markCollided(object);
}

// Dents the object's mesh at the point, toward the object's position.
void Dent(CPObject* object, const RbVector& point, float amount) {
    RbVector direction = RbSafeNormalise(ToRb(g_PhysicsServices.position(object)) - point);
    g_PhysicsServices.deformParts(object, ToD3D(point), ToD3D(direction), amount);
}

// A spark count from a scaled impact speed, bounded before it becomes an
// integer so that no speed converts out of range.
int SparkCount(float wanted) {
    if (!(wanted > 0.0f))
        return 0;
    return static_cast<int>(std::min(wanted, static_cast<float>(CPContactEffects::FrameSparkBudget)));
}

float Draw() {
    return static_cast<float>(PlatRand()) / static_cast<float>(PLAT_RAND_MAX);
}

float Degrees(int value) {
    return static_cast<float>(value) * std::numbers::pi_v<float> / 180.0f;
}

} // namespace

void CPContactEffects::OnCollision(const RbCollisionInfo& info) {
    if (g_FrameCounter != frameStamp) {
        frameStamp = g_FrameCounter;
        timer += g_FrameTime;
    }
    MarkCollided(info.bodyA, info.materialIdA);
    MarkCollided(info.bodyB, info.materialIdB);
    if (info.materialIdA != 1 || !ObjectOf(info.bodyA))
        return;
    float speed = RbSafeLength(info.relativeVelocity);
    if (!std::isfinite(speed))
        speed = 0.0f;
    if (info.materialIdB == 0)
        OnGroundContact(info, speed);
    else if (info.materialIdB == 1)
        OnCarContact(info, speed);
}

// Sparks fly backwards from the car's motion and upwards, more of them the
// harder the impact.
void CPContactEffects::OnGroundContact(const RbCollisionInfo& info, float speed) {
    CPObject* object = ObjectOf(info.bodyA);
    const RbVector& point = info.worldContactPointA;
    Dent(object, point, GroundDent * speed);
    RbVector v = ToRb(g_PhysicsServices.carVelocity(object));
    RbVector away = RbSafeNormalise({-v.x, -v.y, 0.45f * std::max(std::fabs(v.x), std::fabs(v.y))});
    SpawnSparks(point, away * 10.0f,
                SparkCount(static_cast<float>(g_ParticleSystems) * 0.008f * speed * 0.5f));
    if (g_PhysicsServices.isPlayer(object))
        PlaySlam();
}

void CPContactEffects::OnCarContact(const RbCollisionInfo& info, float speed) {
    CPObject* objectA = ObjectOf(info.bodyA);
    CPObject* objectB = ObjectOf(info.bodyB);
    Dent(objectA, info.worldContactPointA, CarDent * speed);
    if (objectB)
        Dent(objectB, info.worldContactPointB, CarDent * speed);
    if (!(timer > CarSparkInterval))
        return;
    RbVector velocityA = VelocityOf(info.bodyA), velocityB = VelocityOf(info.bodyB);
    bool aFaster = RbLengthSquared(velocityA) > RbLengthSquared(velocityB);
    RbVector u = RbSafeNormalise(aFaster ? velocityA : velocityB);
    SpawnSparks(info.worldContactPointA, {-2.0f * u.x, -2.0f * u.y, 2.0f * (u.z + 1.0f)},
                SparkCount(static_cast<float>(g_ParticleSystems)));
    CPObject* faster = aFaster ? objectA : objectB;
    if (faster && g_PhysicsServices.isPlayer(faster))
        PlaySlam();
    timer = 0.0f;
}

// A "slam" that is still sounding is never cut off by a new contact.
void CPContactEffects::PlaySlam() {
    if (!g_Audio)
        return;
    const CPRefPtr<CNSound> slam = g_Audio->FindSound("slam");
    if (slam && !slam->IsPlaying())
        PlayFromStart(slam);
}

void CPContactEffects::SpawnSparks(const RbVector& position, const RbVector& direction, int count) {
    count = std::min(count, FrameSparkBudget - g_FrameParticleCount);
    for (int i = 0; i < count; ++i) {
        ++g_FrameParticleCount;
        SparkParticle spark;
        spark.typeName = "iskra";
        spark.position = ToD3D(position);
        spark.firstScalar = 0.01f + 0.02f * Draw();
        spark.acceleration = ToD3D(direction * Draw() + RbVector(0, 0, -9.8f));
        float a = Degrees(PlatRand() % 360);
        float b = Degrees(PlatRand() % 45);
        float speed = 0.5f + 5.5f * Draw();
        spark.velocity =
            ToD3D(direction + RbVector(std::cos(a) * std::sin(b), std::sin(a) * std::sin(b), 0) * speed);
        spark.secondScalar = 0.0f;
        spark.lifetime = 1.0f;
        spark.flags[0] = spark.flags[1] = 1;
        g_PhysicsServices.spawnParticle(spark);
    }
}

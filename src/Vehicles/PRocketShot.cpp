#include "Vehicles/PRocketShot.h"

#include "Core/PGlobalTimer.h"
#include "Game/PLevel.h"
#include "Particles/PParticlesManager.h"
#include "Particles/ParticleDesc.h"
#include "Render/PRenderObject.h"
#include "Vehicles/BeamGeometry.h"
#include "Vehicles/WeaponAim.h"

#include <cmath>
#include <set>

namespace {

// The length of the drawn body along the flight, and the trail particles.
constexpr float kBodyLength = 0.6f;
constexpr float kTrailSize = 0.3f;
constexpr float kTrailGrowth = 0.8f;
constexpr float kTrailLifetime = 0.6f;

} // namespace

// The beam is the visual, which the game object deletes.
CPRocketShot::~CPRocketShot() {
    beam = nullptr;
}

bool CPRocketShot::Configure(const std::vector<std::string>& row) {
    params = row;
    ballistic = Column(0) == "ballistic";
    defaultSpeed = FloatColumn(1);
    damage = FloatColumn(2);
    splashRadius = FloatColumn(3);
    range = FloatColumn(4);
    impactEffect = Column(5);
    trailType = Column(6);
    halfWidth = FloatColumn(10);
    BuildBeam(beam, IntColumn(9), Column(8), Column(7));
    return CPShot::Configure(row);
}

void CPRocketShot::Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                          const CPRefPtr<CPGameObject>& owner) {
    travelled = 0;
    if (ballistic) {
        D3DXVECTOR3 heading(towards.x, towards.y, 0);
        D3DXVec3Normalize(&heading, &heading);
        const float elevation = towards.z;
        velocity =
            (heading * std::cos(elevation) + D3DXVECTOR3(0, 0, std::sin(elevation))) * kRocketLaunchSpeed;
    } else {
        D3DXVec3Normalize(&velocity, &towards);
        velocity *= launchSpeed >= 0 ? launchSpeed : defaultSpeed;
    }
    CPShot::Launch(at, velocity, launchSpeed, owner);
}

D3DXVECTOR3 CPRocketShot::Advance(float dt, D3DXVECTOR3& nextVelocity) const {
    D3DXVECTOR3 next = position + velocity * dt;
    nextVelocity = velocity;
    if (ballistic) {
        next.z -= 0.5f * kRocketGravity * dt * dt;
        nextVelocity.z -= kRocketGravity * dt;
    }
    return next;
}

// A rocket that used up its range without striking anything blows up where
// it is, as a ballistic one does where it comes down.
bool CPRocketShot::Tick() {
    if (D3DXVec3LengthSq(&velocity) == 0)
        return false;
    if (travelled >= range) {
        Explode(position);
        return false;
    }
    D3DXVECTOR3 nextVelocity;
    const D3DXVECTOR3 next = Advance(g_FrameTime, nextVelocity);
    RayQuery query;
    if (CrossTo(next, query)) {
        Explode(query.hitPoint);
        return false;
    }
    const D3DXVECTOR3 step = next - position;
    travelled += D3DXVec3Length(&step);
    velocity = nextVelocity;
    SetPosition(next);
    SetOrientation(FacingRotation(velocity, orientation));
    if (ballistic && velocity.z < 0 && next.z <= launchPosition.z) {
        Explode(next);
        return false;
    }
    EmitTrail();
    D3DXVECTOR3 along;
    D3DXVec3Normalize(&along, &velocity);
    if (beam)
        BeamGeometry::Stretch(*beam, position - along * kBodyLength, position, BeamGeometry::Eye(),
                              halfWidth);
    return true;
}

// Each object's top owner is damaged once, however many of its parts the
// sphere reaches.
void CPRocketShot::Explode(const D3DXVECTOR3& at) {
    SpawnEffect(impactEffect, at, D3DXVECTOR3(0, 0, 1));
    if (!g_Level || splashRadius <= 0)
        return;
    std::vector<CPRefPtr<CPGameObject>> found;
    g_Level->QuerySphere(at, splashRadius, found);
    std::set<CPGameObject*> damaged;
    for (const CPRefPtr<CPGameObject>& object : found) {
        CPRefPtr<CPGameObject> owner = object->GetTopOwner();
        if (owner && damaged.insert(owner.Get()).second)
            owner->TakeDamage(at, owner->GetPosition() - at, damage, 0, false);
    }
}

void CPRocketShot::EmitTrail() const {
    if (trailType.empty())
        return;
    ParticleDesc trail;
    trail.typeName = trailType;
    trail.position = position;
    trail.size = kTrailSize;
    trail.growth = kTrailGrowth;
    trail.lifetime = kTrailLifetime;
    trail.fade = true;
    SpawnParticle(trail);
}

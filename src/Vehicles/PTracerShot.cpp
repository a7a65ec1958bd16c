#include "Vehicles/PTracerShot.h"

#include "Core/PGlobalTimer.h"
#include "Render/PRenderObject.h"
#include "Vehicles/BeamGeometry.h"

#include <algorithm>

// The beam is the visual, which the game object deletes.
CPTracerShot::~CPTracerShot() {
    beam = nullptr;
}

bool CPTracerShot::Configure(const std::vector<std::string>& row) {
    params = row;
    defaultSpeed = FloatColumn(0);
    range = FloatColumn(1);
    damage = FloatColumn(2);
    impactEffect = Column(3);
    halfWidth = FloatColumn(7);
    streakLength = FloatColumn(8);
    BuildBeam(beam, IntColumn(6), Column(5), Column(4));
    return CPShot::Configure(row);
}

void CPTracerShot::Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                          const CPRefPtr<CPGameObject>& owner) {
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &towards);
    CPShot::Launch(at, unit, launchSpeed, owner);
    flightSpeed = launchSpeed >= 0 ? launchSpeed : defaultSpeed;
    travelled = 0;
}

bool CPTracerShot::Tick() {
    if (travelled >= range || flightSpeed <= 0 || D3DXVec3LengthSq(&direction) == 0)
        return false;
    const float step = std::min(g_FrameTime * flightSpeed, range - travelled);
    RayQuery query;
    if (CrossTo(position + direction * step, query)) {
        DamageHit(query, damage);
        SpawnEffect(impactEffect, query.hitPoint,
                    D3DXVECTOR3(query.hitPlane.a, query.hitPlane.b, query.hitPlane.c));
        return false;
    }
    travelled += step;
    SetPosition(position + direction * step);
    const float tail = std::min(streakLength, travelled);
    if (beam)
        BeamGeometry::Stretch(*beam, position - direction * tail, position, BeamGeometry::Eye(), halfWidth);
    return true;
}

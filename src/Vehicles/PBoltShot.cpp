#include "Vehicles/PBoltShot.h"

#include "Core/PGlobalTimer.h"
#include "Game/PLevel.h"
#include "Game/RayQuery.h"
#include "Render/PRenderObject.h"
#include "Vehicles/BeamGeometry.h"

CPBoltShot::CPBoltShot(std::vector<std::string> row) : CPShot(std::move(row)) {}

// The beam is the visual, which the game object deletes.
CPBoltShot::~CPBoltShot() {
    beam = nullptr;
}

bool CPBoltShot::Configure(const std::vector<std::string>& row) {
    params = row;
    side = Column(0) != "enemy";
    flightSpeed = FloatColumn(1);
    launchSpeed = FloatColumn(2);
    size = FloatColumn(3);
    texture = Column(4);
    effectFile = Column(5);
    renderPriority = IntColumn(6);
    impactEffect = Column(7);
    BuildBeam(beam, renderPriority, effectFile, texture);
    return CPShot::Configure(row);
}

void CPBoltShot::Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeedValue,
                        const CPRefPtr<CPGameObject>& owner) {
    travelled = 0;
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &towards);
    CPShot::Launch(at, unit, launchSpeedValue, owner);
    startPoint = at;
    if (launchSpeedValue >= 0)
        launchSpeed = launchSpeedValue;
    if (beam)
        BeamGeometry::SetFarU(*beam, 1.0f);
}

bool CPBoltShot::Tick() {
    CPRefPtr<CPGameObject> hit;
    return Fly(hit) >= 1;
}

int CPBoltShot::Fly(CPRefPtr<CPGameObject>& hit) {
    const float step = g_FrameTime * flightSpeed;
    travelled += step;
    if (travelled > kRange)
        return -1;
    RayQuery query;
    query.origin = position;
    query.direction = direction;
    query.length = step;
    if (g_Level && g_Level->RayHitsCar(query)) {
        SpawnEffect(impactEffect, position,
                    D3DXVECTOR3(query.hitPlane.a, query.hitPlane.b, query.hitPlane.c));
        hit = query.hitObject;
        return 0;
    }
    SetPosition(position + direction * step);
    if (beam)
        BeamGeometry::Stretch(*beam, startPoint, position, BeamGeometry::Eye(), size);
    return 1;
}

#include "Vehicles/PBurstShot.h"

#include "Particles/PParticlesManager.h"
#include "Particles/ParticleDesc.h"
#include "Vehicles/WeaponAim.h"

#include <algorithm>

void CPBurstShot::Launch(const D3DXVECTOR3& at, const D3DXVECTOR3& towards, float launchSpeed,
                         const CPRefPtr<CPGameObject>& owner) {
    CPShot::Launch(at, towards, launchSpeed, owner);
    const D3DXVECTOR3 axis = D3DXVec3LengthSq(&towards) > 0 ? towards : D3DXVECTOR3(0, 0, 1);
    const int count = std::clamp(IntColumn(1), 0, kMaxParticles);
    const float particleSpeed = launchSpeed >= 0 ? launchSpeed : FloatColumn(2);
    for (int k = 0; k < count; ++k) {
        ParticleDesc particle;
        particle.typeName = Column(0);
        particle.position = at;
        particle.velocity = ConeDirection(axis, FloatColumn(6)) * particleSpeed;
        particle.size = FloatColumn(3);
        particle.growth = FloatColumn(4);
        particle.lifetime = FloatColumn(5);
        particle.fade = true;
        SpawnParticle(particle);
    }
}

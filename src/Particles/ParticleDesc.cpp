#include "Particles/ParticleDesc.h"

void CopyParticleDescChain(ParticleDesc& target, const ParticleDesc& source) {
    target.typeName = source.typeName;
    target.position = source.position;
    target.velocity = source.velocity;
    target.acceleration = source.acceleration;
    target.size = source.size;
    target.growth = source.growth;
    target.lifetime = source.lifetime;
    target.fade = source.fade;
    target.orient = source.orient;
    target.chained.reset();
    if (source.chained) {
        target.chained = std::make_unique<ParticleDesc>();
        CopyParticleDescChain(*target.chained, *source.chained);
    }
}

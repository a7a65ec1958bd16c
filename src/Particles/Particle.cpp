#include "Particles/Particle.h"

namespace {

std::unique_ptr<ParticleDesc> CopyChain(const std::unique_ptr<ParticleDesc>& source) {
    if (!source)
        return nullptr;
    auto copy = std::make_unique<ParticleDesc>();
    CopyParticleDescChain(*copy, *source);
    return copy;
}

} // namespace

Particle::Particle(const Particle& other)
    : position(other.position), previousPosition(other.previousPosition), velocity(other.velocity),
      lastVelocity(other.lastVelocity), acceleration(other.acceleration), growth(other.growth),
      size(other.size), age(other.age), lifetime(other.lifetime), fade(other.fade),
      frameRate(other.frameRate), orient(other.orient), chained(CopyChain(other.chained)),
      callback(other.callback), attachment(other.attachment) {}

Particle& Particle::operator=(const Particle& other) {
    if (this != &other)
        *this = Particle(other);
    return *this;
}

Particle Particle::FromDesc(const ParticleDesc& desc) {
    Particle particle;
    particle.position = desc.position;
    particle.previousPosition = desc.position;
    particle.velocity = desc.velocity;
    particle.acceleration = desc.acceleration;
    particle.size = desc.size;
    particle.growth = desc.growth;
    particle.lifetime = desc.lifetime;
    particle.fade = desc.fade;
    particle.orient = desc.orient;
    particle.chained = CopyChain(desc.chained);
    particle.callback = desc.callback;
    particle.attachment = desc.attachment;
    return particle;
}

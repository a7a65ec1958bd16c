#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"

#include <memory>
#include <string>

struct Particle;

// Called once per frame for every live particle with its attachment.
using ParticleCallback = void (*)(CPObject* attachment, Particle& particle);

// One emission request, filled by whoever wants a particle and handed to
// CPParticlesManager::Spawn, which copies what it keeps.
struct ParticleDesc {
    ParticleDesc() = default;
    ParticleDesc(ParticleDesc&&) = default;
    ParticleDesc& operator=(ParticleDesc&&) = default;
    // Copies go through CopyParticleDescChain, which says what is copied.
    ParticleDesc(const ParticleDesc&) = delete;
    ParticleDesc& operator=(const ParticleDesc&) = delete;

    std::string typeName;
    // World position; for a chained request the offset from the parent
    // particle.
    D3DXVECTOR3 position;
    // Units per second; a spot type reads its rotation angles about X, Y
    // and Z (radians) here.
    D3DXVECTOR3 velocity;
    D3DXVECTOR3 acceleration;
    // Half the edge of the particle's quad, and its change per second.
    float size = 0;
    float growth = 0;
    float lifetime = 0;
    bool fade = false;
    // Drawn as a streak along the motion instead of a camera-facing square.
    bool orient = false;
    // Spawned when the particle passes half its life (or expires).
    std::unique_ptr<ParticleDesc> chained;
    ParticleCallback callback = nullptr;
    CPRefPtr<CPObject> attachment;
};

// Copies the name, the numbers and the flags of the source into the target,
// and the source's chained requests into new nodes that carry no callback
// and no attachment; the target keeps its own callback and attachment.
void CopyParticleDescChain(ParticleDesc& target, const ParticleDesc& source);

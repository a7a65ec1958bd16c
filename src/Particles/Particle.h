#pragma once

#include "Particles/ParticleDesc.h"

// One live particle, held by value in its type's render object.
struct Particle {
    Particle() = default;
    // A copy deep-copies the chained request and takes its own reference
    // to the attachment.
    Particle(const Particle& other);
    Particle& operator=(const Particle& other);
    Particle(Particle&&) = default;
    Particle& operator=(Particle&&) = default;
    ~Particle() = default;

    // The particle a request describes, aged 0, with a copy of its chain.
    static Particle FromDesc(const ParticleDesc& desc);

    D3DXVECTOR3 position;
    // Where the particle was drawn last.
    D3DXVECTOR3 previousPosition;
    // Units per second; a spot's rotation angles.
    D3DXVECTOR3 velocity;
    // The last velocity whose three components were all non-zero (streaks).
    D3DXVECTOR3 lastVelocity;
    D3DXVECTOR3 acceleration;
    float growth = 0;
    float size = 0;
    float age = 0;
    float lifetime = 0;
    bool fade = false;
    // Sprite-sheet frames per second.
    float frameRate = 0;
    bool orient = false;
    std::unique_ptr<ParticleDesc> chained;
    ParticleCallback callback = nullptr;
    CPRefPtr<CPObject> attachment;
};

#pragma once

#include "Platform/D3DX9Math.h"

#include <string>

// One line of the particle-system table: what an emitter gives each
// particle it emits.
struct ParticleSystemDef {
    float lifetime = 0;
    float growth = 0;
    // Main emission direction; emitters normalise it when they take it.
    D3DXVECTOR3 direction{0, 0, 1};
    float speed = 0;
    D3DXVECTOR3 acceleration;
    float size = 1.0f;
    bool fade = true;
    std::string typeName;
    // Full opening angle of the emission cone in degrees; 0 emits exactly
    // along the direction.
    int coneAngle = 0;
    // Half extents of the box a particle starts in.
    D3DXVECTOR3 spawnBox;
};

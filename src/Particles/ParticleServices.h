#pragma once

#include "Platform/D3DX9Math.h"

#include <functional>

class CPObject;

// What emitters need of the game object that owns them, which lives above
// the particles: its world matrix, and the damage and material of its top
// owner. Every entry does the least until the application connects the
// real one.
struct ParticleServices {
    std::function<D3DXMATRIX(CPObject* owner)> worldMatrix = [](CPObject*) { return PlatIdentityMatrix(); };
    // The owner's top owner takes the damage of one emission.
    std::function<void(CPObject* owner, float amount)> damageTopOwner = [](CPObject*, float) {};
    // The owner's top owner puts its material back on.
    std::function<void(CPObject* owner)> applyTopOwnerMaterial = [](CPObject*) {};
};

extern ParticleServices g_ParticleServices;

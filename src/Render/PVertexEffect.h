#pragma once

#include "Render/MeshVertex.h"

#include <string>
#include <vector>

// A per-vertex effect applied to a visual while it is written into the
// frame's buffers (texture animation, flicker, fading ...). The kinds are
// built from object descriptions by CreateVertexEffect.
class CPVertexEffect {
public:
    CPVertexEffect() = default;
    virtual ~CPVertexEffect() = default;
    CPVertexEffect& operator=(const CPVertexEffect&) = delete;

    // Advances the effect's state by dt seconds.
    virtual void Update(float dt) = 0;
    // Advances the state by the frame time, then writes `count` vertices to
    // `destination`, each a copy of its `source` vertex (which may be the
    // destination itself) with the effect's change.
    virtual void Apply(MeshVertex* destination, const MeshVertex* source, int count) = 0;
    // A new effect of the same kind in the same state.
    virtual CPVertexEffect* Clone() const = 0;
    // Back to the start state (only fading has one to go back to).
    virtual void Reset() {}

protected:
    // Kinds clone themselves by copying.
    CPVertexEffect(const CPVertexEffect&) = default;
};

// The effect a description names: "anim columns,rows,speed", "flick
// frequency,min,max", "movingtex du,dv", "fade rate" or "environment scale".
// The keyword is compared in lower case; every argument must be a number and
// the count must match. Null for anything else, and for arguments the effect
// cannot work with (an animation without frames, an environment scale of 0,
// numbers too large to be finite).
CPVertexEffect* CreateVertexEffect(const std::string& keyword, const std::vector<std::string>& arguments);

// Deletes the effects of `chain` and fills it with clones of the source's,
// in order.
void CloneEffectChain(std::vector<CPVertexEffect*>& chain, const std::vector<CPVertexEffect*>& source);

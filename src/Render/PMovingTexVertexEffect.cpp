#include "Render/PMovingTexVertexEffect.h"

#include "Core/PGlobalTimer.h"
#include "Platform/Random.h"

#include <cmath>

CPMovingTexVertexEffect::CPMovingTexVertexEffect(float uPerSecond, float vPerSecond)
    : du(uPerSecond), dv(vPerSecond) {
    const auto start = static_cast<float>(PlatRand());
    offsetU = Wrap(start * du);
    offsetV = Wrap(start * dv);
}

float CPMovingTexVertexEffect::Wrap(float offset) {
    if (!std::isfinite(offset))
        return 0.0f;
    // Whole units at once: stepping by 1 would never end once 1 is below the
    // float's precision.
    if (offset > 1.0f)
        offset -= std::ceil(offset - 1.0f);
    if (offset < 0.0f)
        offset += std::ceil(-offset);
    return offset;
}

void CPMovingTexVertexEffect::Update(float dt) {
    offsetU = Wrap(offsetU + dt * du);
    offsetV = Wrap(offsetV + dt * dv);
}

void CPMovingTexVertexEffect::Apply(MeshVertex* destination, const MeshVertex* source, int count) {
    Update(g_FrameTime);
    for (int i = 0; i < count; ++i) {
        MeshVertex vertex = source[i];
        vertex.u0 += offsetU;
        vertex.v0 += offsetV;
        destination[i] = vertex;
    }
}

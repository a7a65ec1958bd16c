#include "Render/PFadeVertexEffect.h"

#include "Core/PGlobalTimer.h"
#include "Render/VertexColour.h"

#include <cmath>

void CPFadeVertexEffect::Update(float dt) {
    level -= dt * rate;
    if (!(level >= 0.0f))
        level = 0.0f;
}

void CPFadeVertexEffect::Apply(MeshVertex* destination, const MeshVertex* source, int count) {
    Update(g_FrameTime);
    // Only the low 8 bits reach the colour; a level grown past the int range
    // (a negative rate) keeps giving them.
    const auto alpha = static_cast<int>(std::fmod(std::trunc(level), 256.0f));
    for (int i = 0; i < count; ++i) {
        MeshVertex vertex = source[i];
        vertex.diffuse = WhiteWithAlpha(alpha);
        destination[i] = vertex;
    }
}

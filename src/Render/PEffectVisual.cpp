#include "Render/PEffectVisual.h"

#include "Render/PVertexEffect.h"

CPEffectVisual::~CPEffectVisual() {
    for (CPVertexEffect* effect : vertexEffects)
        delete effect;
}

void CPEffectVisual::ApplyEffects(MeshVertex* vertices, int count) const {
    if (!hasVertexEffects)
        return;
    for (CPVertexEffect* effect : vertexEffects)
        effect->Apply(vertices, vertices, count);
}

void CPEffectVisual::CopyEffectsFrom(const CPEffectVisual& source) {
    hasVertexEffects = source.hasVertexEffects;
    CloneEffectChain(vertexEffects, source.vertexEffects);
}

#include "Render/PFlickVertexEffect.h"

#include "Core/PGlobalTimer.h"
#include "Platform/Random.h"
#include "Render/VertexColour.h"

#include <cmath>

CPFlickVertexEffect::CPFlickVertexEffect(float radiansPerSecond, uint8_t low, uint8_t high)
    : frequency(radiansPerSecond), max(high), amplitude(static_cast<float>(high - low) * 0.5f),
      time(static_cast<float>(PlatRand())) {
    mid = static_cast<uint8_t>(low + static_cast<int>(amplitude));
}

void CPFlickVertexEffect::Update(float dt) {
    time += dt;
    level = static_cast<int>(std::sin(time * frequency) * amplitude + static_cast<float>(mid));
}

void CPFlickVertexEffect::Apply(MeshVertex* destination, const MeshVertex* source, int count) {
    Update(g_FrameTime);
    for (int i = 0; i < count; ++i) {
        MeshVertex vertex = source[i];
        const auto alpha = static_cast<float>(vertex.diffuse >> 24);
        vertex.diffuse = WhiteWithAlpha(static_cast<int>(alpha * static_cast<float>(level) * kInverse255));
        destination[i] = vertex;
    }
}

#include "Render/PAnimation.h"

#include <algorithm>
#include <cmath>
#include <utility>

CPAnimation::CPAnimation(std::string key)
    : name(std::move(key)), bounds(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0)) {}

void CPAnimation::Load(const MeshFileNode& node, DWORD diffuse) {
    frameCount = static_cast<int>(node.frames.size());
    frameDuration = node.frameTime * kFrameTimeUnit;
    length = frameDuration * static_cast<float>(frameCount);
    frames.resize(node.frames.size());
    for (std::size_t k = 0; k < frames.size(); ++k) {
        AnimationFrame& frame = frames[k];
        frame.frameNumber = static_cast<int>(k);
        frame.vertices = node.frames[k].vertices;
        frame.indices = node.frames[k].indices;
        for (MeshVertex& vertex : frame.vertices)
            vertex.diffuse = diffuse;
    }
    UpdateBounds();
}

void CPAnimation::UpdateBounds() {
    bool any = false;
    D3DXVECTOR3 low(0, 0, 0), high(0, 0, 0);
    for (const AnimationFrame& frame : frames) {
        for (const MeshVertex& vertex : frame.vertices) {
            const D3DXVECTOR3 p(vertex.x, vertex.y, vertex.z);
            low = any ? D3DXVECTOR3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)) : p;
            high = any ? D3DXVECTOR3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)) : p;
            any = true;
        }
    }
    bounds = BoundingBox((low + high) * 0.5f, (high - low) * 0.5f);
}

int CPAnimation::FrameAt(float seconds) const {
    if (frames.empty())
        return -1;
    // Without a positive length the play does not move (and repeated
    // subtraction of the length would never end).
    if (!(length > 0) || !(frameDuration > 0) || std::isnan(seconds))
        return 0;
    float t = seconds;
    if (t > length) {
        // What subtracting the length while t exceeds it leaves: a multiple
        // of the length stays at the length.
        t = std::fmod(t, length);
        if (t == 0)
            t = length;
    }
    const float position = t / frameDuration;
    if (!(position > 0))
        return 0;
    // At most the length over the duration here: within int.
    return std::min(static_cast<int>(frames.size()) - 1, static_cast<int>(position));
}

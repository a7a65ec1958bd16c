#include "Render/PAnimation.h"

#include <algorithm>

void CPAnimation::Load(const MeshFileNode& node, DWORD diffuse) {
    frames = node.frames;
    frameTime = node.frameTime;
    bool any = false;
    D3DXVECTOR3 low(0, 0, 0), high(0, 0, 0);
    for (MeshFrame& frame : frames) {
        for (MeshVertex& vertex : frame.vertices) {
            vertex.diffuse = diffuse;
            const D3DXVECTOR3 p(vertex.x, vertex.y, vertex.z);
            low = any ? D3DXVECTOR3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)) : p;
            high = any ? D3DXVECTOR3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)) : p;
            any = true;
        }
    }
    bounds = BoundingBox((low + high) * 0.5f, (high - low) * 0.5f);
}

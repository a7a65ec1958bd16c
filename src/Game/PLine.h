#pragma once

#include "Platform/D3DX9Math.h"

#include <string>

// One sampled piece of a track line: a short straight from `start` to `end`
// with its XY box, centre, heading and line equation, linked into the ring of
// its line through `prev` and `next` (`next` is the sampling order).
class CPLine {
public:
    virtual ~CPLine() = default;
    virtual std::string GetClassName() const { return "CPLine"; }

    // Computes the line equation, angle, box and centre from `start` and
    // `end`, which must differ in x or y.
    void ComputeShape();
    // Signed distance of the point from the piece's infinite line in the XY
    // plane, positive on the right of the direction start to end.
    float SignedDistance(const D3DXVECTOR3& point) const;

    D3DXVECTOR3 start{0, 0, 0};
    D3DXVECTOR3 end{0, 0, 0};
    // x and y only.
    D3DXVECTOR3 boxMin{0, 0, 0};
    D3DXVECTOR3 boxMax{0, 0, 0};
    D3DXVECTOR3 centre{0, 0, 0};
    // The heading of the direction end to start: a piece along +X has pi.
    float angle = 0;
    // normal . (x, y) + offset is the signed distance from the piece's line.
    D3DXVECTOR2 lineNormal{0, 0};
    float lineOffset = 0;
    CPLine* prev = nullptr;
    CPLine* next = nullptr;
};

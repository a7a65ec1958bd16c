#pragma once

#include "Platform/D3DX9Math.h"

// One cubic Bezier segment of a track line: start p0, controls p1 and p2, end
// p3, and the length value every distance along the line is measured with.
struct BezierSegment {
    D3DXVECTOR3 p0{0, 0, 0};
    D3DXVECTOR3 p1{0, 0, 0};
    D3DXVECTOR3 p2{0, 0, 0};
    D3DXVECTOR3 p3{0, 0, 0};
    float length = 0;
};

#include "Game/PLine.h"

#include "Core/GeometryFunctions.h"

#include <algorithm>
#include <cmath>

void CPLine::ComputeShape() {
    const float dx = end.x - start.x;
    const float dy = end.y - start.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    lineNormal = D3DXVECTOR2(dy / length, -dx / length);
    lineOffset = (dx * start.y - dy * start.x) / length;
    const float heading = ClampedAcos(dx / length);
    angle = (dy / length > 0 ? heading : -heading) + D3DX_PI;
    boxMin.x = std::min(start.x, end.x);
    boxMin.y = std::min(start.y, end.y);
    boxMax.x = std::max(start.x, end.x);
    boxMax.y = std::max(start.y, end.y);
    centre.x = (boxMin.x + boxMax.x) * 0.5f;
    centre.y = (boxMin.y + boxMax.y) * 0.5f;
}

float CPLine::SignedDistance(const D3DXVECTOR3& point) const {
    const float dy = end.y - start.y;
    const float dx = end.x - start.x;
    return (dy * point.x - dx * point.y - (end.y * start.x - end.x * start.y)) / std::sqrt(dy * dy + dx * dx);
}

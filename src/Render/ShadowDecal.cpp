#include "Render/ShadowDecal.h"

#include "Render/PRenderObject.h"
#include "Render/PSceneObject.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

std::function<std::vector<DecalTriangle>(const CPObject* physics)> g_DecalTerrainSource =
    [](const CPObject*) { return std::vector<DecalTriangle>(); };

namespace {

constexpr float kSingular = 1e-30f;
// The most candidate triangles one terrain query gives.
constexpr std::size_t kMaxDecalTriangles = 999;
constexpr float kLift = 0.03f;
constexpr float kMargin = 0.1f;

float Dot(const D3DXVECTOR2& a, const D3DXVECTOR2& b) {
    return a.x * b.x + a.y * b.y;
}

// Rebuilds a frame without area: a missing edge reaches to the point, and
// parallel edges become one edge along them and one to the point.
void RepairFrame(D3DXVECTOR2& origin, D3DXVECTOR2& u, D3DXVECTOR2& v, D3DXVECTOR2 point) {
    if (Dot(u, u) <= kSingular) {
        u = point - origin;
        return;
    }
    if (Dot(v, v) <= kSingular) {
        v = point - origin;
        return;
    }
    const float t = Dot(u, v) / Dot(u, u);
    if (t < 0) {
        origin += t * u;
        point += t * u;
        u = (1 - t) * u;
    } else if (t > 1) {
        u = v;
    }
    v = point - origin;
}

MeshVertex DecalVertex(const D3DXVECTOR3& p, const D3DXMATRIX& toFrame) {
    const D3DXVECTOR3 flat(p.x, p.y, 0);
    D3DXVECTOR3 st;
    D3DXVec3TransformCoord(&st, &flat, &toFrame);
    MeshVertex vertex{};
    vertex.x = p.x;
    vertex.y = p.y;
    vertex.z = p.z + kLift;
    vertex.nz = 1;
    vertex.diffuse = 0xffffffff;
    vertex.u0 = st.x - 1;
    vertex.v0 = st.y;
    return vertex;
}

} // namespace

void FitDecalFrame(D3DXVECTOR2& origin, D3DXVECTOR2& u, D3DXVECTOR2& v, D3DXVECTOR2 point) {
    const float det = u.x * v.y - u.y * v.x;
    if (!(std::fabs(det) > kSingular)) {
        RepairFrame(origin, u, v, point);
        return;
    }
    // Frame coordinates (a, b) of p: p = origin + a u + b v.
    const auto coordinates = [&](const D3DXVECTOR2& p) {
        const D3DXVECTOR2 d = p - origin;
        return D3DXVECTOR2((d.x * v.y - d.y * v.x) / det, (u.x * d.y - u.y * d.x) / det);
    };
    float aMin = 0, aMax = 1, bMin = 0, bMax = 1;
    for (const D3DXVECTOR2& p : {point, point + u, point + v}) {
        const D3DXVECTOR2 c = coordinates(p);
        aMin = std::min(aMin, c.x);
        aMax = std::max(aMax, c.x);
        bMin = std::min(bMin, c.y);
        bMax = std::max(bMax, c.y);
    }
    origin = origin + aMin * u + bMin * v;
    u = (aMax - aMin) * u;
    v = (bMax - bMin) * v;
}

void BuildDecalMesh(CPSceneObject& object, D3DXVECTOR2 origin, D3DXVECTOR2 corner, D3DXVECTOR2 u,
                    D3DXVECTOR2 v, const std::vector<DecalTriangle>& triangles) {
    if (object.GetVisualKind() != VISUAL_MESH || !object.GetVisual())
        return;
    auto& mesh = static_cast<CPRenderObject&>(*object.GetVisual());
    FitDecalFrame(origin, u, v, corner);
    // Frame coordinates (s, t) to the plane: s u + t v + origin - u.
    const D3DXMATRIX frame(u.x, u.y, 0, 0, v.x, v.y, 0, 0, 0, 0, 1, 0, origin.x - u.x, origin.y - u.y, 0, 1);
    D3DXMATRIX toFrame;
    if (!D3DXMatrixInverse(&toFrame, nullptr, &frame))
        return;
    mesh.sourceVertices.clear();
    mesh.indices.clear();
    std::set<std::array<int, 3>> taken;
    for (std::size_t k = 0; k < triangles.size() && k < kMaxDecalTriangles; ++k) {
        const DecalTriangle& triangle = triangles[k];
        std::array<int, 3> key = {triangle.index[0], triangle.index[1], triangle.index[2]};
        std::sort(key.begin(), key.end());
        if (!taken.insert(key).second)
            continue;
        for (const D3DXVECTOR3& p : triangle.corner) {
            mesh.indices.push_back(static_cast<uint16_t>(mesh.sourceVertices.size()));
            mesh.sourceVertices.push_back(DecalVertex(p, toFrame));
        }
    }
    mesh.vertices = mesh.sourceVertices;
}

void BuildShadowDecal(const CPRefPtr<CPSceneObject>& object, const D3DXMATRIX& world,
                      const CPRefPtr<CPObject>& physics) {
    if (!object)
        return;
    const D3DXVECTOR3 h = object->GetHalfSize();
    const auto place = [&world](float x, float y, float z) {
        const D3DXVECTOR3 local(x, y, z);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &local, &world);
        return D3DXVECTOR2(placed.x, placed.y);
    };
    const D3DXVECTOR2 a = place(-h.x - kMargin, -h.y - kMargin, -h.z);
    const D3DXVECTOR2 b = place(h.x + kMargin, -h.y - kMargin, -h.z);
    const D3DXVECTOR2 c = place(-h.x - kMargin, kMargin - h.y, -h.z);
    const D3DXVECTOR2 d = place(-h.x - kMargin, h.y - kMargin, -h.z);
    BuildDecalMesh(*object, a, d, b - a, c - a, g_DecalTerrainSource(physics.Get()));
}

#include "Vehicles/BeamGeometry.h"

#include "Render/PMaterialManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRenderObject.h"

namespace {

constexpr int kCorners = 4;
constexpr float kCornerU[kCorners] = {0, 1, 1, 0};
constexpr float kCornerV[kCorners] = {0, 0, 1, 1};

// The render object draws its world copy; both copies carry the corners.
void Publish(CPRenderObject& beam) {
    beam.vertices = beam.sourceVertices;
}

} // namespace

void BeamGeometry::Build(CPRenderObject& beam, int priority, const std::string& effect,
                         const std::string& texture) {
    if (g_MaterialManager) {
        CPRefPtr<CPMaterial> material;
        g_MaterialManager->GetMaterial(material, priority, effect, {texture});
        beam.SetMaterial(material);
    }
    beam.sourceVertices.assign(kCorners, MeshVertex{});
    for (int k = 0; k < kCorners; ++k) {
        MeshVertex& corner = beam.sourceVertices[k];
        corner.nz = 1;
        corner.diffuse = 0xffffffff;
        corner.u0 = corner.u1 = kCornerU[k];
        corner.v0 = corner.v1 = kCornerV[k];
    }
    beam.indices = {0, 1, 2, 0, 2, 3};
    Publish(beam);
}

void BeamGeometry::Stretch(CPRenderObject& beam, const D3DXVECTOR3& start, const D3DXVECTOR3& end,
                           const D3DXVECTOR3& eye, float halfWidth) {
    if (beam.sourceVertices.size() != kCorners)
        return;
    const D3DXVECTOR3 along = end - start, sight = eye - start;
    D3DXVECTOR3 side;
    D3DXVec3Cross(&side, &along, &sight);
    D3DXVec3Normalize(&side, &side);
    side *= halfWidth;
    const D3DXVECTOR3 corners[kCorners] = {start + side, end + side, end - side, start - side};
    for (int k = 0; k < kCorners; ++k) {
        beam.sourceVertices[k].x = corners[k].x;
        beam.sourceVertices[k].y = corners[k].y;
        beam.sourceVertices[k].z = corners[k].z;
    }
    Publish(beam);
}

void BeamGeometry::SetFarU(CPRenderObject& beam, float u) {
    if (beam.sourceVertices.size() != kCorners)
        return;
    beam.sourceVertices[1].u0 = beam.sourceVertices[2].u0 = u;
    Publish(beam);
}

D3DXVECTOR3 BeamGeometry::Eye() {
    return g_MainCamera ? g_MainCamera->eye : D3DXVECTOR3(0, 0, 0);
}

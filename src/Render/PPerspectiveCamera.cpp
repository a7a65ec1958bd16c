#include "Render/PPerspectiveCamera.h"

#include "Core/PSettings.h"
#include "Render/FrustumPlanes.h"

#include <cstring>

CPPerspectiveCamera* g_MainCamera = nullptr;

namespace {

constexpr float kSkyFarPlane = 1000.0f;

D3DXVECTOR3 UnprojectCorner(const D3DXMATRIX& inverseViewProjection, float x, float y, float z) {
    const D3DXVECTOR3 clip(x, y, z);
    D3DXVECTOR3 world;
    D3DXVec3TransformCoord(&world, &clip, &inverseViewProjection);
    return world;
}

} // namespace

void CPPerspectiveCamera::UpdateMatrices() {
    UpdateMatricesLike(nullptr);
}

void CPPerspectiveCamera::UpdateMatricesLike(const CPPerspectiveCamera* leader) {
    if (!viewDirty && !projectionDirty)
        return;
    if (viewDirty && leader && PosedLike(*leader))
        TakeView(*leader);
    else if (viewDirty)
        UpdateView();
    if (projectionDirty)
        UpdateProjection();
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    D3DXMatrixMultiply(&rotationViewProjection, &rotationView, &farProjection);
    D3DXMatrixInverse(&inverseViewProjection, nullptr, &viewProjection);
    UpdatePlanes();
}

void CPPerspectiveCamera::UpdateView() {
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    viewDirty = false;
    D3DXMatrixInverse(&inverseView, nullptr, &view);
    const D3DXVECTOR3 offset = target - eye;
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &offset);
    const D3DXVECTOR3 origin(0, 0, 0);
    D3DXMatrixLookAtLH(&rotationView, &origin, &direction, &up);
    D3DXMatrixInverse(&inverseRotationView, nullptr, &rotationView);
}

// Bit for bit, so that the view computed from the same inputs is the same.
bool CPPerspectiveCamera::PosedLike(const CPPerspectiveCamera& leader) const {
    return !leader.viewDirty && std::memcmp(&eye, &leader.eye, sizeof(eye)) == 0 &&
           std::memcmp(&target, &leader.target, sizeof(target)) == 0 &&
           std::memcmp(&up, &leader.up, sizeof(up)) == 0;
}

void CPPerspectiveCamera::TakeView(const CPPerspectiveCamera& leader) {
    view = leader.view;
    inverseView = leader.inverseView;
    rotationView = leader.rotationView;
    inverseRotationView = leader.inverseRotationView;
    viewDirty = false;
}

void CPPerspectiveCamera::UpdateProjection() {
    // A window of no height keeps the 4:3 aspect instead of dividing by zero.
    const float aspect = g_ScreenHeight > 0
                             ? static_cast<float>(g_ScreenWidth) / static_cast<float>(g_ScreenHeight)
                             : 4.0f / 3.0f;
    D3DXMatrixPerspectiveFovLH(&projection, fov, aspect, nearPlane, farPlane);
    D3DXMatrixPerspectiveFovLH(&farProjection, fov, aspect, nearPlane, kSkyFarPlane);
    projectionDirty = false;
}

void CPPerspectiveCamera::UpdatePlanes() {
    D3DXVECTOR3 w[8];
    for (int i = 0; i < 8; ++i)
        w[i] = UnprojectCorner(inverseViewProjection, (i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f,
                               (i & 4) ? 1.0f : 0.0f);
    MakePlane(planes[PLANE_NEAR], w[0], w[1], w[2]);
    MakePlane(planes[PLANE_FAR], w[6], w[7], w[5]);
    MakePlane(planes[PLANE_LEFT], w[2], w[6], w[4]);
    MakePlane(planes[PLANE_RIGHT], w[7], w[3], w[5]);
    MakePlane(planes[PLANE_TOP], w[2], w[3], w[6]);
    MakePlane(planes[PLANE_BOTTOM], w[1], w[0], w[4]);
}

bool IsBoxInFrustum(const CPRefPtr<CPPerspectiveCamera>& camera, const D3DXVECTOR3& boxMin,
                    const D3DXVECTOR3& boxMax) {
    return FrustumPlanes(*camera).MeetsBox(boxMin, boxMax);
}

void MakePlane(D3DXPLANE& plane, const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2) {
    const D3DXVECTOR3 e1 = p1 - p0;
    const D3DXVECTOR3 e2 = p2 - p0;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &e1, &e2);
    plane.a = normal.x;
    plane.b = normal.y;
    plane.c = normal.z;
    plane.d = -(normal.x * p0.x + normal.y * p0.y + normal.z * p0.z);
}

#include "Render/PPerspectiveCamera.h"

#include "Core/PSettings.h"
#include "Render/FrustumPlanes.h"

#include <cmath>
#include <cstdint>
#include <cstring>

CPPerspectiveCamera* g_MainCamera = nullptr;

namespace {

constexpr float kSkyFarPlane = 1000.0f;
// How far the products of the columns of a view's upper 3x3 may stray from a
// rotation's (1 for a column with itself, 0 for two columns) for its
// transpose to serve as its inverse: a few tens of float roundings on unit
// vectors. A look-at whose up lies close to its view direction strays
// further and is inverted in general.
constexpr float kRotationTolerance = 4e-6f;

using Lanes = float __attribute__((vector_size(16)));

Lanes RowOf(const D3DXMATRIX& m, int row) {
    Lanes lanes;
    std::memcpy(&lanes, m.m[row], sizeof(lanes));
    return lanes;
}

using LaneMask = std::int32_t __attribute__((vector_size(16)));

// (y, z, x, w) of (x, y, z, w).
Lanes Turn(const Lanes& v) {
    return Lanes{v[1], v[2], v[0], v[3]};
}

// Whether the columns of the upper 3x3 (a look-at's axes) are orthonormal to
// within kRotationTolerance, with (0, 0, 0, 1) in the fourth column.
bool HasRotation(const D3DXMATRIX& view) {
    const Lanes r0 = RowOf(view, 0), r1 = RowOf(view, 1), r2 = RowOf(view, 2);
    // Lanes 0 to 2: each column's squared length less 1, and the products of
    // the columns x.y, y.z and z.x.
    const Lanes lengths = r0 * r0 + r1 * r1 + r2 * r2 - Lanes{1, 1, 1, 1};
    const Lanes products = r0 * Turn(r0) + r1 * Turn(r1) + r2 * Turn(r2);
    const LaneMask near = (lengths <= kRotationTolerance) & (lengths >= -kRotationTolerance) &
                          (products <= kRotationTolerance) & (products >= -kRotationTolerance);
    return (near[0] & near[1] & near[2]) != 0 && view._14 == 0 && view._24 == 0 && view._34 == 0 &&
           view._44 == 1;
}

// The inverse of a view made of a rotation (upper 3x3) and a translation
// (fourth row), as D3DXMatrixLookAtLH builds it: the transposed rotation, and
// the translation rotated back and negated. Any other view (up along the view
// direction, no view direction) takes the general inverse, which leaves
// `inverse` as it was for a singular one.
void InvertView(D3DXMATRIX& inverse, const D3DXMATRIX& view) {
    if (!HasRotation(view)) {
        D3DXMatrixInverse(&inverse, nullptr, &view);
        return;
    }
    const Lanes columns[3] = {Lanes{view._11, view._21, view._31, 0}, Lanes{view._12, view._22, view._32, 0},
                              Lanes{view._13, view._23, view._33, 0}};
    Lanes translation = -(view._41 * columns[0] + view._42 * columns[1] + view._43 * columns[2]);
    translation[3] = 1;
    std::memcpy(inverse.m[0], &columns[0], sizeof(Lanes));
    std::memcpy(inverse.m[1], &columns[1], sizeof(Lanes));
    std::memcpy(inverse.m[2], &columns[2], sizeof(Lanes));
    std::memcpy(inverse.m[3], &translation, sizeof(Lanes));
}

// The inverse of a projection as D3DXMatrixPerspectiveFovLH builds it: the
// scales on the diagonal inverted, and the lower right block [[q, 1], [d, 0]]
// (d = -near * q) inverted to [[0, 1 / d], [1, -q / d]]. A projection without
// an inverse (no field of view, near plane at 0) leaves `inverse` as it was.
void InvertPerspective(D3DXMATRIX& inverse, const D3DXMATRIX& projection) {
    const float determinant = projection._11 * projection._22 * projection._34 * projection._43;
    if (!std::isfinite(determinant) || determinant == 0)
        return;
    inverse = D3DXMATRIX();
    inverse._11 = 1 / projection._11;
    inverse._22 = 1 / projection._22;
    inverse._34 = 1 / projection._43;
    inverse._43 = 1 / projection._34;
    inverse._44 = -projection._33 / (projection._34 * projection._43);
}

// inverse(projection) * inverse(view), which is inverse(view * projection),
// for an inverse projection whose only entries off zero are _11, _22 and the
// lower right 2x2 block (the identity, or the inverse of a perspective).
D3DXMATRIX InverseOfProduct(const D3DXMATRIX& inverseProjection, const D3DXMATRIX& inverseView) {
    const D3DXMATRIX& p = inverseProjection;
    const Lanes v2 = RowOf(inverseView, 2), v3 = RowOf(inverseView, 3);
    const Lanes rows[4] = {p._11 * RowOf(inverseView, 0), p._22 * RowOf(inverseView, 1),
                           p._33 * v2 + p._34 * v3, p._43 * v2 + p._44 * v3};
    D3DXMATRIX product;
    std::memcpy(product.m, rows, sizeof(rows));
    return product;
}

// As D3DXVec3TransformCoord divides by w (lanes 0 to 2).
Lanes Dehomogenise(const Lanes& p) {
    const float w = p[3] != 0 ? p[3] : 1.0f;
    return p / Lanes{w, w, w, w};
}

// The clip-space corners (x and y -1 or 1, z 0 or 1; bits 0, 1 and 2 of the
// index pick them) carried to world space by m, each bit for bit what
// D3DXVec3TransformCoord gives: the sums x * row0 + y * row1 + z * row2 + row3
// are taken in its order, with its products by -1, 1 and 0 (which are exact),
// and the four sums over x and y serve both the near and the far corners.
void UnprojectClipCorners(const D3DXMATRIX& m, Lanes (&corners)[8]) {
    const Lanes rowX = RowOf(m, 0), rowY = RowOf(m, 1), rowZ = RowOf(m, 2), rowW = RowOf(m, 3);
    const Lanes nearZ = 0.0f * rowZ;
    const Lanes xy[4] = {-rowX - rowY, rowX - rowY, rowY - rowX, rowX + rowY};
    for (int i = 0; i < 4; ++i) {
        corners[i] = Dehomogenise(xy[i] + nearZ + rowW);
        corners[i + 4] = Dehomogenise(xy[i] + rowZ + rowW);
    }
}

// The plane through three points (lanes 0 to 2), normal (p1 - p0) x (p2 - p0)
// as D3DXVec3Cross takes it, not normalised, and d = -(normal . p0).
void SetPlaneThrough(D3DXPLANE& plane, const Lanes& p0, const Lanes& p1, const Lanes& p2) {
    const Lanes e1 = p1 - p0;
    const Lanes e2 = p2 - p0;
    Lanes lanes = Turn(e1) * Turn(Turn(e2)) - Turn(Turn(e1)) * Turn(e2);
    lanes[3] = -(lanes[0] * p0[0] + lanes[1] * p0[1] + lanes[2] * p0[2]);
    plane = D3DXPLANE(lanes[0], lanes[1], lanes[2], lanes[3]);
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
    inverseViewProjection = InverseOfProduct(inverseProjection, inverseView);
    UpdatePlanes();
}

void CPPerspectiveCamera::UpdateView() {
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    viewDirty = false;
    InvertView(inverseView, view);
    const D3DXVECTOR3 offset = target - eye;
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &offset);
    const D3DXVECTOR3 origin(0, 0, 0);
    D3DXMatrixLookAtLH(&rotationView, &origin, &direction, &up);
    InvertView(inverseRotationView, rotationView);
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
    projectionDirty = false;
    // The same inputs give the same matrices. The race camera marks its
    // projection dirty every frame, though its field of view and the screen
    // rarely change.
    const ProjectionInputs inputs = {fov, aspect, nearPlane, farPlane};
    if (projectionInputs && std::memcmp(&*projectionInputs, &inputs, sizeof(inputs)) == 0)
        return;
    projectionInputs = inputs;
    D3DXMatrixPerspectiveFovLH(&projection, fov, aspect, nearPlane, farPlane);
    D3DXMatrixPerspectiveFovLH(&farProjection, fov, aspect, nearPlane, kSkyFarPlane);
    InvertPerspective(inverseProjection, projection);
}

void CPPerspectiveCamera::UpdatePlanes() {
    Lanes w[8];
    UnprojectClipCorners(inverseViewProjection, w);
    SetPlaneThrough(planes[PLANE_NEAR], w[0], w[1], w[2]);
    SetPlaneThrough(planes[PLANE_FAR], w[6], w[7], w[5]);
    SetPlaneThrough(planes[PLANE_LEFT], w[2], w[6], w[4]);
    SetPlaneThrough(planes[PLANE_RIGHT], w[7], w[3], w[5]);
    SetPlaneThrough(planes[PLANE_TOP], w[2], w[3], w[6]);
    SetPlaneThrough(planes[PLANE_BOTTOM], w[1], w[0], w[4]);
}

// Bit for bit, as the planes may be written from outside.
const FrustumPlanes& CPPerspectiveCamera::Frustum() {
    if (std::memcmp(frustumSource, planes, sizeof(planes)) != 0) {
        std::memcpy(frustumSource, planes, sizeof(planes));
        frustum = FrustumPlanes(planes);
    }
    return frustum;
}

bool IsBoxInFrustum(const CPRefPtr<CPPerspectiveCamera>& camera, const D3DXVECTOR3& boxMin,
                    const D3DXVECTOR3& boxMax) {
    return camera->Frustum().MeetsBox(boxMin, boxMax);
}

#pragma once

#include "Core/PRefPtr.h"
#include "Render/FrustumPlanes.h"
#include "Render/PBaseCamera.h"

#include <optional>

// A camera built from an eye, a target, an up vector and a vertical field of
// view, with the six world-space planes of its frustum. The owner writes the
// inputs, sets the matching dirty flag and calls UpdateMatrices.
class CPPerspectiveCamera : public CPBaseCamera {
public:
    enum { PLANE_NEAR, PLANE_FAR, PLANE_LEFT, PLANE_RIGHT, PLANE_TOP, PLANE_BOTTOM, PLANE_COUNT };

    // Recomputes what the dirty flags call for; with neither set, nothing.
    void UpdateMatrices();
    // UpdateMatrices for a camera that may share its pose with `leader`
    // (updated first): while eye, target and up are the leader's, the view
    // matrices are the leader's, copied rather than computed again.
    void UpdateMatricesLike(const CPPerspectiveCamera* leader);

    size_t GetSize() const override { return sizeof(CPPerspectiveCamera); }
    std::string GetClassName() const override { return "CPPerspectiveCamera"; }

    // The planes laid out for the box tests; laid out again only when the
    // planes have changed since the last call.
    const FrustumPlanes& Frustum();

    // A point p is inside a plane when a*p.x + b*p.y + c*p.z + d > 0.
    D3DXPLANE planes[PLANE_COUNT] = {};
    D3DXVECTOR3 target{0, 0, 0};
    D3DXVECTOR3 eye{0, 0, 0};
    D3DXVECTOR3 up{0, 0, 1};
    float fov = 0;
    float nearPlane = 0;
    float farPlane = 0;
    bool projectionDirty = false;
    bool viewDirty = false;
    D3DXMATRIX viewProjection;
    D3DXMATRIX inverseView;
    D3DXMATRIX inverseViewProjection;

private:
    // What the projection matrices were last computed from.
    struct ProjectionInputs {
        float fov;
        float aspect;
        float nearPlane;
        float farPlane;
    };

    bool PosedLike(const CPPerspectiveCamera& leader) const;
    void TakeView(const CPPerspectiveCamera& leader);
    void UpdateView();
    void UpdateProjection();
    void UpdatePlanes();

    // The inverse of projection; the identity while projection is.
    D3DXMATRIX inverseProjection = PlatIdentityMatrix();
    FrustumPlanes frustum{planes};
    // The planes `frustum` was laid out from.
    D3DXPLANE frustumSource[PLANE_COUNT] = {};
    std::optional<ProjectionInputs> projectionInputs;
};

// The race camera's main view; null before the first race camera exists.
extern CPPerspectiveCamera* g_MainCamera;

// False when some plane has all eight corners of the box on or outside it.
// Conservative: a box near an edge of the frustum may count as inside.
bool IsBoxInFrustum(const CPRefPtr<CPPerspectiveCamera>& camera, const D3DXVECTOR3& boxMin,
                    const D3DXVECTOR3& boxMax);

#include "Vehicles/WeaponAim.h"

#include "Core/GeometryFunctions.h"
#include "Platform/Random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The rotation about (d.z, 0, -d.x) by the angle, as a matrix; about z for
// d along y, where that axis vanishes.
D3DXMATRIX TurnAboutSideAxis(const D3DXVECTOR3& d, float angle) {
    D3DXVECTOR3 axis(d.z, 0, -d.x);
    if (D3DXVec3LengthSq(&axis) == 0.0f)
        axis = D3DXVECTOR3(0, 0, 1);
    D3DXMATRIX turn;
    return *D3DXMatrixRotationAxis(&turn, &axis, angle);
}

} // namespace

float RandomFraction() {
    return static_cast<float>(PlatRand()) / static_cast<float>(PLAT_RAND_MAX);
}

float AimYaw(const D3DXVECTOR3& aim, const D3DXVECTOR3& forward) {
    D3DXVECTOR2 a(aim.x, aim.y), f(forward.x, forward.y);
    if (D3DXVec2Length(&a) == 0.0f || D3DXVec2Length(&f) == 0.0f)
        return 0.0f;
    D3DXVec2Normalize(&a, &a);
    D3DXVec2Normalize(&f, &f);
    const float cross = a.x * f.y - a.y * f.x;
    const float sign = cross > 0 ? -1.0f : 1.0f;
    return sign * ClampedAcos(D3DXVec2Dot(&a, &f));
}

float RocketElevation(float horizontalDistance) {
    const float reach =
        std::min(kRocketGravity * horizontalDistance / (kRocketLaunchSpeed * kRocketLaunchSpeed), 1.0f);
    return kPi / 2 - ClampedAsin(reach) / 2;
}

D3DXVECTOR3 ConeDirection(const D3DXVECTOR3& axis, float coneAngle) {
    D3DXVECTOR3 d;
    D3DXVec3Normalize(&d, &axis);
    const D3DXMATRIX onto = TurnAboutSideAxis(d, ClampedAcos(d.y));
    const float r1 = RandomFraction();
    const float r2 = RandomFraction();
    D3DXMATRIX spread;
    D3DXMatrixRotationYawPitchRoll(&spread, r1 * 2 * kPi, 0, r2 * coneAngle);
    D3DXMATRIX whole;
    D3DXMatrixMultiply(&whole, &spread, &onto);
    const D3DXVECTOR3 up(0, 1, 0);
    D3DXVECTOR3 out;
    return *D3DXVec3TransformNormal(&out, &up, &whole);
}

D3DXQUATERNION FacingRotation(const D3DXVECTOR3& direction, const D3DXQUATERNION& current) {
    if (D3DXVec3LengthSq(&direction) == 0.0f)
        return current;
    D3DXVECTOR3 d;
    D3DXVec3Normalize(&d, &direction);
    const D3DXMATRIX turn = TurnAboutSideAxis(d, -ClampedAcos(-d.y));
    D3DXQUATERNION out;
    D3DXQuaternionRotationMatrix(&out, &turn);
    return out;
}

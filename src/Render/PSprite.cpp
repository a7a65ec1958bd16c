#include "Render/PSprite.h"

#include "Core/GeometryFunctions.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PSceneObject.h"

#include <algorithm>
#include <cmath>

namespace {

// Fixed-brightness sprites need at least this much.
constexpr float kMinFixedBrightness = 0.1f;
// The fade darkens to 30 % at the edge of the angle.
constexpr float kEdgeDarkening = 0.7f;

DWORD Grey(int brightness) {
    return static_cast<DWORD>(std::clamp(brightness, 0, 255)) * 0x01010101u;
}

D3DXVECTOR3 Translation(const D3DXMATRIX& m) {
    return D3DXVECTOR3(m._41, m._42, m._43);
}

} // namespace

float CPSprite::ViewAngle() const {
    const CPSceneObject* root = owner;
    while (root->GetParentObject())
        root = root->GetParentObject();
    D3DXMATRIX turn;
    D3DXMatrixRotationQuaternion(&turn, &root->GetOrientation());
    D3DXVECTOR3 turnedAxis;
    D3DXVec3TransformNormal(&turnedAxis, &axis, &turn);
    D3DXVec3Normalize(&turnedAxis, &turnedAxis);
    D3DXVECTOR3 toCamera = g_MainCamera->eye - Translation(owner->GetWorldMatrix());
    toCamera.z = 0;
    D3DXVec3Normalize(&toCamera, &toCamera);
    return std::fabs(ClampedAcos(D3DXVec3Dot(&turnedAxis, &toCamera)));
}

bool CPSprite::UpdateQuad() const {
    const float t = fadeAngle;
    if (t < 0) {
        visible = t <= -kMinFixedBrightness;
        // Brightness beyond 1 stays white instead of spilling into the
        // neighbouring colour bytes.
        if (visible)
            colour = Grey(static_cast<int>(std::min(-t, 1.0f) * 255));
    } else if (t > 0 && owner && g_MainCamera) {
        const float angle = ViewAngle();
        visible = angle <= t;
        if (visible)
            colour = Grey(static_cast<int>((1 - angle / t * kEdgeDarkening) * 255));
    } else {
        visible = true;
    }
    return visible;
}

void CPSprite::Fill(MeshVertex* vertexDestination, uint16_t* indexDestination, int baseVertex, int) {
    if (!UpdateQuad())
        return;
    D3DXMATRIX facing;
    if (g_MainCamera)
        facing = g_MainCamera->inverseView;
    else
        D3DXMatrixIdentity(&facing);
    const D3DXVECTOR3 at = owner ? Translation(owner->GetWorldMatrix()) : D3DXVECTOR3(0, 0, 0);
    facing._41 = at.x;
    facing._42 = at.y;
    facing._43 = at.z;
    D3DXMATRIX spin, placement;
    D3DXMatrixRotationZ(&spin, rotation);
    D3DXMatrixMultiply(&placement, &spin, &facing);

    const float h = halfSize;
    const float corners[4][4] = {{-h, -h, uvStart.x, uvStart.y},
                                 {h, -h, uvEnd.x, uvStart.y},
                                 {h, h, uvEnd.x, uvEnd.y},
                                 {-h, h, uvStart.x, uvEnd.y}};
    MeshVertex quad[4] = {};
    for (int k = 0; k < 4; ++k) {
        const D3DXVECTOR3 corner(corners[k][0], corners[k][1], 0);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &corner, &placement);
        quad[k].x = placed.x;
        quad[k].y = placed.y;
        quad[k].z = placed.z;
        quad[k].diffuse = colour;
        quad[k].u0 = corners[k][2];
        quad[k].v0 = corners[k][3];
    }
    ApplyEffects(quad, 4);
    std::copy(quad, quad + 4, vertexDestination);
    const uint16_t order[6] = {0, 2, 1, 0, 3, 2};
    for (int k = 0; k < 6; ++k)
        indexDestination[k] = static_cast<uint16_t>(baseVertex + order[k]);
}

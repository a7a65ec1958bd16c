#include "DynamicSky/SkySprite.h"

#include "DynamicSky/CloudFile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr DWORD kSpriteColour = 0xFF000014;
constexpr DWORD kColourBits = 0x14;

float SafeAcos(float cosine) {
    return std::acos(std::clamp(cosine, -1.0f, 1.0f));
}

D3DXVECTOR3 Normalised(const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

D3DXMATRIX RotationAbout(const D3DXVECTOR3& axis, float angle) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, angle);
    return rotation;
}

D3DXVECTOR3 Transformed(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

MeshVertex Corner(float x, float z, float u, float v) {
    MeshVertex vertex{};
    vertex.x = x;
    vertex.z = z;
    vertex.nx = vertex.ny = vertex.nz = 1;
    vertex.diffuse = kSpriteColour;
    vertex.u0 = u;
    vertex.v0 = v;
    return vertex;
}

} // namespace

void SkySprite::Load(const std::string& effect0, const std::string& effect1) {
    effectNames[0] = effect0;
    effectNames[1] = effect1;
}

void SkySprite::AddTexture(const std::string& name) {
    textureNames.push_back(name);
}

void SkySprite::Setup(float size) {
    const D3DXVECTOR3 towards = Normalised(direction);
    orientation = RotationAbout(D3DXVECTOR3(-towards.y, towards.x, 0), SafeAcos(towards.z));
    UploadGeometry({Corner(-size, -size, 0, 0), Corner(size, -size, 1, 0), Corner(size, size, 1, 1),
                    Corner(-size, size, 0, 1)},
                   {0, 1, 2, 0, 2, 3}, false);
    LoadCurrentTexture();
    SelectEffect(1);
}

void SkySprite::LoadCurrentTexture() {
    if (!textureNames.empty())
        LoadTexture(CloudFile::PathOf(textureNames[static_cast<size_t>(textureIndex)]));
}

void SkySprite::NextFrame() {
    if (textureNames.empty())
        return;
    textureIndex = (textureIndex + 1) % static_cast<int>(textureNames.size());
    LoadCurrentTexture();
}

void SkySprite::SelectEffect(int index) {
    if (index != 0 && index != 1)
        return;
    effectIndex = index;
    LoadEffect(CloudFile::PathOf(effectNames[index]));
}

void SkySprite::SetAlpha(int alpha) {
    for (MeshVertex& vertex : workVertices)
        vertex.diffuse = static_cast<DWORD>(alpha) << 24 | kColourBits;
}

D3DXMATRIX SkySprite::PlacementMatrix() {
    const D3DXMATRIX circle = orientation * RotationAbout(direction, baseAngle - angle + kPi);
    position = Transformed(D3DXVECTOR3(distance, 0, 0), circle);
    // Turn the square's normal, +Y, towards the dome's centre.
    const D3DXVECTOR3 inward = Normalised(-position);
    const D3DXMATRIX face = RotationAbout(D3DXVECTOR3(inward.z, 0, -inward.x), SafeAcos(inward.y));
    // Roll it about that normal so that its +Z edge points up the sky.
    const D3DXVECTOR3 level = Normalised(D3DXVECTOR3(-position.x, 0, -position.z));
    const D3DXVECTOR3 across(level.z, 0, -level.x);
    const D3DXVECTOR3 up = Normalised(Transformed(-position, RotationAbout(across, kPi / 2)));
    const D3DXVECTOR3 edge = Transformed(D3DXVECTOR3(0, 0, 1), face);
    D3DXVECTOR3 axis;
    D3DXVec3Cross(&axis, &edge, &up);
    const D3DXMATRIX roll = RotationAbout(axis, SafeAcos(D3DXVec3Dot(&edge, &up)));
    D3DXMATRIX scaling;
    D3DXMATRIX translation;
    D3DXMatrixScaling(&scaling, scale, scale, scale);
    D3DXMatrixTranslation(&translation, position.x, position.y, position.z);
    return scaling * face * roll * translation;
}

void SkySprite::Update(float) {
    TransformVertices(PlacementMatrix());
    UploadGeometry(vertices, indices, true);
    Render();
}

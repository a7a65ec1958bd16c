#include "Render/PLight.h"

#include "Render/PSceneObject.h"

CPLight::CPLight(CPSceneObject* ownerObject) : light{}, owner(ownerObject) {}

const D3DLIGHT9* CPLight::GetLight() {
    if (owner) {
        const D3DXMATRIX& world = owner->GetWorldMatrix();
        light.Position = D3DXVECTOR3(world._41, world._42, world._43);
    }
    return &light;
}

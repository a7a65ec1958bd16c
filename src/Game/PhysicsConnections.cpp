#include "Game/PhysicsConnections.h"

#include "Game/PGameObject.h"
#include "Physics/PhysicsServices.h"

namespace {

CPGameObject* GameObject(CPObject* object) {
    return dynamic_cast<CPGameObject*>(object);
}

} // namespace

void ConnectPhysicsToGameObjects() {
    g_PhysicsServices.physicData = [](CPObject* object) -> CPPhysicData* {
        CPGameObject* gameObject = GameObject(object);
        return gameObject ? gameObject->physicData.Get() : nullptr;
    };
    g_PhysicsServices.position = [](CPObject* object) {
        CPGameObject* gameObject = GameObject(object);
        return gameObject ? gameObject->GetPosition() : D3DXVECTOR3();
    };
    g_PhysicsServices.orientation = [](CPObject* object) {
        CPGameObject* gameObject = GameObject(object);
        return gameObject ? gameObject->GetOrientation() : D3DXQUATERNION(0, 0, 0, 1);
    };
    g_PhysicsServices.setPose = [](CPObject* object, const D3DXVECTOR3& position,
                                   const D3DXQUATERNION& orientation) {
        if (CPGameObject* gameObject = GameObject(object)) {
            gameObject->SetPosition(position);
            gameObject->SetOrientation(orientation);
            gameObject->UpdateHierarchy();
        }
    };
}

#include "Physics/Simulator/RbAnimatedBody.h"

#include "Physics/Simulator/RbQuaternion.h"

void RbAnimatedBody::SetPosition(const RbVector& position) {
    worldTransform.SetPosition(position);
    if (geometries.count > 0)
        UpdateWorldBounds();
    moved = 1;
}

void RbAnimatedBody::SetRotation(const RbVector& quaternion) {
    RbMatrix3 rotation = RbQuaternionToRotation(RbNormaliseQuaternion(quaternion));
    for (int i = 0; i < 3; ++i)
        worldTransform.row[i] = {rotation.row[i].x, rotation.row[i].y, rotation.row[i].z, 0.0f};
    moved = 1;
}

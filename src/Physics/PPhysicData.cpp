#include "Physics/PPhysicData.h"

#include "Physics/RbAnimatedBody.h"
#include "Physics/RbRigidBody.h"

#include <algorithm>
#include <iterator>

void CPPhysicData::SetBoxBody(float a, float b, float c, float bodyMass) {
    inertiaShape = 0;
    sizes[0] = b;
    sizes[1] = a;
    sizes[2] = c;
    mass = bodyMass;
}

void CPPhysicData::AddBoxShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation, float size1,
                               float size2, float size3, float shapeMass) {
    shapes.push_back({0, position, rotation, size1, size2, size3, 0.0f, shapeMass});
}

void CPPhysicData::AddCylinderShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation,
                                    float diameter, float height, float shapeMass) {
    shapes.push_back({1, position, rotation, 5.0f, height, 5.0f, diameter, shapeMass});
}

void CPPhysicData::CopyFrom(const CPPhysicData& source) {
    inertiaShape = source.inertiaShape;
    std::copy(std::begin(source.sizes), std::end(source.sizes), sizes);
    mass = source.mass;
    shapes = source.shapes;
}

void CPPhysicData::SetPosition(const D3DXVECTOR3& position) {
    const RbVector p(position.x, position.y, position.z);
    if (animatedBody)
        animatedBody->SetPosition(p);
    else if (rigidBody)
        rigidBody->SetPosition(p);
}

void CPPhysicData::SetOrientation(const D3DXQUATERNION& orientation) {
    const RbVector q(orientation.x, orientation.y, orientation.z, orientation.w);
    if (animatedBody)
        animatedBody->SetRotation(q);
    else if (rigidBody)
        rigidBody->SetRotation(q);
}

#include "Physics/PPhysicData.h"

#include "Core/Log.h"
#include "Core/PSettings.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbAnimatedBody.h"
#include "Physics/Simulator/RbInertia.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/VectorConversions.h"

#include <algorithm>
#include <iterator>

CPPhysicData::~CPPhysicData() {
    if (g_Physics)
        g_Physics->ForgetDescription(this);
}

float CPPhysicData::WeightDivisor() {
    if (g_WeightDiv > 0)
        return static_cast<float>(g_WeightDiv);
    static bool reported = false;
    if (!reported) {
        GetLog().Print(0, "The setting weight_div is %d; masses are taken undivided\n", g_WeightDiv);
        reported = true;
    }
    return 1.0f;
}

void CPPhysicData::SetBoxBody(float a, float b, float c, float bodyMass) {
    inertiaShape = 0;
    sizes[0] = b;
    sizes[1] = a;
    sizes[2] = c;
    mass = bodyMass / WeightDivisor();
}

void CPPhysicData::AddBoxShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation, float size1,
                               float size2, float size3, float shapeMass) {
    shapes.push_back(
        {0, nullptr, position, rotation, size1, size2, size3, 0.0f, shapeMass / WeightDivisor()});
}

void CPPhysicData::AddCylinderShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation,
                                    float diameter, float height, float shapeMass) {
    shapes.push_back(
        {1, nullptr, position, rotation, 5.0f, height, 5.0f, diameter, shapeMass / WeightDivisor()});
}

void CPPhysicData::CopyFrom(const CPPhysicData& source) {
    inertiaShape = source.inertiaShape;
    std::copy(std::begin(source.sizes), std::end(source.sizes), sizes);
    mass = source.mass;
    shapes = source.shapes;
    for (CollisionShape& shape : shapes)
        shape.geometry = nullptr;
}

void CPPhysicData::SetupRigidBody() {
    if (!rigidBody)
        return;
    if (mass > 0.0f) {
        RbVector inertia = RbBoxInertiaTensorFromVector({sizes[0], sizes[2], sizes[1]}, mass);
        rigidBody->SetInertiaTensor(inertia.x, inertia.y, inertia.z);
    }
    rigidBody->SetMass(mass);
    rigidBody->SetPosition(ToRb(g_PhysicsServices.position(owner)));
    rigidBody->SetRotation(ToRb(g_PhysicsServices.orientation(owner)));
    if (attachController && !controller)
        controller = rigidBody->AddController(this, 1);
    rigidBody->UpdateBoundingInfo();
}

void CPPhysicData::SetPosition(const D3DXVECTOR3& position) {
    if (animatedBody)
        animatedBody->SetPosition(ToRb(position));
    else if (rigidBody)
        rigidBody->SetPosition(ToRb(position));
}

void CPPhysicData::SetOrientation(const D3DXQUATERNION& orientation) {
    if (animatedBody)
        animatedBody->SetRotation(ToRb(orientation));
    else if (rigidBody)
        rigidBody->SetRotation(ToRb(orientation));
}

void CPPhysicData::RemoveBody() {
    if ((rigidBody || animatedBody) && g_Physics)
        g_Physics->RemoveObjectBody(this);
}

void CPPhysicData::UpdateController(RbController* /*attached*/, float /*timeStep*/) {
    if (!overrideMotion || !rigidBody)
        return;
    rigidBody->SetAngularMomentum(ToRb(storedAngularMomentum));
    rigidBody->SetVelocity(ToRb(storedVelocity));
}

#pragma once

#include "Core/PObject.h"
#include "Platform/D3DX9Math.h"

#include <string>
#include <vector>

class CPObject;
class RbAnimatedBody;
class RbRigidBody;

// Stands in for the physics description of a game object until the physics
// task lands: it keeps the box body and the collision shapes read from a
// mesh file and moves the body it is given. Building bodies and the mass
// divisor come with the physics task.
class CPPhysicData : public CPObject {
public:
    struct CollisionShape {
        // 0 box, 1 cylinder.
        int type = 0;
        D3DXVECTOR3 position;
        D3DXQUATERNION rotation;
        float size1 = 0.0f;
        float size2 = 0.0f;
        float size3 = 0.0f;
        float diameter = 0.0f;
        float massShare = 0.0f;
    };

    explicit CPPhysicData(CPObject* owner) : owner(owner) {}

    // sizes = (b, a, c).
    void SetBoxBody(float a, float b, float c, float bodyMass);
    void AddBoxShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation, float size1, float size2,
                     float size3, float shapeMass);
    // A cylinder's sizes are (5, height, 5).
    void AddCylinderShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation, float diameter,
                          float height, float shapeMass);
    // Takes the mass, shape type, sizes and shapes; never the bodies.
    void CopyFrom(const CPPhysicData& source);

    // Move and turn the animated body, else the rigid body, else nothing.
    void SetPosition(const D3DXVECTOR3& position);
    void SetOrientation(const D3DXQUATERNION& orientation);

    size_t GetSize() const override { return sizeof(CPPhysicData); }
    std::string GetClassName() const override { return "CPPhysicData"; }

    CPObject* owner;
    RbAnimatedBody* animatedBody = nullptr;
    RbRigidBody* rigidBody = nullptr;
    std::vector<CollisionShape> shapes;
    int inertiaShape = 0;
    float sizes[4] = {};
    float mass = 0.0f;
};

#pragma once

#include "Core/PObject.h"
#include "Physics/PTerrainGrid.h"
#include "Physics/Simulator/RbControllerCallback.h"
#include "Platform/D3DX9Math.h"

#include <string>
#include <vector>

struct RbAnimatedBody;
struct RbGeometry;
struct RbRigidBody;

// The physics description a game object owns: the mass and box sizes its
// inertia comes from, the collision shapes read from its mesh file, and the
// body the physics task builds from them. Moving the description moves its
// body. It can serve as its rigid body's per-step controller, forcing stored
// velocities while `overrideMotion` is set.
class CPPhysicData : public CPObject, public RbControllerCallback {
public:
    struct CollisionShape {
        // 0 box, 1 cylinder.
        int type = 0;
        // Built by the physics task; null before.
        RbGeometry* geometry = nullptr;
        D3DXVECTOR3 position;
        D3DXQUATERNION rotation;
        float size1 = 0.0f;
        float size2 = 0.0f;
        float size3 = 0.0f;
        float diameter = 0.0f;
        float massShare = 0.0f;
    };

    explicit CPPhysicData(CPObject* owner) : owner(owner) {}
    // Tells the physics task, which then lets go of the body and the owner.
    ~CPPhysicData() override;

    // sizes = (b, a, c); the mass is divided by the "weight_div" setting.
    void SetBoxBody(float a, float b, float c, float bodyMass);
    void AddBoxShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation, float size1, float size2,
                     float size3, float shapeMass);
    // A cylinder's sizes are (5, height, 5).
    void AddCylinderShape(const D3DXVECTOR3& position, const D3DXQUATERNION& rotation, float diameter,
                          float height, float shapeMass);
    // Takes the mass, shape type, sizes and shapes; never the bodies.
    void CopyFrom(const CPPhysicData& source);

    // Gives the rigid body the description's mass and inertia and the
    // owner's pose; nothing without a rigid body.
    void SetupRigidBody();
    // Move and turn the animated body, else the rigid body, else nothing.
    void SetPosition(const D3DXVECTOR3& position);
    void SetOrientation(const D3DXQUATERNION& orientation);
    // Hands the body back to the physics task for freeing.
    void RemoveBody();

    void UpdateController(RbController* attached, float timeStep) override;

    size_t GetSize() const override { return sizeof(CPPhysicData); }
    std::string GetClassName() const override { return "CPPhysicData"; }

    // The mass divisor: the "weight_div" setting, or 1 when that is not
    // positive (it is 0 when config.cfg does not set it).
    static float WeightDivisor();

    RbController* controller = nullptr;
    RbAnimatedBody* animatedBody = nullptr;
    std::vector<CollisionShape> shapes;
    CPObject* owner;
    bool attachController = false;
    D3DXVECTOR3 storedAngularMomentum;
    D3DXVECTOR3 storedVelocity;
    bool overrideMotion = false;
    // Whether the object wants its body active.
    bool active = false;
    // The triangles of the last terrain query of this object's body.
    int candidateTriangles[CPTerrainGrid::CandidateCapacity] = {};
    int candidateCount = 0;
    // Whether the physics has looked for terrain under the body yet: until
    // then a count of 0 says nothing.
    bool terrainQueried = false;
    RbRigidBody* rigidBody = nullptr;
    int inertiaShape = 0;
    float sizes[4] = {};
    float mass = 0.0f;
    bool isParticle = false;
};

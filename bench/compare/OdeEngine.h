#pragma once

#include "PhysicsEngine.h"

#include <ode/ode.h>

// ODE's world stepped by dWorldQuickStep (single-threaded), geoms in a hash
// space, the terrain one static dTriMesh, the wheels one dRay geom each.
class OdeEngine : public PhysicsEngine {
public:
    static constexpr int MaxContacts = 4; // per geom pair

    explicit OdeEngine(SleepRule rule);
    ~OdeEngine() override;
    OdeEngine(const OdeEngine&) = delete;
    OdeEngine& operator=(const OdeEngine&) = delete;

    const char* Name() const override { return sleep == SleepRule::Matched ? "ODE, matched sleep" : "ODE"; }
    void PrintSettings() const override;
    void Load(const PhysicsScene& scene) override;
    void Step() override;
    std::vector<RbVector> Positions() const override;

private:
    struct Wheel {
        dGeomID ray;
        dBodyID car;
        RbVector offset;
        bool hit;
        dContactGeom nearest;
    };

    void Clear();
    dBodyID AddBox(const RbVector& size, float mass, const RbVector& position);
    void CastWheel(Wheel& wheel, dGeomID other);
    void Touch(dGeomID a, dGeomID b);
    void PushCar(const Wheel& wheel);
    static void Near(void* engine, dGeomID a, dGeomID b);

    SleepRule sleep;
    dWorldID world = nullptr;
    dSpaceID space = nullptr;
    dJointGroupID contacts = nullptr;
    dTriMeshDataID meshData = nullptr;
    std::vector<float> meshVertices;
    std::vector<int> meshIndices;
    std::vector<dBodyID> bodies; // the boxes, then the cars
    std::vector<Wheel> wheels;
};

#include "OdeEngine.h"

#include "Kernels.h"

#include <cstdint>
#include <cstdio>

namespace {

RbVector FromOde(const dReal* v) {
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

// Rows of our transforms are the box's axes; ODE's matrix holds them as columns.
void SetPose(dGeomID geom, const RbMatrix4& m) {
    dMatrix3 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            r[i * 4 + j] = m.row[j][i];
        r[i * 4 + 3] = 0;
    }
    dGeomSetRotation(geom, r);
    dGeomSetPosition(geom, m.row[3].x, m.row[3].y, m.row[3].z);
}

const char* Precision() {
#ifdef dDOUBLE
    return "double";
#else
    return "single";
#endif
}

// The library is initialised once for the program.
struct OdeLibrary {
    OdeLibrary() { dInitODE2(0); }
    ~OdeLibrary() { dCloseODE(); }
};
const OdeLibrary library;

} // namespace

OdeEngine::OdeEngine(SleepRule rule) : sleep(rule) {
    Load({"empty", {}, {}, {}, 0, 0});
}

OdeEngine::~OdeEngine() {
    Clear();
}

void OdeEngine::PrintSettings() const {
    dReal linear = dWorldGetAutoDisableLinearThreshold(world);
    dReal angular = dWorldGetAutoDisableAngularThreshold(world);
    std::printf(
        "ODE %s (%s precision, Debian's build; configuration: %s):\n"
        "  dWorldQuickStep(%.6f) with %d iterations, ERP %.2f, CFM %g, contact surface layer %g,\n"
        "  max correcting velocity %g; dHashSpace; up to %d contacts per geom pair, each a contact\n"
        "  joint with mu %.2f (dContactApprox1: Coulomb friction pyramid) and %s; no collision margins;\n"
        "  bodies auto-disable after %d steps below %g m/s and %g rad/s (%s;\n"
        "  auto-disabling is switched on, ODE's default is off); box inertia of a solid box; wheels:\n"
        "  one dRay geom per wheel (closest hit), placed from the chassis before dSpaceCollide,\n"
        "  ignoring the car's own box, spring force by\n"
        "  dBodyAddForceAtPos at the hit point; cars never auto-disable.\n",
        KV_ODE_VERSION, Precision(), dGetConfiguration(), SceneTimeStep,
        dWorldGetQuickStepNumIterations(world), dWorldGetERP(world), dWorldGetCFM(world),
        dWorldGetContactSurfaceLayer(world), dWorldGetContactMaxCorrectingVel(world), MaxContacts,
        SceneFriction, SceneRestitution > 0 ? "bounce" : "no bounce", dWorldGetAutoDisableSteps(world),
        linear, angular, sleep == SleepRule::Matched ? "matched to ours" : "ODE's default thresholds");
}

void OdeEngine::Clear() {
    if (contacts)
        dJointGroupDestroy(contacts);
    if (space)
        dSpaceDestroy(space); // destroys the geoms in it
    if (world)
        dWorldDestroy(world); // destroys the bodies
    if (meshData)
        dGeomTriMeshDataDestroy(meshData);
    contacts = nullptr;
    space = nullptr;
    world = nullptr;
    meshData = nullptr;
    bodies.clear();
    wheels.clear();
}

dBodyID OdeEngine::AddBox(const RbVector& size, float mass, const RbVector& position) {
    dBodyID body = dBodyCreate(world);
    dMass m;
    dMassSetBoxTotal(&m, mass, size.x, size.y, size.z);
    dBodySetMass(body, &m);
    dBodySetPosition(body, position.x, position.y, position.z);
    dGeomSetBody(dCreateBox(space, size.x, size.y, size.z), body);
    bodies.push_back(body);
    return body;
}

void OdeEngine::Load(const PhysicsScene& scene) {
    Clear();
    world = dWorldCreate();
    dWorldSetGravity(world, 0, 0, SceneGravity);
    dWorldSetQuickStepNumIterations(world, 20);
    dWorldSetERP(world, 0.2);
    dWorldSetCFM(world, 1e-5);
    dWorldSetAutoDisableFlag(world, 1);
    if (sleep == SleepRule::Matched) {
        dWorldSetAutoDisableLinearThreshold(world, MatchedSleepSpeed);
        dWorldSetAutoDisableAngularThreshold(world, MatchedSleepSpeed);
        dWorldSetAutoDisableSteps(world, MatchedSleepSteps);
        dWorldSetAutoDisableTime(world, 0);
    }
    space = dHashSpaceCreate(nullptr);
    contacts = dJointGroupCreate(0);
    meshVertices.clear();
    meshIndices.clear();
    for (const RbVector& v : scene.terrain.vertices)
        meshVertices.insert(meshVertices.end(), {v.x, v.y, v.z});
    for (const RbTriangle& t : scene.terrain.triangles)
        meshIndices.insert(meshIndices.end(), {t.vertex[0], t.vertex[1], t.vertex[2]});
    if (!meshIndices.empty()) {
        meshData = dGeomTriMeshDataCreate();
        dGeomTriMeshDataBuildSingle(meshData, meshVertices.data(), 3 * sizeof(float),
                                    static_cast<int>(meshVertices.size() / 3), meshIndices.data(),
                                    static_cast<int>(meshIndices.size()), 3 * sizeof(int));
        dCreateTriMesh(space, meshData, nullptr, nullptr, nullptr);
    }
    for (const SceneBox& box : scene.boxes)
        AddBox(box.size, box.mass, box.position);
    for (const RbVector& centre : scene.cars) {
        dBodyID car = AddBox(SceneCar::Size, SceneCar::Mass, centre);
        dBodySetAutoDisableFlag(car, 0);
        for (const RbVector& offset : SceneCar::Wheels) {
            dGeomID ray = dCreateRay(space, RbSafeLength(SceneCar::Ray));
            dGeomRaySetClosestHit(ray, 1);
            dGeomSetData(ray, reinterpret_cast<void*>(static_cast<std::uintptr_t>(wheels.size())));
            wheels.push_back({ray, car, offset, false, {}});
        }
    }
}

void OdeEngine::CastWheel(Wheel& wheel, dGeomID other) {
    if (dGeomGetBody(other) == wheel.car || dGeomGetClass(other) == dRayClass)
        return;
    dContactGeom hit;
    if (dCollide(wheel.ray, other, 1, &hit, sizeof hit) == 1 &&
        (!wheel.hit || hit.depth < wheel.nearest.depth)) {
        wheel.hit = true;
        wheel.nearest = hit;
    }
}

void OdeEngine::Touch(dGeomID a, dGeomID b) {
    dBodyID bodyA = dGeomGetBody(a), bodyB = dGeomGetBody(b);
    // Pairs of sleeping (or static) bodies make no contacts.
    if ((!bodyA || !dBodyIsEnabled(bodyA)) && (!bodyB || !dBodyIsEnabled(bodyB)))
        return;
    dContact contact[MaxContacts] = {};
    int count = dCollide(a, b, MaxContacts, &contact[0].geom, sizeof(dContact));
    for (int i = 0; i < count; ++i) {
        contact[i].surface.mode = dContactApprox1 | (SceneRestitution > 0 ? dContactBounce : 0);
        contact[i].surface.mu = SceneFriction;
        contact[i].surface.bounce = SceneRestitution;
        dJointAttach(dJointCreateContact(world, contacts, &contact[i]), bodyA, bodyB);
    }
}

void OdeEngine::Near(void* engine, dGeomID a, dGeomID b) {
    OdeEngine& self = *static_cast<OdeEngine*>(engine);
    auto wheelOf = [&self](dGeomID ray) -> Wheel& {
        return self.wheels[reinterpret_cast<std::uintptr_t>(dGeomGetData(ray))];
    };
    if (dGeomGetClass(a) == dRayClass)
        self.CastWheel(wheelOf(a), b);
    else if (dGeomGetClass(b) == dRayClass)
        self.CastWheel(wheelOf(b), a);
    else
        self.Touch(a, b);
}

void OdeEngine::PushCar(const Wheel& wheel) {
    dVector3 down, forward, velocity;
    dBodyVectorToWorld(wheel.car, SceneCar::Ray.x, SceneCar::Ray.y, SceneCar::Ray.z, down);
    dBodyVectorToWorld(wheel.car, 0, 1, 0, forward);
    const dReal* point = wheel.nearest.pos;
    dBodyGetPointVel(wheel.car, point[0], point[1], point[2], velocity);
    dReal length = RbSafeLength(SceneCar::Ray);
    RbVector force = SceneCar::WheelForce(
        FromOde(wheel.nearest.normal), static_cast<float>(length - wheel.nearest.depth),
        FromOde(down) * static_cast<float>(1 / length), FromOde(velocity), FromOde(forward));
    dBodyAddForceAtPos(wheel.car, force.x, force.y, force.z, point[0], point[1], point[2]);
}

void OdeEngine::Step() {
    for (Wheel& wheel : wheels) {
        dVector3 start, line;
        dBodyGetRelPointPos(wheel.car, wheel.offset.x, wheel.offset.y, wheel.offset.z, start);
        dBodyVectorToWorld(wheel.car, SceneCar::Ray.x, SceneCar::Ray.y, SceneCar::Ray.z, line);
        dGeomRaySet(wheel.ray, start[0], start[1], start[2], line[0], line[1], line[2]);
        wheel.hit = false;
    }
    dSpaceCollide(space, this, &Near);
    for (const Wheel& wheel : wheels)
        if (wheel.hit)
            PushCar(wheel);
    dWorldQuickStep(world, SceneTimeStep);
    dJointGroupEmpty(contacts);
}

std::vector<RbVector> OdeEngine::Positions() const {
    std::vector<RbVector> positions;
    for (dBodyID body : bodies)
        positions.push_back(FromOde(dBodyGetPosition(body)));
    return positions;
}

RayHit OdeRayTriangle(const RbVector triangle[3], const RbVector& start, const RbVector& line) {
    float vertices[9];
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            vertices[3 * i + k] = triangle[i][k];
    const int indices[3] = {0, 1, 2};
    dTriMeshDataID data = dGeomTriMeshDataCreate();
    dGeomTriMeshDataBuildSingle(data, vertices, 3 * sizeof(float), 3, indices, 3, 3 * sizeof(int));
    dGeomID mesh = dCreateTriMesh(nullptr, data, nullptr, nullptr, nullptr);
    float length = RbSafeLength(line);
    dGeomID ray = dCreateRay(nullptr, length);
    dGeomRaySet(ray, start.x, start.y, start.z, line.x, line.y, line.z);
    dGeomRaySetClosestHit(ray, 1);
    dContactGeom hit;
    RayHit result;
    if (dCollide(ray, mesh, 1, &hit, sizeof hit) == 1)
        result = {true, length - static_cast<float>(hit.depth), FromOde(hit.normal), FromOde(hit.pos)};
    dGeomDestroy(ray);
    dGeomDestroy(mesh);
    dGeomTriMeshDataDestroy(data);
    return result;
}

BoxContact OdeBoxBox(const BoxPose& a, const BoxPose& b) {
    dGeomID boxA = dCreateBox(nullptr, 2 * a.halfExtents.x, 2 * a.halfExtents.y, 2 * a.halfExtents.z);
    dGeomID boxB = dCreateBox(nullptr, 2 * b.halfExtents.x, 2 * b.halfExtents.y, 2 * b.halfExtents.z);
    SetPose(boxA, a.transform);
    SetPose(boxB, b.transform);
    dContactGeom points[8];
    int count = dCollide(boxA, boxB, 8, points, sizeof(dContactGeom));
    BoxContact result;
    for (int i = 0; i < count; ++i) {
        if (points[i].depth > result.depth)
            result = {true, static_cast<float>(points[i].depth), FromOde(points[i].normal)};
    }
    dGeomDestroy(boxA);
    dGeomDestroy(boxB);
    return result;
}

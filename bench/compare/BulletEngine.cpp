#include "BulletEngine.h"

#include "Kernels.h"

#include <BulletCollision/CollisionDispatch/btBoxBoxDetector.h>

#include <cmath>
#include <cstdio>

namespace {

btVector3 ToBullet(const RbVector& v) {
    return {v.x, v.y, v.z};
}

RbVector FromBullet(const btVector3& v) {
    return {v.x(), v.y(), v.z()};
}

// Bullet multiplies the frictions of the two objects: each gets the square
// root of the scene's friction so every pair ends up with the scene's value.
const float ObjectFriction = std::sqrt(SceneFriction);

// Bullet's own time to sleep, before any engine changes it.
const btScalar BulletDeactivationTime = gDeactivationTime;

btTransform ToBullet(const RbMatrix4& m) {
    const RbVector* r = m.row;
    btMatrix3x3 basis(r[0].x, r[1].x, r[2].x, r[0].y, r[1].y, r[2].y, r[0].z, r[1].z, r[2].z);
    return btTransform(basis, ToBullet(m.Position()));
}

// The nearest hit of a ray that ignores the body casting it.
struct WheelRay : btCollisionWorld::ClosestRayResultCallback {
    WheelRay(const btVector3& from, const btVector3& to, const btCollisionObject* car)
        : ClosestRayResultCallback(from, to), self(car) {}
    bool needsCollision(btBroadphaseProxy* proxy) const override {
        return proxy->m_clientObject != self && ClosestRayResultCallback::needsCollision(proxy);
    }
    const btCollisionObject* self;
};

} // namespace

void BulletEngine::PrintSettings() const {
    // Fresh objects carry the defaults the scenes keep.
    btContactSolverInfo info;
    btBoxShape box(btVector3(0.5f, 0.5f, 0.5f));
    btTriangleMesh triangle;
    triangle.addTriangle(btVector3(0, 0, 0), btVector3(1, 0, 0), btVector3(0, 1, 0));
    btBvhTriangleMeshShape terrain(&triangle, true);
    btRigidBody body(1, nullptr, &box);
    std::printf(
        "Bullet %d.%02d (%s precision, Debian's build): btDiscreteDynamicsWorld, btDbvtBroadphase,\n"
        "  btSequentialImpulseConstraintSolver with %d iterations, erp %.2f, erp2 %.2f, global cfm %g,\n"
        "  split impulse %d, warm starting %.2f; one stepSimulation(%.6f, 0) per step;\n"
        "  friction %.4f per object (Bullet multiplies them: %.2f per pair), restitution %.2f;\n"
        "  box margin %.3f (inside the box's extents), triangle mesh margin %.3f, contact breaking\n"
        "  threshold %.3f; bodies sleep after %.2f s below %.2f m/s and %.2f rad/s (%s);\n"
        "  box inertia of a solid box; wheels: a closest-hit rayTest per wheel (btRaycastVehicle's way,\n"
        "  ignoring the car's own body), spring force by applyForce at the hit point before the step;\n"
        "  cars never sleep.\n",
        btGetVersion() / 100, btGetVersion() % 100, sizeof(btScalar) == 8 ? "double" : "single",
        info.m_numIterations, info.m_erp, info.m_erp2, info.m_globalCfm, info.m_splitImpulse,
        info.m_warmstartingFactor, SceneTimeStep, ObjectFriction, SceneFriction, SceneRestitution,
        box.getMargin(), terrain.getMargin(), gContactBreakingThreshold, DeactivationTime(),
        sleep == SleepRule::Matched ? MatchedSleepSpeed : body.getLinearSleepingThreshold(),
        sleep == SleepRule::Matched ? MatchedSleepSpeed : body.getAngularSleepingThreshold(),
        sleep == SleepRule::Matched ? "matched to ours" : "Bullet's defaults");
}

btScalar BulletEngine::DeactivationTime() const {
    return sleep == SleepRule::Matched ? MatchedSleepSteps * SceneTimeStep : BulletDeactivationTime;
}

void BulletEngine::Clear() {
    world.reset();
    bodies.clear();
    shapes.clear();
    mesh.reset();
}

btRigidBody* BulletEngine::AddBody(btCollisionShape* shape, float mass, const RbVector& position) {
    btVector3 inertia(0, 0, 0);
    if (mass > 0)
        shape->calculateLocalInertia(mass, inertia);
    btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, shape, inertia);
    info.m_startWorldTransform.setIdentity();
    info.m_startWorldTransform.setOrigin(ToBullet(position));
    info.m_friction = ObjectFriction;
    info.m_restitution = SceneRestitution;
    if (sleep == SleepRule::Matched) {
        info.m_linearSleepingThreshold = MatchedSleepSpeed;
        info.m_angularSleepingThreshold = MatchedSleepSpeed;
    }
    bodies.push_back(std::make_unique<btRigidBody>(info));
    world->addRigidBody(bodies.back().get());
    return bodies.back().get();
}

void BulletEngine::Load(const PhysicsScene& scene) {
    Clear();
    world = std::make_unique<btDiscreteDynamicsWorld>(&dispatcher, &broadphase, &solver, &configuration);
    world->setGravity(btVector3(0, 0, SceneGravity));
    mesh = std::make_unique<btTriangleMesh>();
    const std::vector<RbVector>& v = scene.terrain.vertices;
    for (const RbTriangle& t : scene.terrain.triangles)
        mesh->addTriangle(ToBullet(v[t.vertex[0]]), ToBullet(v[t.vertex[1]]), ToBullet(v[t.vertex[2]]));
    if (!scene.terrain.triangles.empty()) {
        shapes.push_back(std::make_unique<btBvhTriangleMeshShape>(mesh.get(), true));
        AddBody(shapes.back().get(), 0, {});
    }
    firstBox = bodies.size();
    for (const SceneBox& box : scene.boxes) {
        shapes.push_back(std::make_unique<btBoxShape>(ToBullet(box.size * 0.5f)));
        AddBody(shapes.back().get(), box.mass, box.position);
    }
    firstCar = bodies.size();
    for (const RbVector& centre : scene.cars) {
        shapes.push_back(std::make_unique<btBoxShape>(ToBullet(SceneCar::Size * 0.5f)));
        AddBody(shapes.back().get(), SceneCar::Mass, centre)->setActivationState(DISABLE_DEACTIVATION);
    }
}

void BulletEngine::PushCar(btRigidBody& car) {
    const btTransform& pose = car.getWorldTransform();
    btVector3 ray = pose.getBasis() * ToBullet(SceneCar::Ray);
    btVector3 down = ray.normalized();
    for (const RbVector& wheel : SceneCar::Wheels) {
        btVector3 from = pose * ToBullet(wheel), to = from + ray;
        WheelRay hit(from, to, &car);
        world->rayTest(from, to, hit);
        if (!hit.hasHit())
            continue;
        btVector3 lever = hit.m_hitPointWorld - car.getCenterOfMassPosition();
        RbVector force = SceneCar::WheelForce(
            FromBullet(hit.m_hitNormalWorld), (1 - hit.m_closestHitFraction) * ray.length(), FromBullet(down),
            FromBullet(car.getVelocityInLocalPoint(lever)), FromBullet(pose.getBasis().getColumn(1)));
        car.applyForce(ToBullet(force), lever);
    }
}

void BulletEngine::Step() {
    for (std::size_t i = firstCar; i < bodies.size(); ++i)
        PushCar(*bodies[i]);
    gDeactivationTime = DeactivationTime();
    world->stepSimulation(SceneTimeStep, 0);
}

std::vector<RbVector> BulletEngine::Positions() const {
    std::vector<RbVector> positions;
    for (std::size_t i = firstBox; i < bodies.size(); ++i)
        positions.push_back(FromBullet(bodies[i]->getCenterOfMassPosition()));
    return positions;
}

RayHit BulletRayTriangle(const RbVector triangle[3], const RbVector& start, const RbVector& line) {
    btTriangleMesh mesh;
    mesh.addTriangle(ToBullet(triangle[0]), ToBullet(triangle[1]), ToBullet(triangle[2]));
    btBvhTriangleMeshShape shape(&mesh, true);
    btCollisionObject object;
    object.setCollisionShape(&shape);
    btVector3 from = ToBullet(start), to = ToBullet(start + line);
    btCollisionWorld::ClosestRayResultCallback hit(from, to);
    btTransform identity = btTransform::getIdentity();
    btCollisionWorld::rayTestSingle(btTransform(btMatrix3x3::getIdentity(), from),
                                    btTransform(btMatrix3x3::getIdentity(), to), &object, &shape, identity,
                                    hit);
    if (!hit.hasHit())
        return {};
    return {true, (1 - hit.m_closestHitFraction) * RbSafeLength(line), FromBullet(hit.m_hitNormalWorld),
            FromBullet(hit.m_hitPointWorld)};
}

namespace {

// The deepest point btBoxBoxDetector reports; its normal points from B to A.
struct DeepestPoint : btDiscreteCollisionDetectorInterface::Result {
    void setShapeIdentifiersA(int, int) override {}
    void setShapeIdentifiersB(int, int) override {}
    void addContactPoint(const btVector3& normalOnB, const btVector3&, btScalar distance) override {
        if (distance < deepest) {
            deepest = distance;
            normal = normalOnB;
        }
    }
    btScalar deepest = 0;
    btVector3 normal{0, 0, 0};
};

} // namespace

BoxContact BulletBoxBox(const BoxPose& a, const BoxPose& b) {
    btBoxShape boxA(ToBullet(a.halfExtents)), boxB(ToBullet(b.halfExtents));
    btBoxBoxDetector detector(&boxA, &boxB);
    btDiscreteCollisionDetectorInterface::ClosestPointInput input;
    input.m_transformA = ToBullet(a.transform);
    input.m_transformB = ToBullet(b.transform);
    DeepestPoint result;
    detector.getClosestPoints(input, result, nullptr);
    if (result.deepest >= 0)
        return {};
    return {true, -result.deepest, FromBullet(result.normal)};
}

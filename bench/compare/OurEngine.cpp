#include "OurEngine.h"

#include "Kernels.h"
#include "Physics/Simulator/RbNarrowPhase.h"
#include "Physics/Simulator/RbSensorTest.h"

#include <cstdio>

void OurEngine::PrintSettings() const {
    std::printf(
        "%s: one step of %.6f s per Advance, float32; one contact point per body pair per step,\n"
        "  sequential impulses in 2 passes (the second without restitution) over stacked groups,\n"
        "  resting contacts and sleep by the simulator's own rest thresholds;\n"
        "  friction %.2f and restitution %.2f on both materials (pairs take the smaller);\n"
        "  no collision margin (boxes exact, terrain triangles two-sided); box inertia as the game sets it;\n"
        "  wheels: 4 line sensors per car tested inside the step, spring force at the hit point from the\n"
        "  car's controller; terrain triangles from %s.\n",
        Name(), SceneTimeStep, SceneFriction, SceneRestitution,
        query == SceneQuery::GameGrid
            ? "the game's own grid query (CPTerrainGrid)"
            : "the test helper's query (4 m cells, only the cells the box touches)");
}

std::vector<RbVector> OurEngine::Positions() const {
    std::vector<RbVector> positions;
    for (const RbRigidBody* body : loaded->bodies)
        positions.push_back(body->GetPosition());
    return positions;
}

RayHit OurRayTriangle(const RbVector triangle[3], const RbVector& start, const RbVector& line) {
    RbTestTerrain terrain;
    terrain.AddTriangle(triangle[0], triangle[1], triangle[2]);
    const int candidate = 0;
    const RbTriangle* triangles = terrain.triangles.data();
    RbGeometry set;
    set.MakeTriangleSet(&candidate, &candidate + 1, &triangles, terrain.vertices.data(), 1);
    RbSensor sensor;
    sensor.SetLineSensor(start, line);
    RbSensorLineTest(sensor, set, RbMatrix4());
    return {sensor.detectDepth > 0.0f, sensor.detectDepth, sensor.detectNormal, sensor.detectPoint};
}

BoxContact OurBoxBox(const BoxPose& a, const BoxPose& b) {
    RbGeometry boxA, boxB;
    boxA.SetHalfExtents(a.halfExtents);
    boxB.SetHalfExtents(b.halfExtents);
    RbCollisionResult result;
    RbBoxBoxTest(result, boxA, a.transform, boxB, b.transform);
    return {result.hasContact != 0, result.depth, result.normal};
}

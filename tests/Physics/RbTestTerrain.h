#pragma once

#include "Physics/Simulator/RbInertia.h"
#include "Physics/Simulator/RbSimulator.h"
#include "Physics/Simulator/RbTriangle.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Terrain triangles served through a world's terrain query, the way the game's
// grid serves its collision mesh: triangles are bucketed into square cells of
// the xy plane, and a query returns the triangles of the cells its box touches
// (a triangle spanning several of them once per cell).
class RbTestTerrain {
public:
    static constexpr float CellSize = 4.0f;

    // Two triangles, counter-clockwise seen from the side the normal faces.
    void AddQuad(const RbVector& a, const RbVector& b, const RbVector& c, const RbVector& d,
                 int material = 0) {
        AddTriangle(a, b, c, material);
        AddTriangle(a, c, d, material);
    }

    void AddTriangle(const RbVector& a, const RbVector& b, const RbVector& c, int material = 0) {
        int first = static_cast<int>(vertices.size());
        vertices.insert(vertices.end(), {a, b, c});
        RbTriangle t;
        t.vertex[0] = first;
        t.vertex[1] = first + 1;
        t.vertex[2] = first + 2;
        t.material = material;
        triangles.push_back(t);
    }

    // A square floor of the given half size at height z, in quads of at most
    // the cell size.
    void AddFloor(float half, float z = 0.0f) {
        AddHeightfield(half, std::max(1, static_cast<int>(2 * half / CellSize)),
                       [z](float, float) { return z; });
    }

    // A square heightfield of n x n quads over [-half, half]^2.
    template <class Height>
    void AddHeightfield(float half, int n, Height height) {
        float step = 2 * half / n;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                float x0 = -half + i * step, y0 = -half + j * step, x1 = x0 + step, y1 = y0 + step;
                AddQuad({x0, y0, height(x0, y0)}, {x1, y0, height(x1, y0)}, {x1, y1, height(x1, y1)},
                        {x0, y1, height(x0, y1)});
            }
        }
    }

    // Buckets the triangles and makes this terrain the world's, handing it
    // the triangles' boxes as the game's grid does.
    void Install(RbSimulator& world) {
        lowX = lowY = 1e30f;
        float highX = -1e30f, highY = -1e30f;
        for (const RbVector& v : vertices) {
            lowX = std::min(lowX, v.x);
            lowY = std::min(lowY, v.y);
            highX = std::max(highX, v.x);
            highY = std::max(highY, v.y);
        }
        columns = static_cast<int>((highX - lowX) / CellSize) + 1;
        rows = static_cast<int>((highY - lowY) / CellSize) + 1;
        cells.assign(static_cast<std::size_t>(columns * rows), {});
        for (int t = 0; t < static_cast<int>(triangles.size()); ++t) {
            RbVector tMin, tMax;
            Bounds(t, tMin, tMax);
            int c0, c1, r0, r1;
            CellRange(tMin, tMax, c0, c1, r0, r1);
            for (int c = c0; c <= c1; ++c)
                for (int r = r0; r <= r1; ++r)
                    cells[static_cast<std::size_t>(r * columns + c)].push_back(t);
        }
        candidates.reserve(triangles.size() * 4);
        bounds.clear();
        for (const RbTriangle& t : triangles)
            bounds.push_back(RbTriangleBounds::Of(vertices[static_cast<std::size_t>(t.vertex[0])],
                                                  vertices[static_cast<std::size_t>(t.vertex[1])],
                                                  vertices[static_cast<std::size_t>(t.vertex[2])]));
        current = this;
        world.SetTerrainQueryCallback(&Query);
        world.SetTerrainTriangleBounds(triangles.data(), vertices.data(), bounds.data(),
                                       static_cast<int>(triangles.size()));
    }

    std::vector<RbVector> vertices;
    std::vector<RbTriangle> triangles;
    // The queries answered and the candidates they returned.
    long queries = 0;
    long returned = 0;

private:
    void Bounds(int t, RbVector& tMin, RbVector& tMax) const {
        tMin = tMax = vertices[static_cast<std::size_t>(triangles[static_cast<std::size_t>(t)].vertex[0])];
        for (int j = 1; j < 3; ++j) {
            const RbVector& v =
                vertices[static_cast<std::size_t>(triangles[static_cast<std::size_t>(t)].vertex[j])];
            for (int k = 0; k < 3; ++k) {
                tMin[k] = std::min(tMin[k], v[k]);
                tMax[k] = std::max(tMax[k], v[k]);
            }
        }
    }

    int Clamp(float value, int count) const {
        if (!(value > 0.0f))
            return 0;
        return std::min(count - 1, static_cast<int>(std::min(value, 1e6f)));
    }

    void CellRange(const RbVector& boxMin, const RbVector& boxMax, int& c0, int& c1, int& r0, int& r1) const {
        c0 = Clamp((boxMin.x - lowX) / CellSize, columns);
        c1 = Clamp((boxMax.x - lowX) / CellSize, columns);
        r0 = Clamp((boxMin.y - lowY) / CellSize, rows);
        r1 = Clamp((boxMax.y - lowY) / CellSize, rows);
    }

    static void Query(const RbVector& boxMin, const RbVector& boxMax, const int** candidateList,
                      const RbTriangle** triangleArray, const RbVector** vertexArray, int* candidateCount,
                      int* triangleCount, RbBody*) {
        RbTestTerrain& self = *current;
        self.candidates.clear();
        int c0, c1, r0, r1;
        self.CellRange(boxMin, boxMax, c0, c1, r0, r1);
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r)
                for (int t : self.cells[static_cast<std::size_t>(r * self.columns + c)])
                    self.candidates.push_back(t);
        ++self.queries;
        self.returned += static_cast<long>(self.candidates.size());
        *candidateList = self.candidates.data();
        *triangleArray = self.triangles.data();
        *vertexArray = self.vertices.data();
        *candidateCount = static_cast<int>(self.candidates.size());
        *triangleCount = static_cast<int>(self.triangles.size());
    }

    static inline RbTestTerrain* current = nullptr;
    float lowX = 0, lowY = 0;
    int columns = 0, rows = 0;
    std::vector<std::vector<int>> cells;
    std::vector<int> candidates;
    std::vector<RbTriangleBounds> bounds;
};

// The game's world settings for contacts: friction 0.2 and the given
// restitution on materials 0 and 1, gravity (0, 0, -9.8).
inline RbSimulator* RbMakeSceneWorld(const RbSizeInfo& sizes, float restitution = 0.0f) {
    RbVector gravity(0, 0, -9.8f);
    RbSimulator* world = RbSimulator::Create(sizes, nullptr, &gravity);
    if (world) {
        world->SetMaterial(1, 0.2f, restitution);
        world->SetMaterial(0, 0.2f, restitution);
    }
    return world;
}

// A box body of the given sizes and mass with the game's inertia, material 1.
inline RbRigidBody* RbAddBox(RbSimulator& world, const RbVector& sizes, float mass,
                             const RbVector& position) {
    RbRigidBody* body = world.CreateRigidBody();
    if (!body)
        return nullptr;
    RbGeometry* box = body->AddGeometry();
    box->SetBoxSizeVector(sizes);
    box->SetMaterialIndex(1);
    body->SetMass(mass);
    RbVector inertia = RbBoxInertiaTensorFromVector(sizes, mass);
    body->SetInertiaTensor(inertia.x, inertia.y, inertia.z);
    body->UpdateBoundingInfo();
    body->SetPosition(position);
    return body;
}

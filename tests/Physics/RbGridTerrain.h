#pragma once

#include "Physics/PTerrainGrid.h"
#include "RbTestTerrain.h"

#include <cstdint>

// A test terrain's triangles served through the game's own grid, the way the
// game's terrain query serves them: a buffer of the game's size per query.
// Counts the queries and the candidates they returned.
class RbGridTerrain {
public:
    // False when the grid cannot be built, or the vertices are more than its
    // 16-bit indices reach.
    bool Build(const RbTestTerrain& terrain) {
        if (terrain.vertices.size() > 65536)
            return false;
        TerrainMesh mesh;
        for (const RbVector& v : terrain.vertices)
            mesh.positions.emplace_back(v.x, v.y, v.z);
        for (const RbTriangle& t : terrain.triangles)
            for (int j = 0; j < 3; ++j)
                mesh.indices.push_back(static_cast<std::uint16_t>(t.vertex[j]));
        return grid.Build(mesh);
    }

    // Makes the grid the world's terrain; with bounds, the simulator also gets
    // the grid's triangle boxes, as the game's world does.
    void Install(RbSimulator& world, bool bounds = true) {
        current = this;
        world.SetTerrainQueryCallback(&Query);
        if (bounds)
            world.SetTerrainTriangleBounds(grid.Triangles().data(), grid.Vertices().data(),
                                           grid.TriangleBounds().data(), grid.TriangleCount());
    }

    long queries = 0;
    long returned = 0;

private:
    static void Query(const RbVector& boxMin, const RbVector& boxMax, const int** candidateList,
                      const RbTriangle** triangleArray, const RbVector** vertexArray, int* candidateCount,
                      int* triangleCount, RbBody*) {
        RbGridTerrain& self = *current;
        *candidateCount = self.grid.Query(boxMin, boxMax, self.buffer);
        ++self.queries;
        self.returned += *candidateCount;
        *candidateList = self.buffer;
        *triangleArray = self.grid.Triangles().data();
        *vertexArray = self.grid.Vertices().data();
        *triangleCount = self.grid.TriangleCount();
    }

    static inline RbGridTerrain* current = nullptr;
    CPTerrainGrid grid;
    int buffer[CPTerrainGrid::CandidateCapacity] = {};
};

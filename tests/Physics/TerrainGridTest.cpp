#include "Core/Log.h"
#include "Physics/PTerrainGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// Collision meshes built in code.
struct MeshBuilder {
    TerrainMesh mesh;

    int Triangle(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c) {
        auto first = static_cast<std::uint16_t>(mesh.positions.size());
        mesh.positions.insert(mesh.positions.end(), {a, b, c});
        mesh.indices.insert(mesh.indices.end(), {first, static_cast<std::uint16_t>(first + 1),
                                                 static_cast<std::uint16_t>(first + 2)});
        return static_cast<int>(mesh.indices.size() / 3) - 1;
    }
    // A 1 m triangle strictly inside cell (c, r) of a grid starting at 0.
    int InCell(int c, int r) {
        float x = 4.0f * c + 1.5f, y = 4.0f * r + 1.5f;
        return Triangle({x, y, 0}, {x + 1, y, 0}, {x, y + 1, 0});
    }
};

std::vector<int> CellList(const CPTerrainGrid& grid, int c, int r) {
    return {grid.CellBegin(c, r), grid.CellEnd(c, r)};
}

std::vector<int> QueryList(const CPTerrainGrid& grid, const RbVector& boxMin, const RbVector& boxMax) {
    std::vector<int> candidates(CPTerrainGrid::CandidateCapacity, -7);
    int count = grid.Query(boxMin, boxMax, candidates.data());
    candidates.resize(static_cast<std::size_t>(count));
    return candidates;
}

// One small triangle inside each cell of columns and rows 0..9; returns the
// triangle of each cell.
std::vector<std::vector<int>> OnePerCell(CPTerrainGrid& grid) {
    MeshBuilder b;
    std::vector<std::vector<int>> of(10, std::vector<int>(10));
    for (int c = 0; c < 10; ++c)
        for (int r = 0; r < 10; ++r)
            of[c][r] = b.InCell(c, r);
    EXPECT_TRUE(grid.Build(b.mesh));
    return of;
}

TEST(TerrainGrid, SizeAndOriginIncludeTheWorldOrigin) {
    MeshBuilder b;
    b.Triangle({10, 20, 5}, {30, 20, 5}, {10, 41, 6});
    CPTerrainGrid grid;
    ASSERT_TRUE(grid.Build(b.mesh));
    EXPECT_FLOAT_EQ(grid.Origin().x, 0.0f);
    EXPECT_FLOAT_EQ(grid.Origin().y, 0.0f);
    EXPECT_FLOAT_EQ(grid.Origin().z, 0.0f);
    EXPECT_EQ(grid.Columns(), 8 + 10); // ceil(30 / 4) + 10
    EXPECT_EQ(grid.Rows(), 11 + 10);   // ceil(41 / 4) + 10
    ASSERT_EQ(grid.Triangles().size(), 1u);
    EXPECT_EQ(grid.Triangles()[0].material, 0);

    // The mesh is placed by its matrix: moved 100 m down in x and y.
    D3DXMatrixTranslation(&b.mesh.world, -100, -100, -3);
    ASSERT_TRUE(grid.Build(b.mesh));
    EXPECT_FLOAT_EQ(grid.Origin().x, -90.0f);
    EXPECT_FLOAT_EQ(grid.Origin().z, 0.0f);
    EXPECT_FLOAT_EQ(grid.Vertices()[2].y, -59.0f);
}

TEST(TerrainGrid, CellsListTheTrianglesThatTouchThem) {
    MeshBuilder b;
    // Inside cell (5, 5) with one vertex on its low x border: the cell to
    // the left touches it too.
    int border = b.Triangle({20, 21, 0}, {22, 21, 0}, {21, 23, 0});
    // A large triangle: cell (2, 2) = [8, 12]^2 holds none of its vertices
    // and meets none of its edges, yet lies inside it.
    int large = b.Triangle({0, 0, 0}, {100, 0, 0}, {0, 100, 0});
    CPTerrainGrid grid;
    ASSERT_TRUE(grid.Build(b.mesh));

    EXPECT_EQ(CellList(grid, 5, 5), (std::vector<int>{border, large}));
    EXPECT_EQ(CellList(grid, 4, 5), (std::vector<int>{border, large}));
    for (auto [c, r] : {std::pair{6, 5}, {5, 4}, {5, 6}, {4, 4}, {6, 6}})
        EXPECT_EQ(CellList(grid, c, r), std::vector<int>{large}) << c << "," << r;
    EXPECT_EQ(CellList(grid, 2, 2), std::vector<int>{large});
    // Beyond the large triangle's hypotenuse.
    EXPECT_TRUE(CellList(grid, 20, 20).empty());
}

TEST(TerrainGrid, QueryTakesSampleCellsFirstThenTheBlockColumnByColumn) {
    CPTerrainGrid grid;
    auto of = OnePerCell(grid);

    // A box inside cell (5, 5): that cell, then the ring around it.
    EXPECT_EQ(QueryList(grid, {21, 21, -1}, {22, 22, 1}),
              (std::vector<int>{of[5][5], of[4][4], of[4][5], of[4][6], of[5][4], of[5][6], of[6][4],
                                of[6][5], of[6][6]}));
    // A box over cells (5, 5) and (6, 5): min, max, then the block of
    // columns 4 to 7 and rows 4 to 6 without the two.
    EXPECT_EQ(QueryList(grid, {21, 21, -1}, {25, 22, 1}),
              (std::vector<int>{of[5][5], of[6][5], of[4][4], of[4][5], of[4][6], of[5][4], of[5][6],
                                of[6][4], of[6][6], of[7][4], of[7][5], of[7][6]}));
    // At the grid's corner the block is clamped.
    EXPECT_EQ(QueryList(grid, {1, 1, 0}, {2, 2, 0}),
              (std::vector<int>{of[0][0], of[0][1], of[1][0], of[1][1]}));
}

TEST(TerrainGrid, QueryRepeatsSharedTrianglesAndStopsBeforeTheCapacity) {
    MeshBuilder b;
    // A quad over [0, 12]^2, split along its diagonal.
    int t0 = b.Triangle({0, 0, 0}, {12, 0, 0}, {12, 12, 0});
    int t1 = b.Triangle({0, 0, 0}, {12, 12, 0}, {0, 12, 0});
    CPTerrainGrid grid;
    ASSERT_TRUE(grid.Build(b.mesh));
    // Cell (1, 1) first, then the ring: the cells off the diagonal list only
    // the triangle on their side, unless they touch the diagonal at a corner.
    EXPECT_EQ(QueryList(grid, {5, 5, 0}, {6, 6, 0}),
              (std::vector<int>{t0, t1, t0, t1, t0, t1, t1, t0, t1, t0, t1, t0, t0, t1, t0, t1}));

    // 600 triangles in one cell: the first cell fits (600 < 1000), the next
    // would reach 1200 and ends the gathering.
    MeshBuilder crowded;
    for (int i = 0; i < 600; ++i) {
        crowded.InCell(5, 5);
        crowded.InCell(5, 6);
    }
    ASSERT_TRUE(grid.Build(crowded.mesh));
    EXPECT_EQ(QueryList(grid, {21, 21, 0}, {22, 22, 0}).size(), 600u);

    // 300 in each of cells (5, 5), (4, 4), (4, 5) and (4, 6): column 4 does
    // not fit as a whole, so its cells go in one by one until the third
    // would reach 1200.
    MeshBuilder full;
    std::vector<int> expected;
    for (auto [c, r] : {std::pair{5, 5}, {4, 4}, {4, 5}, {4, 6}}) {
        for (int i = 0; i < 300; ++i) {
            int t = full.InCell(c, r);
            if (r != 6)
                expected.push_back(t);
        }
    }
    ASSERT_TRUE(grid.Build(full.mesh));
    EXPECT_EQ(QueryList(grid, {21, 21, 0}, {22, 22, 0}), expected);
}

TEST(TerrainGrid, HugeOrInvalidBoxesNeverOverrunTheBuffer) {
    CPTerrainGrid grid;
    OnePerCell(grid);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        RbVector boxMin, boxMax;
        std::size_t expected;
    } cases[] = {
        {{-1e9f, -1e9f, -1}, {1e9f, 1e9f, 1}, 100}, // the whole grid: 400 cells, 100 triangles
        {{2, 2, 0}, {38, 38, 0}, 100},              // 10 x 10 cells, far more than 45
        {{nan, nan, nan}, {nan, nan, nan}, 4},      // NaN maps to cell (0, 0)
        {{-inf, -inf, 0}, {inf, inf, 0}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        EXPECT_EQ(QueryList(grid, c.boxMin, c.boxMax).size(), c.expected);
    }
}

TEST(TerrainGrid, GroundHeightIsTheNearestVertexOfTheCell) {
    MeshBuilder b;
    b.Triangle({1, 1, 5}, {3, 1, 6}, {1, 3, 7});
    CPTerrainGrid grid;
    EXPECT_FLOAT_EQ(grid.GetGroundHeight({2, 2, 0}), 0.0f); // no grid yet
    ASSERT_TRUE(grid.Build(b.mesh));
    struct Case {
        RbVector point;
        float expected;
    } cases[] = {
        {{2.9f, 1.1f, 6}, 6}, // nearest vertex, not the plane under the point
        {{1, 1, 5}, 5},       // on a vertex
        {{1.2f, 2.5f, 5}, 5}, // nearest in 3-D, not in the plane
        {{2, 2, 2000}, 0},    // every vertex is 1000 or more away
        {{30, 30, 6}, 0},     // a cell without triangles
        {{-50, -50, 5}, 5},   // outside the grid: the edge cell (0, 0)
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(grid.GetGroundHeight(c.point), c.expected) << c.point.x << "," << c.point.y;
    grid.Clear();
    EXPECT_FLOAT_EQ(grid.GetGroundHeight({2, 2, 0}), 0.0f);
}

TEST(TerrainGrid, BadTrianglesAreReportedAndNeverListed) {
    std::string log;
    GetLog().SetSink([&](std::string_view text) { log += text; });
    MeshBuilder b;
    int good = b.InCell(1, 1);
    b.mesh.indices.insert(b.mesh.indices.end(), {0, 1, 9}); // vertex 9 does not exist
    b.mesh.positions.push_back({std::numeric_limits<float>::quiet_NaN(), 5, 5});
    b.mesh.indices.insert(b.mesh.indices.end(), {0, 1, 3}); // a vertex that is not a number
    b.mesh.indices.insert(b.mesh.indices.end(), {0, 1});    // no whole triangle
    CPTerrainGrid grid;
    EXPECT_TRUE(grid.Build(b.mesh));
    GetLog().SetSink({});

    EXPECT_EQ(grid.TriangleCount(), 3);
    EXPECT_EQ(QueryList(grid, {-100, -100, 0}, {100, 100, 0}), std::vector<int>{good});
    EXPECT_NE(log.find("2 triangles name missing or invalid vertices"), std::string::npos) << log;
    EXPECT_NE(log.find("2 indices are no whole triangle"), std::string::npos) << log;

    // Nothing usable at all.
    MeshBuilder empty;
    empty.mesh.indices = {0, 1, 2};
    EXPECT_FALSE(grid.Build(empty.mesh));
    EXPECT_TRUE(QueryList(grid, {0, 0, 0}, {1, 1, 1}).empty());
}

// The boxes handed to the simulator: each usable triangle's own, and one
// that rules nothing out (NaN) for a triangle kept out of the cells.
TEST(TerrainGrid, TriangleBoundsSpanEachTrianglesVertices) {
    MeshBuilder b;
    b.mesh.world._41 = 10; // the boxes are in world space
    b.Triangle({1, 5, -2}, {3, -1, 6}, {-4, 2, 7});
    b.mesh.indices.insert(b.mesh.indices.end(), {0, 1, 9});
    CPTerrainGrid grid;
    GetLog().SetSink([](std::string_view) {});
    ASSERT_TRUE(grid.Build(b.mesh));
    GetLog().SetSink({});
    ASSERT_EQ(grid.TriangleBounds().size(), 2u);
    const RbTriangleBounds& box = grid.TriangleBounds()[0];
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(box.low[i], (RbVector{6, -1, -2})[i]) << i;
        EXPECT_FLOAT_EQ(box.high[i], (RbVector{13, 5, 7})[i]) << i;
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(std::isnan(grid.TriangleBounds()[1].low[i]) &&
                    std::isnan(grid.TriangleBounds()[1].high[i]));
    grid.Clear();
    EXPECT_TRUE(grid.TriangleBounds().empty());
}

TEST(TerrainGrid, AFarOutlierVertexNeitherBlowsUpTheGridNorLosesTheLevel) {
    for (float far : {1e5f, -1e7f, 3e38f}) {
        std::string log;
        GetLog().SetSink([&](std::string_view text) { log += text; });
        MeshBuilder b;
        int floor0 = b.Triangle({-100, -100, 2}, {100, -100, 2}, {100, 100, 2});
        b.Triangle({-100, -100, 2}, {100, 100, 2}, {-100, 100, 2});
        // A sliver from the level out to the stray vertex.
        b.Triangle({0, 0, 2}, {1, 0, 2}, {far, far, 2});
        CPTerrainGrid grid;
        ASSERT_TRUE(grid.Build(b.mesh));
        GetLog().SetSink({});
        EXPECT_LE(grid.Columns(), CPTerrainGrid::MaxCellsPerAxis);
        EXPECT_LE(grid.Rows(), CPTerrainGrid::MaxCellsPerAxis);
        EXPECT_NE(log.find("spans more than"), std::string::npos) << log;
        EXPECT_FLOAT_EQ(grid.GetGroundHeight({99, -99, 0}), 2.0f) << far;
        std::vector<int> under = QueryList(grid, {50, -60, 0}, {51, -59, 3});
        EXPECT_EQ(under.front(), floor0) << far;
    }
}

} // namespace

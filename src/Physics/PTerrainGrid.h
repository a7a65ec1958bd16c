#pragma once

#include "Physics/Simulator/RbTriangle.h"
#include "Physics/Simulator/RbTriangleBounds.h"
#include "Physics/Simulator/RbVector.h"
#include "Platform/D3DX9Math.h"

#include <cstdint>
#include <vector>

// A level's collision mesh as the level loader hands it over: vertex
// positions, a 16-bit triangle list and the matrix that places the mesh in
// the world (row vector times matrix).
struct TerrainMesh {
    std::vector<D3DXVECTOR3> positions;
    std::vector<std::uint16_t> indices;
    D3DXMATRIX world{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// The ground of a race: the collision triangles in world space and a grid of
// 4 x 4 cells over the xy plane, each cell listing the triangles that touch
// it in triangle order. Answers the simulator's terrain queries and the
// game's ground heights.
class CPTerrainGrid {
public:
    static constexpr float CellSize = 4.0f;
    // Cells added beyond the mesh's extent along each axis.
    static constexpr int Margin = 10;
    // The most cells along one axis (8 km). A mesh spanning more, which in
    // practice means a stray vertex far from the level, gets a grid of this
    // size centred on its median vertex; whatever lies beyond falls into the
    // edge cells' reach and is reported.
    static constexpr int MaxCellsPerAxis = 2048;
    // Room in a candidate buffer; a query fills at most one less.
    static constexpr int CandidateCapacity = 1000;

    // Replaces the grid with one over the mesh. Triangles naming a vertex
    // that does not exist or is not finite are kept out of every cell, as is
    // a trailing partial triangle; each is reported. False when nothing
    // usable was left.
    bool Build(const TerrainMesh& mesh);
    void Clear();
    bool IsBuilt() const { return columns > 0; }

    // The cell of a point, clamped to the grid; (0, 0) for NaN.
    void GetGridCell(const RbVector& point, int& column, int& row) const;
    // The height of the collision vertex nearest to the point in 3-D among
    // the triangles of the point's cell; 0 without a grid or when no vertex
    // is nearer than 1000.
    float GetGroundHeight(const RbVector& point) const;
    // Writes the triangles of the cells around the box into the buffer (room
    // for CandidateCapacity entries), cell by cell: first the cells of five
    // sample points of the box, then the rest of the block reaching one cell
    // beyond them, column by column. A cell is taken whole or, once it would
    // reach the capacity, gathering stops. Returns the count.
    int Query(const RbVector& boxMin, const RbVector& boxMax, int* candidates) const;

    // The triangles a cell lists, in triangle order.
    const int* CellBegin(int column, int row) const;
    const int* CellEnd(int column, int row) const;

    int Columns() const { return columns; }
    int Rows() const { return rows; }
    const RbVector& Origin() const { return origin; }
    const std::vector<RbVector>& Vertices() const { return vertices; }
    const std::vector<RbTriangle>& Triangles() const { return triangles; }
    int TriangleCount() const { return static_cast<int>(triangles.size()); }
    // The world box of each triangle, made once by Build for the simulator's
    // terrain pass; a triangle kept out of the cells has one that rules
    // nothing out.
    const std::vector<RbTriangleBounds>& TriangleBounds() const { return bounds; }

private:
    bool ReadTriangle(const TerrainMesh& mesh, int t);
    void ChooseExtent();
    void MeasureTriangles();
    void ListTriangles();
    void ListTriangle(int t, std::vector<std::uint64_t>& entries) const;
    int CellIndex(int column, int row) const { return column * rows + row; }
    // Appends the cell's list unless that would reach the capacity.
    bool AppendCell(int column, int row, int* candidates, int& count) const;
    // Appends the cells of the column from the first row to the last, which
    // lie back to back, as AppendCell would one by one.
    bool AppendRun(int column, int firstRow, int lastRow, int* candidates, int& count) const;

    std::vector<RbVector> vertices;
    std::vector<RbTriangle> triangles;
    // Whether each triangle was read whole and may be listed.
    std::vector<bool> usable;
    std::vector<RbTriangleBounds> bounds;
    RbVector origin;
    int columns = 0;
    int rows = 0;
    // The cells' lists back to back: cell k lists cellTriangles[cellStart[k]]
    // up to cellTriangles[cellStart[k + 1]].
    std::vector<int> cellStart;
    std::vector<int> cellTriangles;
};

#include "Physics/PTerrainGrid.h"

#include "Core/Log.h"

#include <algorithm>
#include <cmath>

namespace {

struct Point2 {
    float x, y;
};

Point2 Xy(const RbVector& v) {
    return {v.x, v.y};
}

float Cross(const Point2& origin, const Point2& a, const Point2& b) {
    return (a.x - origin.x) * (b.y - origin.y) - (a.y - origin.y) * (b.x - origin.x);
}

// On the boundary or inside, for either winding.
bool PointInTriangle(const Point2& p, const Point2 t[3]) {
    float d0 = Cross(t[0], t[1], p), d1 = Cross(t[1], t[2], p), d2 = Cross(t[2], t[0], p);
    return (d0 >= 0 && d1 >= 0 && d2 >= 0) || (d0 <= 0 && d1 <= 0 && d2 <= 0);
}

// Both segments' bounding rectangles overlap (touching counts) and both
// parameters of the crossing lie in [0, 1]; parallel segments never cross.
bool SegmentsCross(const Point2& a0, const Point2& a1, const Point2& b0, const Point2& b1) {
    if (std::max(a0.x, a1.x) < std::min(b0.x, b1.x) || std::max(b0.x, b1.x) < std::min(a0.x, a1.x) ||
        std::max(a0.y, a1.y) < std::min(b0.y, b1.y) || std::max(b0.y, b1.y) < std::min(a0.y, a1.y))
        return false;
    Point2 da{a1.x - a0.x, a1.y - a0.y}, db{b1.x - b0.x, b1.y - b0.y};
    float d = da.x * db.y - da.y * db.x;
    if (d == 0.0f)
        return false;
    Point2 w{b0.x - a0.x, b0.y - a0.y};
    float s = (w.x * db.y - w.y * db.x) / d;
    float u = (w.x * da.y - w.y * da.x) / d;
    return s >= 0.0f && s <= 1.0f && u >= 0.0f && u <= 1.0f;
}

// Whether the triangle meets the cell [x0, x1] x [y0, y1] in the xy plane.
bool TriangleTouchesCell(float x0, float y0, float x1, float y1, const Point2 t[3]) {
    for (int j = 0; j < 3; ++j)
        if (t[j].x >= x0 && t[j].x <= x1 && t[j].y >= y0 && t[j].y <= y1)
            return true;
    const Point2 corner[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (const Point2& c : corner)
        if (PointInTriangle(c, t))
            return true;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            if (SegmentsCross(corner[i], corner[(i + 1) % 4], t[j], t[(j + 1) % 3]))
                return true;
    return false;
}

bool IsFinite(const RbVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The cell number of a coordinate along one axis: truncated, clamped to the
// axis in float first so that no value converts out of range; NaN gives 0.
int AxisCell(float offset, int count) {
    float cell = offset / CPTerrainGrid::CellSize;
    if (!(cell > 0.0f))
        return 0;
    if (cell >= static_cast<float>(count - 1))
        return count - 1;
    return static_cast<int>(cell);
}

// The low edge and cell count of the grid along one axis, from the extent of
// the finite coordinates (which always includes 0); a span beyond the cap is
// narrowed to a window around the median coordinate.
void ChooseAxis(std::vector<float> values, float& low, int& count) {
    float high = 0.0f;
    low = 0.0f;
    for (float v : values) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    float cells = std::ceil((high - low) / CPTerrainGrid::CellSize);
    const int widest = CPTerrainGrid::MaxCellsPerAxis;
    if (cells <= static_cast<float>(widest - CPTerrainGrid::Margin)) {
        count = static_cast<int>(cells) + CPTerrainGrid::Margin;
        return;
    }
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    count = widest;
    low = *middle - 0.5f * widest * CPTerrainGrid::CellSize;
}

// The smallest and largest column and row of the cells added.
struct CellSpan {
    int c0, c1, r0, r1;

    CellSpan(int columns, int rows) : c0(columns), c1(0), r0(rows), r1(0) {}
    void Add(int c, int r) {
        c0 = std::min(c0, c);
        c1 = std::max(c1, c);
        r0 = std::min(r0, r);
        r1 = std::max(r1, r);
    }
};

} // namespace

bool CPTerrainGrid::Build(const TerrainMesh& mesh) {
    Clear();
    vertices.reserve(mesh.positions.size());
    for (const D3DXVECTOR3& p : mesh.positions) {
        D3DXVECTOR3 world;
        D3DXVec3TransformCoord(&world, &p, &mesh.world);
        vertices.emplace_back(world.x, world.y, world.z);
    }
    int triangleCount = static_cast<int>(mesh.indices.size() / 3);
    if (mesh.indices.size() % 3 != 0)
        GetLog().Print(0, "Terrain mesh: %d indices are no whole triangle and are ignored\n",
                       static_cast<int>(mesh.indices.size() % 3));
    triangles.resize(static_cast<std::size_t>(triangleCount));
    usable.assign(static_cast<std::size_t>(triangleCount), false);
    int bad = 0;
    for (int t = 0; t < triangleCount; ++t)
        bad += ReadTriangle(mesh, t) ? 0 : 1;
    if (bad > 0)
        GetLog().Print(0, "Terrain mesh: %d triangles name missing or invalid vertices and are ignored\n",
                       bad);
    ChooseExtent();
    ListTriangles();
    MeasureTriangles();
    return bad < triangleCount;
}

void CPTerrainGrid::MeasureTriangles() {
    const RbVector unknown(NAN, NAN, NAN);
    bounds.clear();
    bounds.reserve(triangles.size());
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        if (!usable[t]) {
            bounds.push_back(RbTriangleBounds::Of(unknown, unknown, unknown));
            continue;
        }
        const int* corner = triangles[t].vertex;
        bounds.push_back(RbTriangleBounds::Of(vertices[static_cast<std::size_t>(corner[0])],
                                              vertices[static_cast<std::size_t>(corner[1])],
                                              vertices[static_cast<std::size_t>(corner[2])]));
    }
}

bool CPTerrainGrid::ReadTriangle(const TerrainMesh& mesh, int t) {
    RbTriangle& triangle = triangles[static_cast<std::size_t>(t)];
    triangle.vertex[0] = triangle.vertex[1] = triangle.vertex[2] = -1;
    int index[3];
    for (int j = 0; j < 3; ++j) {
        index[j] = mesh.indices[static_cast<std::size_t>(3 * t + j)];
        if (index[j] >= static_cast<int>(vertices.size()) ||
            !IsFinite(vertices[static_cast<std::size_t>(index[j])]))
            return false;
    }
    std::copy(index, index + 3, triangle.vertex);
    usable[static_cast<std::size_t>(t)] = true;
    return true;
}

void CPTerrainGrid::ChooseExtent() {
    std::vector<float> xs, ys;
    float lowZ = 0.0f;
    for (const RbVector& v : vertices) {
        if (!IsFinite(v))
            continue;
        xs.push_back(v.x);
        ys.push_back(v.y);
        lowZ = std::min(lowZ, v.z);
    }
    ChooseAxis(std::move(xs), origin.x, columns);
    ChooseAxis(std::move(ys), origin.y, rows);
    origin.z = lowZ;
    if (columns == MaxCellsPerAxis || rows == MaxCellsPerAxis)
        GetLog().Print(
            0, "Terrain mesh spans more than %d m; the ground grid covers %d x %d cells around its centre\n",
            static_cast<int>(MaxCellsPerAxis * CellSize), columns, rows);
}

void CPTerrainGrid::ListTriangles() {
    // (cell, triangle) pairs, sorted into each cell's list in triangle order.
    std::vector<std::uint64_t> entries;
    for (int t = 0; t < TriangleCount(); ++t)
        if (usable[static_cast<std::size_t>(t)])
            ListTriangle(t, entries);
    std::sort(entries.begin(), entries.end());
    cellStart.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) + 1, 0);
    cellTriangles.resize(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ++cellStart[static_cast<std::size_t>(entries[i] >> 32) + 1];
        cellTriangles[i] = static_cast<int>(entries[i] & 0xffffffffu);
    }
    for (std::size_t k = 1; k < cellStart.size(); ++k)
        cellStart[k] += cellStart[k - 1];
}

// Visits the cells from one before the triangle's lowest cell up to, but not
// including, one after its highest, and lists it where it touches the cell.
void CPTerrainGrid::ListTriangle(int t, std::vector<std::uint64_t>& entries) const {
    const RbTriangle& triangle = triangles[static_cast<std::size_t>(t)];
    Point2 corner[3];
    CellSpan span(columns, rows);
    for (int j = 0; j < 3; ++j) {
        const RbVector& v = vertices[static_cast<std::size_t>(triangle.vertex[j])];
        corner[j] = Xy(v);
        int c, r;
        GetGridCell(v, c, r);
        span.Add(c, r);
    }
    for (int c = std::max(span.c0 - 1, 0); c < std::min(span.c1 + 1, columns - 1); ++c) {
        for (int r = std::max(span.r0 - 1, 0); r < std::min(span.r1 + 1, rows - 1); ++r) {
            float x0 = origin.x + CellSize * c, y0 = origin.y + CellSize * r;
            if (TriangleTouchesCell(x0, y0, x0 + CellSize, y0 + CellSize, corner))
                entries.push_back(static_cast<std::uint64_t>(CellIndex(c, r)) << 32 |
                                  static_cast<std::uint32_t>(t));
        }
    }
}

void CPTerrainGrid::Clear() {
    vertices.clear();
    triangles.clear();
    usable.clear();
    bounds.clear();
    cellStart.clear();
    cellTriangles.clear();
    origin = {};
    columns = rows = 0;
}

void CPTerrainGrid::GetGridCell(const RbVector& point, int& column, int& row) const {
    column = AxisCell(point.x - origin.x, columns);
    row = AxisCell(point.y - origin.y, rows);
}

const int* CPTerrainGrid::CellBegin(int column, int row) const {
    return cellTriangles.data() + cellStart[static_cast<std::size_t>(CellIndex(column, row))];
}

const int* CPTerrainGrid::CellEnd(int column, int row) const {
    return cellTriangles.data() + cellStart[static_cast<std::size_t>(CellIndex(column, row)) + 1];
}

float CPTerrainGrid::GetGroundHeight(const RbVector& point) const {
    if (!IsBuilt())
        return 0.0f;
    int column, row;
    GetGridCell(point, column, row);
    float best = 1000.0f, height = 0.0f;
    for (const int* t = CellBegin(column, row); t != CellEnd(column, row); ++t) {
        for (int index : triangles[static_cast<std::size_t>(*t)].vertex) {
            const RbVector& v = vertices[static_cast<std::size_t>(index)];
            float distance = RbSafeLength(v - point);
            if (distance < best) {
                best = distance;
                height = v.z;
            }
        }
    }
    return height;
}

bool CPTerrainGrid::AppendCell(int column, int row, int* candidates, int& count) const {
    const int* begin = CellBegin(column, row);
    const int* end = CellEnd(column, row);
    if (count + (end - begin) >= CandidateCapacity)
        return false;
    std::copy(begin, end, candidates + count);
    count += static_cast<int>(end - begin);
    return true;
}

bool CPTerrainGrid::AppendRun(int column, int firstRow, int lastRow, int* candidates, int& count) const {
    const int* begin = CellBegin(column, firstRow);
    const int* end = CellEnd(column, lastRow);
    if (count + (end - begin) < CandidateCapacity) {
        std::copy(begin, end, candidates + count);
        count += static_cast<int>(end - begin);
        return true;
    }
    for (int r = firstRow; r <= lastRow; ++r)
        if (!AppendCell(column, r, candidates, count))
            return false;
    return true;
}

int CPTerrainGrid::Query(const RbVector& boxMin, const RbVector& boxMax, int* candidates) const {
    if (!IsBuilt())
        return 0;
    const RbVector samples[5] = {boxMin,
                                 boxMax,
                                 {boxMin.x, boxMax.y, boxMin.z},
                                 {boxMax.x, boxMin.y, boxMax.z},
                                 (boxMin + boxMax) * 0.5f};
    int sampleCells[5];
    int sampleCount = 0;
    CellSpan span(columns, rows);
    for (const RbVector& p : samples) {
        int c, r;
        GetGridCell(p, c, r);
        span.Add(c, r);
        if (std::find(sampleCells, sampleCells + sampleCount, CellIndex(c, r)) == sampleCells + sampleCount)
            sampleCells[sampleCount++] = CellIndex(c, r);
    }
    int count = 0;
    for (int i = 0; i < sampleCount; ++i)
        if (!AppendCell(sampleCells[i] / rows, sampleCells[i] % rows, candidates, count))
            return count;
    // The rest of the block is walked in place rather than listed, so a box of
    // any size is served without a cell list to overrun. The cells of a
    // column between two listed ones lie back to back and go in one copy.
    const int lowRow = std::max(span.r0 - 1, 0), highRow = std::min(span.r1 + 1, rows - 1);
    for (int c = std::max(span.c0 - 1, 0); c <= std::min(span.c1 + 1, columns - 1); ++c) {
        int first = lowRow;
        for (int r = lowRow; r <= highRow + 1; ++r) {
            bool stop = r > highRow || std::find(sampleCells, sampleCells + sampleCount, CellIndex(c, r)) !=
                                           sampleCells + sampleCount;
            if (!stop)
                continue;
            if (r > first && !AppendRun(c, first, r - 1, candidates, count))
                return count;
            first = r + 1;
        }
    }
    return count;
}

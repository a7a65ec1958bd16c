#include "leveltool/LevelBuild.h"

#include "Core/PFileReader.h"
#include "meshtool/MeshWriter.h"

#include <algorithm>
#include <cmath>

int CountPieces(const CPLine* first) {
    int count = 0;
    for (const CPLine* piece = first; piece && (count == 0 || piece != first); piece = piece->next)
        ++count;
    return count;
}

bool LevelBuild::Prepare(const TrackText& text) {
    track = text;
    lines = track.Lines();
    if (!SampleCentre())
        return false;
    for (const LevelRecord& car : track.cars)
        track.records.push_back(FacingRace(car));
    // The loader turns scenery by the conjugate of what is stored: store the
    // conjugate so that a record's turn means what it says.
    for (LevelRecord& record : track.records) {
        const ELevelRecordKind kind = ClassifyLevelRecord(StripTrailingDigits(record.name));
        if (kind != ELevelRecordKind::PlayerStart && kind != ELevelRecordKind::CarStart) {
            for (int i = 3; i < 6; ++i)
                record.f[i] = -record.f[i];
        }
    }
    return true;
}

bool LevelBuild::SampleCentre() {
    for (const TrackLineEntry& entry : lines) {
        std::vector<uint8_t> bytes;
        WriteTrackLine(bytes, entry);
        CPFileReader reader("line", false);
        reader.SetData(std::move(bytes));
        auto line = std::make_unique<CPSpline>();
        if (!line->Load(reader)) {
            error = "the line \"" + entry.name + "\" yields no piece";
            return false;
        }
        if (entry.name == "c_path")
            centre = std::move(line);
    }
    pieces = CountPieces(centre->firstLine);
    if (track.closed && pieces <= kMinRingPieces) {
        error = "the closed racing line has " + std::to_string(pieces) + " pieces; it needs more than " +
                std::to_string(kMinRingPieces);
        return false;
    }
    return true;
}

// The car turned about z to face the race direction at the nearest piece: a
// piece's angle is the heading against the sampling order.
LevelRecord LevelBuild::FacingRace(LevelRecord car) const {
    const D3DXVECTOR3 at(car.f[0], car.f[1], car.f[2]);
    const CPLine* nearest = centre->firstLine;
    for (const auto& piece : centre->lines) {
        const D3DXVECTOR3 d = piece->centre - at, best = nearest->centre - at;
        if (d.x * d.x + d.y * d.y < best.x * best.x + best.y * best.y)
            nearest = piece.get();
    }
    const float heading = track.raceAgainstSampling ? nearest->angle : nearest->angle - D3DX_PI;
    // The car's forward axis is -y: a turn by heading + pi/2 points it along
    // the heading.
    const float turn = heading + D3DX_PI / 2;
    car.f[3] = car.f[4] = 0;
    car.f[5] = std::sin(turn / 2);
    car.f[6] = std::cos(turn / 2);
    return car;
}

std::vector<uint8_t> LevelBuild::LevelFileBytes() const {
    return WriteLevel(track.records, lines);
}

std::vector<uint8_t> LevelBuild::GroundMeshBytes() const {
    D3DXVECTOR3 low = centre->firstLine->centre, high = low;
    for (const auto& piece : centre->lines) {
        low = D3DXVECTOR3(std::min(low.x, piece->centre.x), std::min(low.y, piece->centre.y), 0);
        high = D3DXVECTOR3(std::max(high.x, piece->centre.x), std::max(high.y, piece->centre.y), 0);
    }
    const float margin = track.width + track.groundMargin;
    const int columns = static_cast<int>(std::ceil((high.x - low.x + 2 * margin) / kGroundStep));
    const int rows = static_cast<int>(std::ceil((high.y - low.y + 2 * margin) / kGroundStep));
    if ((rows + 1) * (columns + 1) > 0xffff)
        return {};
    MeshFileNode node;
    node.name = "ground";
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            const float x = low.x - margin + kGroundStep * static_cast<float>(column);
            const float y = low.y - margin + kGroundStep * static_cast<float>(row);
            node.vertices.push_back({x, y, 0, 0, 0, 1, 0xffffffff, 0, x * 0.05f, y * 0.05f, 0, 0});
        }
    }
    const auto vertex = [&](int row, int column) {
        return static_cast<uint16_t>(row * (columns + 1) + column);
    };
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            node.indices.insert(node.indices.end(),
                                {vertex(row, column), vertex(row, column + 1), vertex(row + 1, column + 1),
                                 vertex(row, column), vertex(row + 1, column + 1), vertex(row + 1, column)});
        }
    }
    if (!AddWalls(node))
        return {};
    MeshFile file;
    file.roots.push_back(std::move(node));
    return WriteMeshFile(file);
}

// The barriers' inner faces join the ground as upright quads, which the cars
// hit and slide along.
bool LevelBuild::AddWalls(MeshFileNode& node) const {
    for (const BarrierSide& side : BarrierSides()) {
        for (std::size_t i = 0; i < side.foot.size(); ++i) {
            const D3DXVECTOR3& p = side.foot[i];
            node.vertices.push_back({p.x, p.y, 0, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0});
            node.vertices.push_back({p.x, p.y, track.barrierHeight, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0});
        }
        if (node.vertices.size() > 0xffff)
            return false;
        const std::size_t first = node.vertices.size() - 2 * side.foot.size();
        for (std::size_t i = 0; i + 1 < side.foot.size(); ++i) {
            const auto b0 = static_cast<uint16_t>(first + 2 * i), t0 = static_cast<uint16_t>(b0 + 1);
            const auto b1 = static_cast<uint16_t>(b0 + 2), t1 = static_cast<uint16_t>(b0 + 3);
            node.indices.insert(node.indices.end(), {b0, b1, t1, b0, t1, t0});
        }
    }
    return true;
}

void LevelBuild::AddScenery(const std::string& model) {
    track.records.push_back({model, {0, 0, 0, 0, 0, 0, 1, 1, 1, 1}});
}

std::vector<D3DXVECTOR3> LevelBuild::RoadPoints() const {
    std::vector<const CPLine*> order;
    for (const CPLine* piece = centre->firstLine; piece && (order.empty() || piece != order.front());
         piece = piece->next)
        order.push_back(piece);
    std::vector<D3DXVECTOR3> points;
    for (const CPLine* piece : order)
        points.push_back(piece->start);
    points.push_back(track.closed ? order.front()->start : order.back()->end);
    return points;
}

namespace {

// The unit vector to the left of the road at point i: across the chord from
// the point before to the point after (around the ring when closed).
D3DXVECTOR3 LeftAt(const std::vector<D3DXVECTOR3>& points, std::size_t i, bool closed) {
    const std::size_t last = points.size() - 1;
    D3DXVECTOR3 before = points[i == 0 ? 0 : i - 1], after = points[i == last ? last : i + 1];
    if (closed && (i == 0 || i == last)) {
        before = points[last - 1];
        after = points[1];
    }
    D3DXVECTOR3 left(before.y - after.y, after.x - before.x, 0);
    D3DXVec3Normalize(&left, &left);
    return left;
}

} // namespace

std::vector<LevelBuild::BarrierSide> LevelBuild::BarrierSides() const {
    if (track.barrierOffset <= 0)
        return {};
    const std::vector<D3DXVECTOR3> points = RoadPoints();
    std::vector<BarrierSide> sides(2);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const D3DXVECTOR3 left = LeftAt(points, i, track.closed);
        sides[0].outward.push_back(left);
        sides[1].outward.push_back(-left);
    }
    for (BarrierSide& side : sides) {
        for (std::size_t i = 0; i < points.size(); ++i)
            side.foot.push_back(points[i] + side.outward[i] * track.barrierOffset);
    }
    return sides;
}

namespace {

void AddVertex(MeshFileNode& node, const D3DXVECTOR3& at, const D3DXVECTOR3& normal, float u, float v) {
    node.vertices.push_back({at.x, at.y, at.z, normal.x, normal.y, normal.z, 0xffffffff, 0, u, v, 0, 0});
}

// A strip of quads between two rows of points, seen from both sides.
void AddStrip(MeshFileNode& node, const std::vector<D3DXVECTOR3>& low, const std::vector<D3DXVECTOR3>& high,
              const std::vector<D3DXVECTOR3>& normals, float vLow, float vHigh) {
    const auto first = static_cast<uint16_t>(node.vertices.size());
    float along = 0;
    for (std::size_t i = 0; i < low.size(); ++i) {
        if (i > 0) {
            const D3DXVECTOR3 step = low[i] - low[i - 1];
            along += D3DXVec3Length(&step) / LevelBuild::kBarrierPattern;
        }
        AddVertex(node, low[i], normals[i], along, vLow);
        AddVertex(node, high[i], normals[i], along, vHigh);
    }
    for (std::size_t i = 0; i + 1 < low.size(); ++i) {
        const auto l0 = static_cast<uint16_t>(first + 2 * i), h0 = static_cast<uint16_t>(l0 + 1);
        const auto l1 = static_cast<uint16_t>(l0 + 2), h1 = static_cast<uint16_t>(l0 + 3);
        node.indices.insert(node.indices.end(), {l0, l1, h1, l0, h1, h0, l0, h1, l1, l0, h0, h1});
    }
}

// A box shape over one length of wall, standing on the ground: the reader
// turns it by the conjugate of the stored rotation.
MeshShape WallShape(const D3DXVECTOR3& from, const D3DXVECTOR3& to, float height) {
    const D3DXVECTOR3 along = to - from;
    const float heading = std::atan2(along.y, along.x);
    MeshShape shape;
    shape.size1 = D3DXVec3Length(&along);
    shape.size2 = height;
    shape.size3 = LevelBuild::kBarrierThickness;
    shape.position = (from + to) * 0.5f;
    shape.rotation = D3DXQUATERNION(0, 0, -std::sin(heading / 2), std::cos(heading / 2));
    return shape;
}

} // namespace

std::vector<uint8_t> LevelBuild::BarrierMeshBytes(const std::string& nodeName) const {
    if (!HasBarriers())
        return {};
    MeshFileNode node;
    node.name = nodeName;
    const D3DXVECTOR3 up(0, 0, 1), top(0, 0, track.barrierHeight);
    for (const BarrierSide& side : BarrierSides()) {
        std::vector<D3DXVECTOR3> innerTop, outerFoot, outerTop, inward, ups(side.foot.size(), up);
        for (std::size_t i = 0; i < side.foot.size(); ++i) {
            const D3DXVECTOR3 outer = side.foot[i] + side.outward[i] * kBarrierThickness;
            innerTop.push_back(side.foot[i] + top);
            outerFoot.push_back(outer);
            outerTop.push_back(outer + top);
            inward.push_back(-side.outward[i]);
        }
        AddStrip(node, side.foot, innerTop, inward, 1, 0);
        AddStrip(node, outerFoot, outerTop, side.outward, 1, 0);
        AddStrip(node, innerTop, outerTop, ups, 0, 0.2f);
        for (std::size_t i = 0; i + 1 < side.foot.size(); ++i)
            node.shapes.push_back(WallShape((side.foot[i] + outerFoot[i]) * 0.5f,
                                            (side.foot[i + 1] + outerFoot[i + 1]) * 0.5f,
                                            track.barrierHeight));
    }
    if (node.vertices.size() > 0xffff)
        return {};
    MeshFile file;
    file.format = EMeshFileFormat::Physics;
    file.roots.push_back(std::move(node));
    return WriteMeshFile(file);
}

std::vector<uint8_t> LevelBuild::RoadMeshBytes(const std::string& nodeName) const {
    const std::vector<D3DXVECTOR3> points = RoadPoints();
    if (points.size() * 2 > 0xffff)
        return {};
    MeshFileNode node;
    node.name = nodeName;
    const float half = track.width / 2;
    float along = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            const D3DXVECTOR3 step = points[i] - points[i - 1];
            along += D3DXVec3Length(&step) / track.width;
        }
        const D3DXVECTOR3 left = LeftAt(points, i, track.closed) * half;
        const D3DXVECTOR3 l = points[i] + left, r = points[i] - left;
        node.vertices.push_back({l.x, l.y, 0, 0, 0, 1, 0xffffffff, 0, 0, along, 0, 0});
        node.vertices.push_back({r.x, r.y, 0, 0, 0, 1, 0xffffffff, 0, 1, along, 0, 0});
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const auto l0 = static_cast<uint16_t>(2 * i), r0 = static_cast<uint16_t>(2 * i + 1);
        const auto l1 = static_cast<uint16_t>(2 * i + 2), r1 = static_cast<uint16_t>(2 * i + 3);
        node.indices.insert(node.indices.end(), {l0, r0, r1, l0, r1, l1});
    }
    MeshFile file;
    file.format = EMeshFileFormat::Physics;
    file.roots.push_back(std::move(node));
    return WriteMeshFile(file);
}

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
    MeshFile file;
    file.roots.push_back(std::move(node));
    return WriteMeshFile(file);
}

void LevelBuild::AddRoad(const std::string& model) {
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

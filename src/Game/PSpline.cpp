#include "Game/PSpline.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Physics/PPhysics.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderObject.h"
#include "Render/RenderPriority.h"

#include <cmath>
#include <utility>

namespace {

bool IsFinite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

D3DXVECTOR3 ReadPoint(CPFileReader& reader) {
    D3DXVECTOR3 point;
    point.x = reader.ReadFloat();
    point.y = reader.ReadFloat();
    point.z = reader.ReadFloat();
    return point;
}

// The straight distance from the start to the curve point at the last t of
// the float loop 0.1, 0.2, ... while t <= 1, which is 0.90000010.
float SegmentLength(const BezierSegment& segment) {
    float length = 0;
    for (float t = 0.1f; t <= 1.0f; t += 0.1f) {
        const D3DXVECTOR3 offset = CPSpline::Evaluate(segment, t) - segment.p0;
        length = D3DXVec3Length(&offset);
    }
    return length;
}

MeshVertex LineVertex(const D3DXVECTOR3& position) {
    MeshVertex vertex{};
    vertex.x = position.x;
    vertex.y = position.y;
    vertex.z = position.z;
    vertex.diffuse = 0xffffffff;
    return vertex;
}

// A piece that searches reach: its start or end lies in the square.
bool InSquare(const D3DXVECTOR3& q, const D3DXVECTOR3& p, float radius) {
    return std::fabs(q.x - p.x) <= radius && std::fabs(q.y - p.y) <= radius;
}

} // namespace

CPSpline::CPSpline() : CPGameObject("CPSpline") {}

D3DXVECTOR3 CPSpline::Evaluate(const BezierSegment& segment, float t) {
    const float u = 1.0f - t;
    return segment.p0 * (u * u * u) + segment.p1 * (3.0f * t * u * u) + segment.p2 * (3.0f * t * t * u) +
           segment.p3 * (t * t * t);
}

void CPSpline::PointAtDistance(const BezierSegment& segment, float d, D3DXVECTOR3& point,
                               D3DXVECTOR3& direction) {
    const float t = d / segment.length;
    const float t2 = t * t;
    const float t3 = t2 * t;
    point = segment.p0 * (1.0f - 3.0f * t + 3.0f * t2 - t3) +
            segment.p1 * (3.0f * t - 6.0f * t2 + 3.0f * t3) + segment.p2 * (3.0f * t2 - 3.0f * t3) +
            segment.p3 * t3;
    direction = Evaluate(segment, t + 0.1f) - point;
}

bool CPSpline::Load(CPFileReader& reader) {
    Clear();
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    entryRead = ReadEntry(reader);
    const bool sampleable = std::isfinite(totalLength) && totalLength <= kMaxPieces * kPieceLength;
    if (!entryRead || !sampleable || !SampleRing(vertices, indices)) {
        GetLog().Print(0, "Track line \"%s\" is damaged or yields no piece\n", splineName.c_str());
        Clear();
        return false;
    }
    InstallMesh(std::move(vertices), std::move(indices));
    return true;
}

bool CPSpline::ReadEntry(CPFileReader& reader) {
    splineName = reader.ReadString();
    closed = reader.ReadInt() != 0;
    const int32_t count = reader.ReadInt();
    if (reader.HasReadError() || count < 0)
        return false;
    // A count larger than the data fails at the first segment that is not
    // there, before anything of its size is allocated.
    for (int32_t i = 0; i < count; ++i) {
        if (!ReadSegment(reader))
            return false;
    }
    return true;
}

bool CPSpline::ReadSegment(CPFileReader& reader) {
    BezierSegment segment;
    segment.p0 = ReadPoint(reader);
    segment.p3 = ReadPoint(reader);
    segment.p1 = ReadPoint(reader);
    segment.p2 = ReadPoint(reader);
    if (reader.HasReadError() || !IsFinite(segment.p0) || !IsFinite(segment.p1) || !IsFinite(segment.p2) ||
        !IsFinite(segment.p3))
        return false;
    segment.length = SegmentLength(segment);
    totalLength += segment.length;
    segments.push_back(segment);
    return true;
}

void CPSpline::PointOnLine(float distance, D3DXVECTOR3& point) const {
    if (distance > totalLength) {
        if (!closed)
            return;
        // Whole turns of a closed line; an exact multiple stays at the end.
        distance = std::fmod(distance, totalLength);
        if (distance == 0)
            distance = totalLength;
    }
    for (const BezierSegment& segment : segments) {
        // A segment of no length holds no distance (and would divide by 0).
        if (segment.length <= 0)
            continue;
        if (distance <= segment.length) {
            D3DXVECTOR3 direction;
            PointAtDistance(segment, distance, point, direction);
            return;
        }
        distance -= segment.length;
    }
}

bool CPSpline::SampleRing(std::vector<MeshVertex>& vertices, std::vector<uint16_t>& indices) {
    lines.push_back(std::make_unique<CPLine>());
    firstLine = lines.back().get();
    CPLine* current = firstLine;
    D3DXVECTOR3 point(0, 0, 0);
    float distance = 0;
    for (int step = 0; totalLength > 0 && distance < totalLength && step < kMaxPieces; ++step) {
        PointOnLine(distance, point);
        current->start = point;
        const float nextDistance = distance + kPieceLength;
        PointOnLine(nextDistance, point);
        current->end = point;
        if (current->start.x != current->end.x || current->start.y != current->end.y) {
            for (const D3DXVECTOR3& corner : {current->start, current->end, current->end}) {
                indices.push_back(static_cast<uint16_t>(vertices.size()));
                vertices.push_back(LineVertex(corner));
            }
            current->ComputeShape();
            lines.push_back(std::make_unique<CPLine>());
            current->next = lines.back().get();
            current->next->prev = current;
            current = current->next;
        }
        distance = nextDistance;
    }
    if (lines.size() < 2)
        return false;
    // The last piece made was never finished: the ring closes without it.
    firstLine->prev = current->prev;
    current->prev->next = firstLine;
    currentLine = firstLine;
    return true;
}

void CPSpline::InstallMesh(std::vector<MeshVertex> vertices, std::vector<uint16_t> indices) {
    CPRenderObject* mesh = GetRenderObject();
    if (!mesh) {
        mesh = new CPRenderObject(this);
        SetVisual(mesh, VISUAL_MESH);
    }
    mesh->sourceVertices = std::move(vertices);
    mesh->vertices = mesh->sourceVertices;
    mesh->indices = std::move(indices);
    if (g_MaterialManager) {
        CPRefPtr<CPMaterial> lineMaterial;
        g_MaterialManager->GetMaterial(lineMaterial, RENDER_LINE, "test.fx", {"error.tga"});
        mesh->SetMaterial(lineMaterial);
    }
}

void CPSpline::Clear() {
    segments.clear();
    totalLength = 0;
    lines.clear();
    firstLine = nullptr;
    currentLine = nullptr;
}

void CPSpline::DrapeOnTerrain() {
    if (!g_Physics)
        return;
    const auto drape = [](D3DXVECTOR3& point) {
        point.z = g_Physics->GetGroundHeight({point.x, point.y, 0});
    };
    for (const std::unique_ptr<CPLine>& piece : lines) {
        drape(piece->centre);
        drape(piece->start);
        drape(piece->end);
    }
}

namespace {

// One side of the search: 0 before the walker reaches the square, 1 while
// its pieces touch it, 2 once it has left.
struct SearchSide {
    CPLine* walker;
    int state;
};

} // namespace

float CPSpline::FindClosestLine(const D3DXVECTOR3& point, float& radius, int steps, CPLine*& start) {
    if (!start)
        start = firstLine;
    if (!start)
        return 0;
    currentLine = start;
    float best = 100.0f * radius;
    CPLine* result = start;
    const auto touches = [&](const CPLine& piece) {
        return InSquare(piece.start, point, radius) || InSquare(piece.end, point, radius);
    };
    // A centre wins only when strictly nearer, so ties keep the piece met first.
    const auto compete = [&](CPLine* piece) {
        const float dx = piece->centre.x - point.x;
        const float dy = piece->centre.y - point.y;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            result = piece;
        }
    };
    const auto advance = [&](SearchSide& side) {
        if (side.state == 0 && touches(*side.walker))
            side.state = 1;
        if (side.state == 1) {
            if (touches(*side.walker))
                compete(side.walker);
            else
                side.state = 2;
        }
    };
    SearchSide backward{start->prev, InSquare(start->start, point, radius) ? 1 : 0};
    SearchSide forward{start->next, InSquare(start->end, point, radius) ? 1 : 0};
    if (backward.state == 1 || forward.state == 1)
        compete(start);
    while (!(backward.state == 2 && forward.state == 2) && backward.walker != forward.walker) {
        advance(backward);
        advance(forward);
        backward.walker = backward.walker->prev;
        forward.walker = forward.walker->next;
    }
    currentLine = result;
    start = result;
    for (; steps > 0; --steps)
        result = result->prev;
    for (; steps < 0; ++steps)
        result = result->next;
    radius = result->SignedDistance(point);
    return result->angle;
}

#include "leveltool/LevelWriter.h"

#include <cmath>

namespace {

constexpr float kQuarterArcKappa = 0.5523f;

void AppendBytes(std::vector<uint8_t>& out, const void* data, std::size_t count) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + count);
}

void AppendInt(std::vector<uint8_t>& out, int32_t value) {
    AppendBytes(out, &value, sizeof(value));
}

void AppendString(std::vector<uint8_t>& out, const std::string& text) {
    AppendInt(out, static_cast<int32_t>(text.size()));
    AppendBytes(out, text.data(), text.size());
}

void AppendFloat(std::vector<uint8_t>& out, float value) {
    AppendBytes(out, &value, sizeof(value));
}

void AppendPoint(std::vector<uint8_t>& out, const D3DXVECTOR3& point) {
    for (const float value : {point.x, point.y, point.z})
        AppendFloat(out, value);
}

D3DXVECTOR3 OnCircle(const D3DXVECTOR3& centre, float radius, float angle) {
    return centre + D3DXVECTOR3(std::cos(angle), std::sin(angle), 0) * radius;
}

// The unit tangent of the circle at the angle, in the direction of travel.
D3DXVECTOR3 Tangent(float angle, bool clockwise) {
    const D3DXVECTOR3 anticlockwise(-std::sin(angle), std::cos(angle), 0);
    return clockwise ? -anticlockwise : anticlockwise;
}

} // namespace

void WriteTrackLine(std::vector<uint8_t>& out, const TrackLineEntry& entry) {
    AppendString(out, entry.name);
    AppendInt(out, entry.closed ? 1 : 0);
    AppendInt(out, static_cast<int32_t>(entry.segments.size()));
    for (const BezierSegment& segment : entry.segments) {
        AppendPoint(out, segment.p0);
        AppendPoint(out, segment.p3);
        AppendPoint(out, segment.p1);
        AppendPoint(out, segment.p2);
    }
}

BezierSegment StraightSegment(const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    BezierSegment segment;
    segment.p0 = from;
    segment.p1 = from + (to - from) * (1.0f / 3.0f);
    segment.p2 = from + (to - from) * (2.0f / 3.0f);
    segment.p3 = to;
    return segment;
}

BezierSegment QuarterArc(const D3DXVECTOR3& centre, float radius, float startAngle, bool clockwise) {
    const float quarter = clockwise ? -D3DX_PI / 2 : D3DX_PI / 2;
    const float endAngle = startAngle + quarter;
    BezierSegment segment;
    segment.p0 = OnCircle(centre, radius, startAngle);
    segment.p3 = OnCircle(centre, radius, endAngle);
    segment.p1 = segment.p0 + Tangent(startAngle, clockwise) * (kQuarterArcKappa * radius);
    segment.p2 = segment.p3 - Tangent(endAngle, clockwise) * (kQuarterArcKappa * radius);
    return segment;
}

std::vector<BezierSegment> CircleSegments(const D3DXVECTOR3& centre, float radius, bool clockwise) {
    std::vector<BezierSegment> segments;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const float angle = (clockwise ? -1.0f : 1.0f) * static_cast<float>(quarter) * D3DX_PI / 2;
        segments.push_back(QuarterArc(centre, radius, angle, clockwise));
    }
    return segments;
}

std::vector<uint8_t> WriteLevel(const std::vector<LevelRecord>& records,
                                const std::vector<TrackLineEntry>& lines) {
    std::vector<uint8_t> out;
    for (const float value : {0.0f, 0.0f, 3000.0f, 3000.0f})
        AppendFloat(out, value);
    AppendInt(out, 0);
    AppendInt(out, static_cast<int32_t>(records.size()));
    for (const LevelRecord& record : records) {
        AppendString(out, record.name);
        for (const float value : record.f)
            AppendFloat(out, value);
    }
    AppendInt(out, static_cast<int32_t>(lines.size()));
    for (const TrackLineEntry& line : lines)
        WriteTrackLine(out, line);
    return out;
}

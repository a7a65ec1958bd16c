#include "leveltool/TrackText.h"

#include <cmath>
#include <sstream>

namespace {

constexpr float kDegrees = D3DX_PI / 180.0f;
constexpr float kArcKappa = 0.5523f;

// The segment shifted sideways by `offset`: each end along its own normal
// (the right of the direction of travel), the controls with their ends.
BezierSegment Offset(const BezierSegment& segment, float offset) {
    const auto normal = [](const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
        D3DXVECTOR3 d = to - from;
        d.z = 0;
        const float length = D3DXVec3Length(&d);
        return length > 0 ? D3DXVECTOR3(d.y / length, -d.x / length, 0) : D3DXVECTOR3(0, 0, 0);
    };
    const D3DXVECTOR3 first = normal(segment.p0, segment.p1 == segment.p0 ? segment.p3 : segment.p1);
    const D3DXVECTOR3 last = normal(segment.p2 == segment.p3 ? segment.p0 : segment.p2, segment.p3);
    BezierSegment shifted = segment;
    shifted.p0 += first * offset;
    shifted.p1 += first * offset;
    shifted.p2 += last * offset;
    shifted.p3 += last * offset;
    return shifted;
}

// An arc of at most a quarter turn as one segment.
BezierSegment ArcPiece(float cx, float cy, float radius, float from, float to) {
    const float sweep = to - from;
    const float kappa = kArcKappa * std::fabs(sweep) / (D3DX_PI / 2);
    const float sign = sweep >= 0 ? 1.0f : -1.0f;
    const D3DXVECTOR3 p0(cx + radius * std::cos(from), cy + radius * std::sin(from), 0);
    const D3DXVECTOR3 p3(cx + radius * std::cos(to), cy + radius * std::sin(to), 0);
    const D3DXVECTOR3 t0(-std::sin(from) * sign, std::cos(from) * sign, 0);
    const D3DXVECTOR3 t3(-std::sin(to) * sign, std::cos(to) * sign, 0);
    return {p0, p0 + t0 * (kappa * radius), p3 - t3 * (kappa * radius), p3};
}

} // namespace

bool TrackText::Read(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string keyword, name;
        if (!(words >> keyword))
            continue;
        if (keyword == "record" || keyword == "car" || keyword == "direction")
            words >> name;
        std::vector<float> values;
        for (float value = 0; words >> value;)
            values.push_back(value);
        if (!words.eof() || !ReadLine(keyword, values, name)) {
            error = "line " + std::to_string(number) + ": " + (error.empty() ? "bad value" : error);
            return false;
        }
    }
    if (segments.empty()) {
        error = "the track has no segment";
        return false;
    }
    return true;
}

bool TrackText::ReadLine(const std::string& keyword, const std::vector<float>& values,
                         const std::string& name) {
    const std::size_t count = values.size();
    if (keyword == "number" && count == 1) {
        number = static_cast<int>(values[0]);
    } else if (keyword == "width" && count == 1 && values[0] > 0) {
        width = values[0];
    } else if (keyword == "ground" && count == 1 && values[0] >= 0) {
        groundMargin = values[0];
    } else if (keyword == "barrier" && count == 2 && values[0] > width / 2 && values[1] > 0) {
        barrierOffset = values[0];
        barrierHeight = values[1];
    } else if (keyword == "direction" && count == 0 && (name == "against" || name == "along")) {
        raceAgainstSampling = name == "against";
    } else if (keyword == "open" && count == 0) {
        closed = false;
    } else if (keyword == "straight" && count == 4) {
        segments.push_back(StraightSegment({values[0], values[1], 0}, {values[2], values[3], 0}));
    } else if (keyword == "arc" && count == 5 && values[2] > 0) {
        // Quarter turns at most per segment, so the kappa rule stays close.
        const float from = values[3] * kDegrees, to = values[4] * kDegrees;
        const int pieces =
            std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / (D3DX_PI / 2) - 1e-4f)));
        for (int i = 0; i < pieces; ++i)
            segments.push_back(ArcPiece(values[0], values[1], values[2], from + (to - from) * i / pieces,
                                        from + (to - from) * (i + 1) / pieces));
    } else if (keyword == "bezier" && count == 8) {
        segments.push_back({{values[0], values[1], 0},
                            {values[2], values[3], 0},
                            {values[4], values[5], 0},
                            {values[6], values[7], 0}});
    } else if ((keyword == "record" || keyword == "car") && !name.empty()) {
        return ReadRecord(values, keyword == "car" ? std::string("car:") + name : name);
    } else {
        error = "unknown keyword or wrong values: " + keyword;
        return false;
    }
    return true;
}

// record NAME X Y Z [TURN [SX SY SZ]]: TURN in degrees about z; car NAME X Y Z.
bool TrackText::ReadRecord(const std::vector<float>& values, const std::string& name) {
    const bool car = name.starts_with("car:");
    if (values.size() != 3 && (car || (values.size() != 4 && values.size() != 7))) {
        error = "a record needs x y z [turn [sx sy sz]], a car x y z";
        return false;
    }
    LevelRecord record;
    record.name = car ? name.substr(4) : name;
    record.f = {values[0], values[1], values[2], 0, 0, 0, 1, 1, 1, 1};
    if (values.size() >= 4) {
        record.f[5] = std::sin(values[3] * kDegrees / 2);
        record.f[6] = std::cos(values[3] * kDegrees / 2);
    }
    if (values.size() == 7)
        std::copy(values.begin() + 4, values.end(), record.f.begin() + 7);
    (car ? cars : records).push_back(record);
    return true;
}

std::vector<TrackLineEntry> TrackText::Lines() const {
    std::vector<TrackLineEntry> lines = {
        {"c_path", closed, segments}, {"left", closed, {}}, {"right", closed, {}}};
    for (const BezierSegment& segment : segments) {
        lines[1].segments.push_back(Offset(segment, -width / 2));
        lines[2].segments.push_back(Offset(segment, width / 2));
    }
    return lines;
}

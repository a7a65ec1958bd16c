#pragma once

#include "Game/BezierSegment.h"
#include "Game/LevelRecord.h"

#include <cstdint>
#include <string>
#include <vector>

// Writers of level-file entries in the layouts the engine reads. Tests build
// their fixtures with them; the level tool writes whole levels with them.

// One track line as the level file stores it.
struct TrackLineEntry {
    std::string name;
    bool closed = false;
    std::vector<BezierSegment> segments;
};

// Appends the entry: the name as an int length and its bytes, the closed
// flag and the segment count as ints, then per segment 12 floats in the
// order start, end, first control point, second control point. 12 + name
// length + 48 bytes per segment.
void WriteTrackLine(std::vector<uint8_t>& out, const TrackLineEntry& entry);

// A straight segment with its control points at the thirds.
BezierSegment StraightSegment(const D3DXVECTOR3& from, const D3DXVECTOR3& to);

// The quarter circle in the XY plane at the centre's height from `startAngle`
// (radians) a quarter turn anticlockwise, or clockwise when `clockwise`, with
// its controls at kappa = 0.5523 times the radius along the tangents.
BezierSegment QuarterArc(const D3DXVECTOR3& centre, float radius, float startAngle, bool clockwise);

// The full circle as four quarter arcs starting at angle 0.
std::vector<BezierSegment> CircleSegments(const D3DXVECTOR3& centre, float radius, bool clockwise);

// A whole level file: the header (0, 0, 3000, 3000), no light, the object
// records (each a string name and ten floats: 4 + name length + 40 bytes)
// and the track lines.
std::vector<uint8_t> WriteLevel(const std::vector<LevelRecord>& records,
                                const std::vector<TrackLineEntry>& lines);

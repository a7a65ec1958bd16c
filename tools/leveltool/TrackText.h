#pragma once

#include "Game/LevelRecord.h"
#include "leveltool/LevelWriter.h"

#include <string>
#include <vector>

// A level as readable text: the racing line as a chain of straights, arcs
// and Bezier segments, the road width, the race direction and the records.
// One keyword and its values per line; "#" starts a comment. See README.md.
class TrackText {
public:
    // False, with `error` naming the line, for an unknown keyword, a missing
    // or malformed value, or a track without segments.
    bool Read(const std::string& text);

    // "c_path" and, at half the road width to either side, "left" and
    // "right" (the right edge on the right of the sampling direction).
    std::vector<TrackLineEntry> Lines() const;

    int number = 1;
    float width = 16.0f;
    // Margin of the flat collision ground around the track.
    float groundMargin = 40.0f;
    // Walls along both sides of the road this far from the racing line and
    // this high; none when 0.
    float barrierOffset = 0.0f;
    float barrierHeight = 0.0f;
    // The race runs against the sampling order (as the computer drivers
    // drive), or along it.
    bool raceAgainstSampling = true;
    bool closed = true;
    std::vector<BezierSegment> segments;
    std::vector<LevelRecord> records;
    // Records of "car" lines: placed by name and position, facing the race
    // direction at the nearest piece of the racing line.
    std::vector<LevelRecord> cars;
    std::string error;

private:
    bool ReadLine(const std::string& keyword, const std::vector<float>& values, const std::string& name);
    bool ReadRecord(const std::vector<float>& values, const std::string& name);
};

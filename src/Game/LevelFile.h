#pragma once

#include "Game/LevelRecord.h"
#include "Game/PSpline.h"

#include <memory>
#include <string>
#include <vector>

class CPFileReader;

// The contents of a binary level file: four header floats (not used: a level
// always spans 3000 x 3000 units), a light count L with the lights (the first
// as 4 bytes and 12 floats, each further one 28 bytes; not used: the sun is
// fixed), an object count N with N records (a string name and ten floats),
// and a track-line count S with S track lines.
class LevelFile {
public:
    // Bytes of the first light after the count, and of each further light.
    static constexpr int kFirstLightBytes = 4 + 12 * 4;
    static constexpr int kFurtherLightBytes = 28;

    // Reads the whole file. False, with `error` saying why, when a count is
    // negative, the data ends early, a track line is damaged or a race
    // line yields no piece.
    bool Read(CPFileReader& reader);

    // The last line of that name; null when there is none.
    CPSpline* FindLine(const std::string& name) const;
    // The lines a level keeps: "c_path", "left" and "right". A line of
    // another name that yields no piece is dropped (logged) instead of
    // refusing the file.
    static bool IsRaceLineName(const std::string& name);

    std::vector<LevelRecord> records;
    std::vector<std::unique_ptr<CPSpline>> lines;
    std::string error;

private:
    bool SkipLights(CPFileReader& reader);
    bool ReadRecords(CPFileReader& reader);
    bool ReadLines(CPFileReader& reader);
    bool Fail(const std::string& reason);
};

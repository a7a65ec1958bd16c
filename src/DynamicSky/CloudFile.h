#pragma once

#include "Platform/D3DX9Math.h"

#include <cstddef>
#include <string>
#include <vector>

// A text file of the sky's folder, Data\Clouds\, read line by line: every
// line is a free label followed by values separated by single spaces
// (quotes group). The meaning of a line comes only from its position.
// Reading past the last line gives zeros and empty names, so a cut file
// reads as though the rest held zeros (logged once); a number that is not
// finite reads as 0. A file that cannot be read is logged.
class CloudFile {
public:
    // The path of a name of the sky's folder.
    static std::string PathOf(const std::string& name);

    // False when the file cannot be read (it then has no lines).
    bool Load(const std::string& name);

    int NextInt();
    float NextReal();
    // The first `count` values of the next line, missing ones 0.
    std::vector<int> NextInts(std::size_t count);
    std::vector<float> NextReals(std::size_t count);
    D3DXVECTOR3 NextVector();
    std::string NextName();
    // An int used as a number of items that follow: below 0 reads as 0, and
    // it is cut to the lines left, since every item takes a line at least.
    int NextCount();

private:
    // The values of the next line (the label dropped); none past the end.
    std::vector<std::string> NextValues();
    // Logs, once, that the file ended before what its lines announced.
    void ReportCut();

    std::vector<std::vector<std::string>> lines;
    std::size_t cursor = 0;
    std::string path;
    bool cutReported = false;
};

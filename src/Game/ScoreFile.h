#pragma once

#include "Game/ScoreLine.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CPFileWriter;

inline constexpr int kScoreTableCount = 6;
inline constexpr std::size_t kScoreTableLines = 7;
using ScoreTables = std::array<std::vector<ScoreLine>, kScoreTableCount>;

// Six tables of seven lines {"", 999, 0, 0}.
ScoreTables InitialScoreTables();

// Appends the tables as the score file stores them, table by table and line
// by line: int32 table index (0 to 5), the name (int32 length, then its
// bytes), int32 a, b, c; little-endian.
void WriteScoreTables(CPFileWriter& writer, const ScoreTables& tables);

struct ScoreRecord {
    int32_t table = 0;
    ScoreLine line;
};

// Decodes the plain (unscrambled) bytes of a score file. False when a record
// is cut short or holds a table index outside 0 to 5 or a negative name
// length; `error` then names the byte offset and the records before it are
// kept.
bool DecodeScoreRecords(const uint8_t* bytes, std::size_t size, std::vector<ScoreRecord>& records,
                        std::string& error);

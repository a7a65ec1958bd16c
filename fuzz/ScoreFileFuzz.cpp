// Decodes arbitrary bytes as the plain contents of a score file; every
// record read must lie inside the input.

#include "Game/ScoreFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<ScoreRecord> records;
    std::string error;
    const bool whole = DecodeScoreRecords(data, size, records, error);
    std::size_t bytes = 0;
    for (const ScoreRecord& record : records) {
        if (record.table < 0 || record.table >= kScoreTableCount)
            __builtin_trap();
        bytes += 20 + record.line.name.size();
    }
    if (bytes > size || (whole && bytes != size) || whole != error.empty())
        __builtin_trap();
    return 0;
}

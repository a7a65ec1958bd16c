// Reads arbitrary bytes as a whole level file: header, lights, object
// records and track lines, then sorts every record by its kind the way the
// loader does.

#include "Core/PFileReader.h"
#include "Game/LevelFile.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CPFileReader reader("fuzz.lvl", false);
    reader.SetData(std::vector<uint8_t>(data, data + size));
    LevelFile file;
    if (!file.Read(reader)) {
        if (file.error.empty())
            __builtin_trap();
        return 0;
    }
    for (const LevelRecord& record : file.records) {
        const std::string base = StripTrailingDigits(record.name);
        if (ClassifyLevelRecord(base) == ELevelRecordKind::Scenery && IsSafeModelName(base) &&
            (base.find('/') != std::string::npos || base.find("..") != std::string::npos))
            __builtin_trap();
    }
    for (const auto& line : file.lines) {
        if (!line->firstLine)
            __builtin_trap();
    }
    return 0;
}

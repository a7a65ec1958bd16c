#include "Game/LevelRecord.h"

std::string StripTrailingDigits(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] >= '0' && text[end - 1] <= '9')
        --end;
    return text.substr(0, end);
}

ELevelRecordKind ClassifyLevelRecord(const std::string& baseName) {
    if (baseName == "player")
        return ELevelRecordKind::PlayerStart;
    if (baseName.starts_with("enemy"))
        return ELevelRecordKind::CarStart;
    if (baseName.starts_with("che"))
        return ELevelRecordKind::Checkpoint;
    if (baseName.starts_with("chk"))
        return ELevelRecordKind::SequenceCheckpoint;
    if (baseName.starts_with("src"))
        return ELevelRecordKind::Source;
    return ELevelRecordKind::Scenery;
}

bool IsSafeModelName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos &&
           name.find("..") == std::string::npos;
}

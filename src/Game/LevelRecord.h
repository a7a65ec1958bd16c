#pragma once

#include <array>
#include <string>

// One object record of a level file: its name and ten floats, f0..f2 a
// position, f3..f6 an orientation quaternion (x, y, z, w), f7..f9 scale
// factors.
struct LevelRecord {
    std::string name;
    std::array<float, 10> f{};
};

// What a record places, chosen by its base name (the name without its
// trailing decimal digits) in this order.
enum class ELevelRecordKind {
    // exactly "player"
    PlayerStart,
    // begins with "enemy"
    CarStart,
    // begins with "che": a timed checkpoint, continuing as scenery
    Checkpoint,
    // begins with "chk": a numbered checkpoint of the sequence
    SequenceCheckpoint,
    // begins with "src": a named source position
    Source,
    Scenery,
};

// The text without its trailing decimal digits ("tree12" gives "tree").
std::string StripTrailingDigits(const std::string& text);
ELevelRecordKind ClassifyLevelRecord(const std::string& baseName);
// Whether a name taken from level data may become a file name: not empty,
// without "/", "\", ":" or "..".
bool IsSafeModelName(const std::string& name);

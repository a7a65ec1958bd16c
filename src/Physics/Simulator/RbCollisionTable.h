#pragma once

// Response codes between collision groups 0..63, plus one entry per group
// against the terrain (group -1). Bit 0: resolve the contact with impulses;
// bit 1: report it to the collision callback.
class RbCollisionTable {
public:
    static constexpr int GroupCount = 64;
    static constexpr int Terrain = -1;

    RbCollisionTable() { Reset(); }

    // Every entry to 1.
    void Reset();
    // Sets (a, b) and (b, a); with one group -1 the other group's terrain
    // entry. Both -1, or a group outside -1..63, changes nothing.
    void Set(int a, int b, int code);
    // The code; 0 for both -1 and for groups outside -1..63.
    int Get(int a, int b) const;

private:
    static bool IsGroup(int g) { return g >= Terrain && g < GroupCount; }

    int pairs[GroupCount][GroupCount];
    int terrain[GroupCount];
};

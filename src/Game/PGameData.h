#pragma once

class CPGameData;
extern CPGameData* g_GameData;
CPGameData* GetGameData();

// Stands in for the game data until the game subsystem lands.
class CPGameData {
public:
    CPGameData();
    virtual ~CPGameData();
    CPGameData(const CPGameData&) = delete;
    CPGameData& operator=(const CPGameData&) = delete;

    // Reads the text table from Data\strings.txt.
    void LoadStrings();

    // Stand-in: set by the scripts once the race is under way; the cars do
    // their per-frame work only while it is set.
    bool levelStarted = false;
};

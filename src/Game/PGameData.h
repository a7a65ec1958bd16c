#pragma once

#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Game/CarInfo.h"
#include "Game/ItemCatalogues.h"
#include "Game/MissionFileReader.h"
#include "Game/MissionInfo.h"
#include "Game/PGameObject.h"
#include "Game/RaceProgress.h"
#include "Game/RacerRecord.h"
#include "Game/ScoreFile.h"
#include "Game/ScoreLine.h"
#include "Game/TextTableReader.h"
#include "Platform/Win32Types.h"

#include <array>
#include <string>
#include <vector>

class CPGameData;
extern CPGameData* g_GameData;
CPGameData* GetGameData();

// An object the bonus list holds, with its number.
struct HeldObject {
    CPRefPtr<CPGameObject> object;
    int number = 0;
};

// Everything about the player's game that outlives one race: the text
// table, the shop's catalogues (inherited), the car's equipment being
// edited and in use, money, the current race's missions and sources,
// difficulty, record tables, the race counters of the heads-up display and
// the best runs kept by the save games.
//
// The race reads these fields under these names: the current car model is
// `playerName`, the player's lap number `lapCount`, the lap list `lapTimes`,
// the number of laps `roundCount`, the per-car records `racerStats`, the car
// positions `racerTable`, the best-run records `raceProgress`.
class CPGameData : public ItemCatalogues {
public:
    static constexpr int kRaceCount = 15;
    static constexpr int kLapTimeCount = RacerRecord::kLapTimeCount;

    CPGameData();
    virtual ~CPGameData();
    CPGameData(const CPGameData&) = delete;
    CPGameData& operator=(const CPGameData&) = delete;

    // Resets the best-run records (their samples stay) and the kill count,
    // then adds the texts of Data\strings.txt; a missing file adds none.
    void LoadStrings();
    // Replaces the catalogues and presets with those of Data\items.txt.
    void LoadItems();

    // The text of the key; a missing key is added with an empty text.
    const std::string& GetText(const std::string& key);

    void SetCarInfo(const CarInfo& car) { carInfo = car; }
    // The configuration being edited becomes the one in use.
    void CommitCarInfo() { realCarInfo = carInfo; }

    // Reads the missions and sources of Data\Levels\<name>. A name that
    // could leave that folder is refused; with no loaded level, or for a
    // point the level lacks, sources lie at (0, 0, 0).
    void LoadMissionInfo(const std::string& name);
    // Fits and commits the starting equipment of DATA\player.dat (an empty
    // configuration when it is missing).
    void LoadPlayer();
    // All coefficients 1 when the cam_speed setting and the difficulty flag
    // are both set, otherwise those of DATA\coeff.dat (kept when missing).
    void LoadCoefficients();

    // Offers a line to record table 1 to 6: true when it took a place. A
    // full table keeps seven lines; equal results keep the older line first.
    // Other table numbers take no line.
    bool CheckRecord(int tableNumber, const ScoreLine& line);
    // Writes the record tables to Data\scores.dat, scrambled.
    HRESULT SaveScores() const;
    // Reads the record tables back from Data\scores.dat, so that records
    // outlive the run: each table the file holds replaces the fresh one (at
    // most seven lines). Without the file the tables stay as they are; a
    // damaged file is named in the log and its whole records are kept.
    void LoadScores();

    // The best-run record of race 1 to 15; null for other numbers.
    RaceProgress* GetRaceProgress(int raceNumber);

    // Switches to the named profile (its name capped). A name other than the
    // current one starts it afresh: no slot chosen, mission 1, no points, and
    // the first ten best-run records without time, with value 4 and no
    // record name. True when the name differed.
    bool ChangeProfile(const std::string& name);
    // Profile and player names are cut to this many bytes wherever they are
    // set, so that a save file and a log line stay small.
    static constexpr std::size_t kMaxNameLength = 64;
    static std::string CapName(const std::string& name);

    // Save games: the six files "save0.sav" to "save5.sav" in DATA\Saves.
    // Chooses the slot (the current one, else the first free one: missing,
    // empty or damaged; else the one written earliest) and writes it.
    void SaveGameChooseSlot();
    // Writes the profile, player, local time and progress to the named file
    // of the saves folder (created when missing). The old file stays whole
    // when the write fails (logged); a damaged one is first moved aside as
    // "<name>.damaged" (logged).
    HRESULT SaveGameWrite(const std::string& fileName);
    // Reads the named save. A file that is missing, empty or damaged changes
    // nothing (a damaged one is logged with the field and byte at fault);
    // otherwise the profile is switched, the slot becomes the file's slot
    // number (-1 for a name other than "save0.sav" to "save5.sav") and the
    // saved fields are taken. A race saved without samples keeps its car
    // model and samples unless the profile changed.
    bool LoadGame(const std::string& fileName);
    // Empties the named save: a zero-byte file.
    void DeleteSave(const std::string& fileName);
    // The profile name of each of the six slots; "" for an empty, missing or
    // damaged one.
    std::vector<std::string> GetSaveProfiles() const;
    // The slot of a save file name: 0 to 5 for "save0.sav" to "save5.sav",
    // else -1.
    static int SlotOfSaveName(const std::string& fileName);
    // Removes what writes of the six slots left behind when the game was
    // killed before they finished.
    static void RemoveStaleSaveTemporaries();

    // Resets the race counters and empties the bonus list.
    void Clear();
    // Drops the bonus-list entries of an object being destroyed: the list
    // never names a dead object.
    void ForgetHeldObject(const CPGameObject* object);
    void ClearLevelTimer() { levelTime = 0; }

    std::vector<HeldObject> heldObjects;
    int extraCarCount = 0;
    ScoreTables scoreTables = InitialScoreTables();
    CarInfo carInfo;
    CarInfo realCarInfo;
    float money = 0;
    std::vector<MissionInfo> missions;
    SourceGroups sources;
    TextTable textTable;
    int currentMission = 1;
    // Coefficient 2 scales bonus drops, 3 the damage to the player, 4 the
    // level time; 1 is kept for the scripts.
    std::array<float, 4> coefficients = {1, 1, 1, 1};
    int kills = 0;
    bool difficultFlag = false;
    int currentSlot = -1;
    int racesPassed = 1;
    int lapCount = 1;
    std::vector<float> lapTimes = std::vector<float>(kLapTimeCount, 0.0f);
    int progress = -1;
    std::string playerName;
    std::string profileName;
    StringHashMap<RacerRecord> racerTable;
    StringHashMap<RacerRecord> racerStats{20};
    int raceCounter = 0;
    int roundCount = 1;
    int playerType = 0;
    float roundTime = 0;
    float levelTime = 0;
    int maxAbilityCount = 0;
    int playerMana = 0;
    bool levelStarted = false;
    std::array<RaceProgress, kRaceCount> raceProgress;
    int points = 0;
    float totalRaceTime = 0;
    // Runs the checkpoint clock; nothing sets it yet.
    bool checkpointMode = false;
};

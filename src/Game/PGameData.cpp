#include "Game/PGameData.h"

#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PFileWriter.h"
#include "Core/PSettings.h"
#include "Core/StringFunctions.h"
#include "Game/ItemsFileReader.h"
#include "Game/LevelSourcePoints.h"
#include "Game/ProfileFileReader.h"

#include <algorithm>

CPGameData* g_GameData = nullptr;

namespace {

constexpr const char* kStringsFile = "Data\\strings.txt";
constexpr const char* kItemsFile = "Data\\items.txt";
constexpr const char* kPlayerFile = "DATA\\player.dat";
constexpr const char* kCoefficientsFile = "DATA\\coeff.dat";
constexpr const char* kScoresFile = "Data\\scores.dat";
constexpr const char* kLevelsFolder = "Data\\Levels\\";

// Reads a game-data text file (loose or packed, not scrambled) and hands its
// bytes to `read`, then logs what `read` found wrong. False when the file
// cannot be read.
template <class Read>
bool ReadDataFile(const std::string& path, Read read) {
    CPFileReader file(path, false);
    if (FAILED(file.Load()))
        return false;
    TextProblems problems;
    read(file.GetData(), static_cast<std::size_t>(file.GetSize()), problems);
    LogTextProblems(path, problems);
    return true;
}

} // namespace

CPGameData::CPGameData() {
    g_GameData = this;
    RecordCall("CPGameData()");
}

CPGameData::~CPGameData() {
    RecordCall("~CPGameData()");
    if (g_GameData == this)
        g_GameData = nullptr;
}

void CPGameData::LoadStrings() {
    RecordCall("CPGameData::LoadStrings");
    for (RaceProgress& race : raceProgress) {
        race.bestTime = 0;
        race.value = 4;
        race.carModel.clear();
    }
    kills = 0;
    const bool read =
        ReadDataFile(kStringsFile, [this](const void* bytes, std::size_t size, TextProblems& problems) {
            ReadTextTable(bytes, size, textTable, problems);
        });
    if (!read)
        GetLog().Print(0, "%s could not be read (missing or cut short): the game's texts are empty\n",
                       kStringsFile);
}

void CPGameData::LoadItems() {
    RecordCall("CPGameData::LoadItems");
    static_cast<ItemCatalogues&>(*this) = ItemCatalogues();
    const bool read =
        ReadDataFile(kItemsFile, [this](const void* bytes, std::size_t size, TextProblems& problems) {
            ReadItemsFile(bytes, size, *this, problems);
        });
    if (!read)
        GetLog().Print(0, "%s could not be read: the shop and the weapons have no items\n", kItemsFile);
}

const std::string& CPGameData::GetText(const std::string& key) {
    return textTable[key];
}

void CPGameData::LoadMissionInfo(const std::string& name) {
    missions.clear();
    // A mission name must name a file directly inside the levels folder.
    if (!IsPlainFileName(name)) {
        GetLog().Print(0, "The mission file name \"%s\" is refused: it must name a file in %s\n",
                       name.c_str(), kLevelsFolder);
        return;
    }
    ReadDataFile(kLevelsFolder + name, [this](const void* bytes, std::size_t size, TextProblems& problems) {
        sources = SourceGroups();
        const SourcePoints points = GetLevelSourcePoints();
        ReadMissionFile(bytes, size, &points, missions, sources, problems);
    });
}

void CPGameData::LoadPlayer() {
    CarInfo car;
    ReadDataFile(kPlayerFile, [this, &car](const void* bytes, std::size_t size, TextProblems& problems) {
        car = ReadPlayerFile(bytes, size, *this, problems);
    });
    SetCarInfo(car);
    CommitCarInfo();
}

void CPGameData::LoadCoefficients() {
    if (g_CamSpeed != 0 && difficultFlag) {
        coefficients.fill(1.0f);
        return;
    }
    ReadDataFile(kCoefficientsFile, [this](const void* bytes, std::size_t size, TextProblems& problems) {
        ReadCoefficientsFile(bytes, size, coefficients, problems);
    });
}

bool CPGameData::CheckRecord(int tableNumber, const ScoreLine& line) {
    if (tableNumber < 1 || tableNumber > kScoreTableCount)
        return false;
    std::vector<ScoreLine>& table = scoreTables[tableNumber - 1];
    if (table.size() < kScoreTableLines) {
        table.push_back(line);
        return true;
    }
    // Stable, so that among equal results the older line keeps the better place.
    std::stable_sort(table.begin(), table.end(),
                     [](const ScoreLine& a, const ScoreLine& b) { return a.Beats(b); });
    const auto beaten =
        std::find_if(table.begin(), table.end(), [&](const ScoreLine& old) { return line.Beats(old); });
    if (beaten == table.end())
        return false;
    table.insert(beaten, line);
    table.pop_back();
    return true;
}

HRESULT CPGameData::SaveScores() const {
    CPFileWriter writer(kScoresFile, true);
    WriteScoreTables(writer, scoreTables);
    return writer.Save();
}

void CPGameData::LoadScores() {
    CPFileReader file(kScoresFile, true);
    if (FAILED(file.Load()))
        return;
    std::vector<ScoreRecord> records;
    std::string error;
    if (!DecodeScoreRecords(file.GetData(), static_cast<std::size_t>(file.GetSize()), records, error))
        GetLog().Print(0, "%s: %s\n", kScoresFile, error.c_str());
    ScoreTables kept;
    for (ScoreRecord& record : records) {
        std::vector<ScoreLine>& table = kept[static_cast<std::size_t>(record.table)];
        if (table.size() < kScoreTableLines)
            table.push_back(std::move(record.line));
    }
    for (std::size_t table = 0; table < kept.size(); ++table) {
        if (!kept[table].empty())
            scoreTables[table] = std::move(kept[table]);
    }
}

RaceProgress* CPGameData::GetRaceProgress(int raceNumber) {
    return raceNumber >= 1 && raceNumber <= kRaceCount ? &raceProgress[raceNumber - 1] : nullptr;
}

void CPGameData::Clear() {
    lapCount = 1;
    lapTimes.assign(kLapTimeCount, 0.0f);
    progress = -1;
    racerTable.Clear();
    racerStats = StringHashMap<RacerRecord>(20);
    raceCounter = 0;
    heldObjects.clear();
}

void CPGameData::ForgetHeldObject(const CPGameObject* object) {
    std::erase_if(heldObjects, [object](const HeldObject& entry) { return entry.object.Get() == object; });
}

CPGameData* GetGameData() {
    return g_GameData;
}

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PFileWriter.h"
#include "Core/StringFunctions.h"
#include "Game/PGameData.h"
#include "Game/SaveSlot.h"
#include "Game/SaveSlotReader.h"
#include "Platform/FileSystem.h"

#include <optional>

namespace {

constexpr const char* kSavesFolder = "Data\\Saves\\";

std::string SaveName(int slot) {
    return "save" + std::to_string(slot) + ".sav";
}

// A save name must name a file directly inside the saves folder.
bool CheckSaveName(const std::string& fileName) {
    if (IsPlainFileName(fileName))
        return true;
    GetLog().Print(0, "The save name \"%s\" is refused: it must name a file in %s\n", fileName.c_str(),
                   kSavesFolder);
    return false;
}

// The save file's bytes; empty when it is missing or cannot be read whole.
std::vector<uint8_t> ReadSaveFile(const std::string& fileName) {
    CPFileReader file(kSavesFolder + fileName, false);
    if (FAILED(file.Load()))
        return {};
    return std::vector<uint8_t>(file.GetData(), file.GetData() + file.GetSize());
}

// The whole save, or nothing when the file is empty, missing or damaged; a
// damaged file is logged.
std::optional<SaveSlot> ReadSave(const std::string& fileName) {
    const std::vector<uint8_t> bytes = ReadSaveFile(fileName);
    if (bytes.empty())
        return std::nullopt;
    SaveSlot slot;
    SaveSlotReader reader(bytes.data(), bytes.size());
    if (reader.Read(slot))
        return slot;
    GetLog().Print(0, "The save %s%s is damaged and was not read: %s\n", kSavesFolder, fileName.c_str(),
                   reader.Error().c_str());
    return std::nullopt;
}

// A slot is free when its file is missing, empty or damaged; a slot in use
// tells when it was written.
std::optional<SYSTEMTIME> SavedTime(int slot) {
    const std::vector<uint8_t> bytes = ReadSaveFile(SaveName(slot));
    SaveSlot save;
    if (bytes.empty() || !SaveSlotReader(bytes.data(), bytes.size()).Read(save))
        return std::nullopt;
    return save.saveTime;
}

// The first free slot, else the one written earliest (the lower number
// among equal times).
int ChooseFreeOrOldestSlot() {
    std::array<SYSTEMTIME, SaveSlot::kSlotCount> times;
    for (int slot = 0; slot < SaveSlot::kSlotCount; ++slot) {
        const std::optional<SYSTEMTIME> time = SavedTime(slot);
        if (!time)
            return slot;
        times[slot] = *time;
    }
    int oldest = 0;
    for (int slot = 1; slot < SaveSlot::kSlotCount; ++slot) {
        if (IsEarlierSaveTime(times[slot], times[oldest]))
            oldest = slot;
    }
    return oldest;
}

// A damaged save is kept beside the new one as "<name>.damaged" (replacing
// an older one) rather than written over.
void MoveDamagedSaveAside(const std::string& fileName) {
    const std::vector<uint8_t> bytes = ReadSaveFile(fileName);
    SaveSlot save;
    if (bytes.empty() || SaveSlotReader(bytes.data(), bytes.size()).Read(save))
        return;
    const std::string path = kSavesFolder + fileName;
    if (PlatMoveFile(path, path + ".damaged"))
        GetLog().Print(0, "The damaged save %s was moved aside as %s.damaged\n", path.c_str(),
                       fileName.c_str());
    else
        GetLog().Print(0, "The damaged save %s could not be moved aside: it is written over\n", path.c_str());
}

// The writer logs a failed write; the old file then stays whole.
HRESULT WriteSaveFile(const CPFileWriter& writer) {
    if (!PlatCreateFolders(kSavesFolder))
        GetLog().Print(0, "The saves folder %s could not be created\n", kSavesFolder);
    return writer.Save();
}

} // namespace

std::string CPGameData::CapName(const std::string& name) {
    return name.substr(0, kMaxNameLength);
}

bool CPGameData::ChangeProfile(const std::string& fullName) {
    const std::string name = CapName(fullName);
    const bool changed = name != profileName;
    if (changed) {
        currentSlot = -1;
        currentMission = 1;
        points = 0;
        for (int race = 0; race < SaveSlot::kSavedRaces; ++race) {
            raceProgress[race].bestTime = 0;
            raceProgress[race].value = 4;
            raceProgress[race].carModel.clear();
        }
    }
    profileName = name;
    return changed;
}

void CPGameData::SaveGameChooseSlot() {
    if (currentSlot < 0 || currentSlot >= SaveSlot::kSlotCount)
        currentSlot = ChooseFreeOrOldestSlot();
    SaveGameWrite(SaveName(currentSlot));
}

HRESULT CPGameData::SaveGameWrite(const std::string& fileName) {
    if (!CheckSaveName(fileName))
        return E_FAIL;
    SaveSlot slot;
    slot.profileName = profileName;
    slot.playerName = playerName;
    GetLocalTime(&slot.saveTime);
    slot.racesPassed = racesPassed;
    slot.points = points;
    std::copy_n(raceProgress.begin(), SaveSlot::kSavedRaces, slot.races.begin());
    CPFileWriter writer(kSavesFolder + fileName, false);
    WriteSaveSlot(writer, slot);
    MoveDamagedSaveAside(fileName);
    return WriteSaveFile(writer);
}

bool CPGameData::LoadGame(const std::string& fileName) {
    if (!CheckSaveName(fileName))
        return false;
    std::optional<SaveSlot> slot = ReadSave(fileName);
    if (!slot)
        return false;
    // Another profile's best runs must not survive in races it saved
    // without samples.
    const bool profileChanged = ChangeProfile(slot->profileName);
    currentSlot = SlotOfSaveName(fileName);
    playerName = CapName(slot->playerName);
    racesPassed = slot->racesPassed;
    points = slot->points;
    for (int race = 0; race < SaveSlot::kSavedRaces; ++race) {
        RaceProgress& saved = slot->races[race];
        RaceProgress& kept = raceProgress[race];
        kept.bestTime = saved.bestTime;
        kept.value = saved.value;
        if (!saved.samples.empty() || profileChanged) {
            kept.carModel = std::move(saved.carModel);
            kept.samples = std::move(saved.samples);
        }
    }
    return true;
}

void CPGameData::DeleteSave(const std::string& fileName) {
    if (CheckSaveName(fileName))
        WriteSaveFile(CPFileWriter(kSavesFolder + fileName, false));
}

std::vector<std::string> CPGameData::GetSaveProfiles() const {
    std::vector<std::string> profiles;
    for (int slot = 0; slot < SaveSlot::kSlotCount; ++slot) {
        const std::optional<SaveSlot> save = ReadSave(SaveName(slot));
        profiles.push_back(save ? save->profileName : std::string());
    }
    return profiles;
}

int CPGameData::SlotOfSaveName(const std::string& fileName) {
    for (int slot = 0; slot < SaveSlot::kSlotCount; ++slot) {
        if (PlatNamesEqualNoCase(fileName, SaveName(slot)))
            return slot;
    }
    return -1;
}

void CPGameData::RemoveStaleSaveTemporaries() {
    for (int slot = 0; slot < SaveSlot::kSlotCount; ++slot)
        PlatRemoveStaleTemporaries(kSavesFolder + SaveName(slot));
}

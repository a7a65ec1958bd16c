// savetool: prints a save game the way the engine reads it.
//   savetool dump FILE  prints every field of the save (Data/Saves/save0.sav
//       and so on), or says why the engine refuses it and fails

#include "Core/PFileReader.h"
#include "Game/SaveSlotReader.h"

#include <cstdio>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: savetool dump FILE\n");
    return 2;
}

void PrintRace(int index, const RaceProgress& race) {
    std::printf("race %d: best time %.2f, value %d, %zu samples", index, static_cast<double>(race.bestTime),
                race.value, race.samples.size());
    if (!race.samples.empty())
        std::printf(" by \"%s\"", race.carModel.c_str());
    std::printf("\n");
    for (const RunSample& s : race.samples) {
        std::printf("  %.3f: position %g %g %g, orientation %g %g %g %g\n", static_cast<double>(s.raceTime),
                    static_cast<double>(s.position.x), static_cast<double>(s.position.y),
                    static_cast<double>(s.position.z), static_cast<double>(s.orientation.x),
                    static_cast<double>(s.orientation.y), static_cast<double>(s.orientation.z),
                    static_cast<double>(s.orientation.w));
    }
}

void Print(const SaveSlot& slot) {
    const SYSTEMTIME& t = slot.saveTime;
    std::printf("profile: \"%s\"\nplayer: \"%s\"\n", slot.profileName.c_str(), slot.playerName.c_str());
    std::printf("saved: %04u-%02u-%02u %02u:%02u:%02u.%03u (day of week %u)\n", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek);
    std::printf("races passed: %d\npoints: %d\n", slot.racesPassed, slot.points);
    for (int race = 0; race < SaveSlot::kSavedRaces; ++race)
        PrintRace(race, slot.races[race]);
}

int Dump(const std::string& path) {
    CPFileReader file(path, false);
    if (FAILED(file.Load())) {
        std::fprintf(stderr, "savetool: cannot read %s\n", path.c_str());
        return 1;
    }
    if (file.GetSize() == 0) {
        std::printf("%s: an empty slot\n", path.c_str());
        return 0;
    }
    SaveSlot slot;
    SaveSlotReader reader(file.GetData(), static_cast<std::size_t>(file.GetSize()));
    if (!reader.Read(slot)) {
        std::fprintf(stderr, "savetool: %s is refused: %s\n", path.c_str(), reader.Error().c_str());
        return 1;
    }
    Print(slot);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "dump")
        return Usage();
    return Dump(argv[2]);
}

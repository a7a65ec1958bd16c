#include "Core/Log.h"
#include "Game/PGameData.h"
#include "Support/GameDataFixture.h"
#include "Support/SaveFileBytes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <limits>
#include <optional>
#include <tuple>

namespace {

class SaveGameTest : public GameDataFixture {
protected:
    void SetUp() override {
        PlatSetLocalTimeSource([this] { return now; });
        GetLog().SetSink([this](std::string_view text) { log += text; });
    }
    void TearDown() override {
        PlatSetLocalTimeSource({});
        GetLog().SetSink({});
    }

    static std::string SlotPath(int slot) { return "Data/Saves/save" + std::to_string(slot) + ".sav"; }
    static void WriteSlot(int slot, const std::string& bytes) { Write(SlotPath(slot), bytes); }
    static std::string ReadSlot(int slot) { return TempGameRoot::ReadFile(SlotPath(slot)); }

    // A save of the profile written at the given day and time.
    static std::string SaveAt(const std::string& profile, WORD day, WORD hour, WORD second = 0,
                              WORD milliseconds = 0) {
        SYSTEMTIME time = GoldenSaveTime();
        time.wDay = day;
        time.wHour = hour;
        time.wSecond = second;
        time.wMilliseconds = milliseconds;
        time.wDayOfWeek = static_cast<WORD>(day % 7);
        SaveFileBytes file;
        file.Text(profile).Text("car").Time(time).Int(1).Int(2);
        for (int race = 0; race < 10; ++race)
            file.EmptyRace(0, 4);
        return file.bytes;
    }

    // What a load may change.
    auto State() const {
        return std::make_tuple(data.profileName, data.playerName, data.currentSlot, data.currentMission,
                               data.racesPassed, data.points, data.raceProgress[0].bestTime,
                               data.raceProgress[0].carModel, data.raceProgress[0].samples.size(),
                               data.raceProgress[5].value);
    }

    // A profile with a best run in races 0 and 1.
    void GiveProgress() {
        data.profileName = "P";
        data.playerName = "old";
        data.currentMission = 5;
        data.points = 9;
        for (RaceProgress* race : {&data.raceProgress[0], &data.raceProgress[1]}) {
            race->bestTime = 50;
            race->carModel = "jeep";
            race->samples.resize(3);
        }
    }

    SYSTEMTIME now = GoldenSaveTime();
    std::string log;
};

TEST_F(SaveGameTest, GoldenFileLoadsAndSavesBackByteForByte) {
    const std::string golden = GoldenSaveFile();
    ASSERT_EQ(golden.size(), 227u);
    WriteSlot(2, golden);
    ASSERT_TRUE(data.LoadGame("save2.sav"));
    EXPECT_EQ(data.profileName, "P");
    EXPECT_EQ(data.playerName, "Q");
    EXPECT_EQ(data.currentSlot, 2);
    EXPECT_EQ(data.racesPassed, 3);
    EXPECT_EQ(data.points, 120);
    const RaceProgress& best = data.raceProgress[0];
    EXPECT_EQ(best.bestTime, 75.25f);
    EXPECT_EQ(best.value, 7);
    EXPECT_EQ(best.carModel, "buggy");
    ASSERT_EQ(best.samples.size(), 2u);
    EXPECT_EQ(best.samples[1].position.y, 11.5f);
    EXPECT_EQ(best.samples[1].orientation.w, 16.5f);
    EXPECT_EQ(best.samples[1].raceTime, 17.5f);
    EXPECT_EQ(data.raceProgress[9].bestTime, 13.5f);
    EXPECT_EQ(data.raceProgress[9].value, 9);

    ASSERT_EQ(data.SaveGameWrite("save3.sav"), S_OK);
    EXPECT_EQ(ReadSlot(3), golden);
    // The same slot is written again by SaveGame.
    data.SaveGameChooseSlot();
    EXPECT_EQ(ReadSlot(2), golden);
}

TEST_F(SaveGameTest, EveryTruncationIsRefusedAndChangesNothing) {
    const std::string golden = GoldenSaveFile();
    GiveProgress();
    const auto before = State();
    for (std::size_t length = 1; length < golden.size(); ++length) {
        WriteSlot(1, golden.substr(0, length));
        log.clear();
        EXPECT_FALSE(data.LoadGame("save1.sav")) << length;
        EXPECT_EQ(State(), before) << length;
        EXPECT_NE(log.find("save1.sav"), std::string::npos) << length;
        EXPECT_NE(log.find(" at byte "), std::string::npos) << log;
        EXPECT_EQ(ReadSlot(1), golden.substr(0, length));
    }
}

TEST_F(SaveGameTest, DamagedFilesAreRefusedNamingFieldAndByte) {
    const std::string golden = GoldenSaveFile();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    SaveFileBytes nanBest;
    nanBest.Text("P").Text("Q").Time(GoldenSaveTime()).Int(3).Int(120).Float(nan).Int(4).Int(0);
    SaveFileBytes hugeCount;
    hugeCount.Text("P")
        .Text("Q")
        .Time(GoldenSaveTime())
        .Int(3)
        .Int(120)
        .Float(1)
        .Int(4)
        .Int(0x7FFFFFFF)
        .Text("m");
    SaveFileBytes negativeCount;
    negativeCount.Text("P").Text("Q").Time(GoldenSaveTime()).Int(3).Int(120).Float(1).Int(4).Int(-1);
    const struct {
        const char* name;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"negative length", SaveFileBytes().Int(-5).bytes + golden.substr(4),
         "the profile name at byte 0: its length is negative"},
        {"length past the end", SaveFileBytes().Int(100000).bytes + golden.substr(4),
         "the profile name at byte 0: its length runs past the end"},
        {"huge sample count", hugeCount.bytes,
         "the samples of race 0 at byte 51: the file ends before the counted samples"},
        {"negative sample count", negativeCount.bytes,
         "the sample count of race 0 at byte 42: it is negative"},
        {"trailing byte", golden + "x", "at byte 227: bytes are left over"},
        {"NaN best time", nanBest.bytes, "the best time of race 0 at byte 34: it is not a finite number"},
    };
    for (const auto& c : cases) {
        GiveProgress();
        const auto before = State();
        WriteSlot(0, c.bytes);
        log.clear();
        EXPECT_FALSE(data.LoadGame("save0.sav")) << c.name;
        EXPECT_EQ(State(), before) << c.name;
        EXPECT_NE(log.find(c.error), std::string::npos) << c.name << ": " << log;
        EXPECT_EQ(data.GetSaveProfiles()[0], "") << c.name;
    }
}

TEST_F(SaveGameTest, SlotChoiceTakesTheFirstEmptyThenTheOldest) {
    struct Slots {
        const char* name;
        std::vector<std::optional<std::string>> files; // nullopt: no file
        int chosen;
    };
    const std::string damagedTime = SaveFileBytes().Text("P").Int(50).bytes;
    const std::string golden = GoldenSaveFile();
    const std::string damagedBody = golden.substr(0, golden.size() - 1);
    const std::vector<Slots> cases = {
        {"no saves", {}, 0},
        {"slot 0 deleted", {std::string(), SaveAt("B", 1, 1)}, 0},
        {"six full",
         {SaveAt("A", 9, 1), SaveAt("B", 3, 1), SaveAt("C", 2, 23), SaveAt("D", 4, 1), SaveAt("E", 3, 2),
          SaveAt("F", 5, 1)},
         2},
        {"equal times to the second",
         {SaveAt("A", 9, 1), SaveAt("B", 2, 1, 7, 900), SaveAt("C", 9, 1), SaveAt("D", 2, 1, 7, 100),
          SaveAt("E", 9, 1), SaveAt("F", 9, 1)},
         1},
        {"a damaged time is free",
         {SaveAt("A", 1, 1), SaveAt("B", 1, 1), SaveAt("C", 1, 1), damagedTime, SaveAt("E", 1, 1),
          SaveAt("F", 1, 1)},
         3},
        {"a damaged body is free though its time reads",
         {SaveAt("A", 1, 1), SaveAt("B", 9, 1), SaveAt("C", 9, 1), SaveAt("D", 9, 1), damagedBody,
          SaveAt("F", 9, 1)},
         4},
    };
    for (const Slots& c : cases) {
        TempGameRoot fresh;
        CPGameData game;
        game.profileName = "new";
        for (std::size_t slot = 0; slot < c.files.size(); ++slot) {
            if (c.files[slot])
                WriteSlot(static_cast<int>(slot), *c.files[slot]);
        }
        game.SaveGameChooseSlot();
        EXPECT_EQ(game.currentSlot, c.chosen) << c.name;
        EXPECT_EQ(game.GetSaveProfiles()[static_cast<std::size_t>(c.chosen)], "new") << c.name;
    }
}

// A damaged first slot, as a game that starts with a fresh profile meets it
// at every launch: the new profile takes slot 0 and the damaged file is kept
// beside it, so the next launch loads the new profile.
TEST_F(SaveGameTest, ADamagedSlotIsMovedAsideAndWrittenAgain) {
    const std::string damaged = GoldenSaveFile().substr(0, 100);
    WriteSlot(0, damaged);
    WriteSlot(1, SaveAt("B", 1, 1));
    for (int launch = 0; launch < 3; ++launch) {
        CPGameData game;
        if (!game.LoadGame("save0.sav")) {
            game.profileName = "fresh";
            log.clear();
            game.SaveGameChooseSlot();
            EXPECT_NE(log.find("Data\\Saves\\save0.sav was moved aside as save0.sav.damaged"),
                      std::string::npos)
                << log;
        }
        EXPECT_EQ(game.currentSlot, 0) << launch;
        EXPECT_EQ(game.profileName, "fresh") << launch;
    }
    EXPECT_EQ(TempGameRoot::ReadFile("Data/Saves/save0.sav.damaged"), damaged);
    EXPECT_EQ(data.GetSaveProfiles(), (std::vector<std::string>{"fresh", "B", "", "", "", ""}));
}

TEST_F(SaveGameTest, StaleTemporariesOfTheSlotsAreSwept) {
    WriteSlot(2, GoldenSaveFile());
    Write("Data/Saves/save2.sav.tmp999999999-0", "half");
    Write("Data/Saves/save5.sav.tmp999999999-3", "half");
    CPGameData::RemoveStaleSaveTemporaries();
    EXPECT_EQ(TempGameRoot::Listing("Data/Saves"), std::vector<std::string>{"save2.sav"});
}

TEST_F(SaveGameTest, LoadingTheSameProfileKeepsItsMissionAndRuns) {
    SaveFileBytes file;
    file.Text("P").Text("R").Time(GoldenSaveTime()).Int(4).Int(8);
    for (int race = 0; race < 10; ++race)
        file.EmptyRace(2, 4);
    WriteSlot(4, file.bytes);

    GiveProgress();
    ASSERT_TRUE(data.LoadGame("save4.sav"));
    EXPECT_EQ(data.currentSlot, 4);
    EXPECT_EQ(data.currentMission, 5);
    EXPECT_EQ(data.playerName, "R");
    EXPECT_EQ(data.points, 8);
    EXPECT_EQ(data.raceProgress[0].bestTime, 2.0f);
    EXPECT_EQ(data.raceProgress[0].carModel, "jeep");
    EXPECT_EQ(data.raceProgress[1].samples.size(), 3u);

    // Another profile's runs do not survive its races saved without samples.
    GiveProgress();
    data.profileName = "other";
    ASSERT_TRUE(data.LoadGame("save4.sav"));
    EXPECT_EQ(data.currentSlot, 4);
    EXPECT_EQ(data.currentMission, 1);
    EXPECT_EQ(data.raceProgress[0].carModel, "");
    EXPECT_TRUE(data.raceProgress[1].samples.empty());
}

TEST_F(SaveGameTest, OnlyTheSixSlotNamesGiveASlot) {
    const struct {
        const char* name;
        int slot;
    } cases[] = {{"save0.sav", 0}, {"SAVE5.SAV", 5}, {"save6.sav", -1}, {"save10.sav", -1},
                 {"save", -1},     {"", -1},         {"sav", -1},       {"save-1.sav", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(CPGameData::SlotOfSaveName(c.name), c.slot) << c.name;
    WriteSlot(0, GoldenSaveFile());
    Write("Data/Saves/mine.sav", GoldenSaveFile());
    data.currentSlot = 3;
    ASSERT_TRUE(data.LoadGame("mine.sav"));
    EXPECT_EQ(data.currentSlot, -1);
    for (const char* unsafe : {"../save0.sav", "..", "Saves/save0.sav", "a\\b"})
        EXPECT_FALSE(data.LoadGame(unsafe)) << unsafe;
}

TEST_F(SaveGameTest, BothSpellingsReachOneFolderCreatedWhenMissing) {
    std::filesystem::create_directories("Data");
    data.profileName = "first";
    data.SaveGameChooseSlot();
    EXPECT_EQ(TempGameRoot::Listing("Data"), std::vector<std::string>{"Saves"});
    EXPECT_EQ(data.GetSaveProfiles(), (std::vector<std::string>{"first", "", "", "", "", ""}));

    TempGameRoot lowerCase;
    std::filesystem::create_directories("data/saves");
    CPGameData game;
    game.profileName = "second";
    game.SaveGameChooseSlot();
    game.DeleteSave("save1.sav");
    EXPECT_EQ(TempGameRoot::Listing("data/saves"), (std::vector<std::string>{"save0.sav", "save1.sav"}));
    EXPECT_EQ(game.GetSaveProfiles()[0], "second");
    game.DeleteSave("save0.sav");
    EXPECT_EQ(game.GetSaveProfiles()[0], "");
    EXPECT_EQ(TempGameRoot::ReadFile("data/saves/save0.sav"), "");
}

TEST_F(SaveGameTest, AFailedWriteKeepsTheOldSave) {
    WriteSlot(0, GoldenSaveFile());
    ::chmod(SlotPath(0).c_str(), 0444);
    data.profileName = "other";
    data.currentSlot = 0;
    data.SaveGameChooseSlot();
    EXPECT_EQ(ReadSlot(0), GoldenSaveFile());
    EXPECT_EQ(data.currentSlot, 0);
    EXPECT_NE(log.find("save0.sav"), std::string::npos) << log;
    EXPECT_EQ(TempGameRoot::Listing("Data/Saves"), std::vector<std::string>{"save0.sav"});
}

TEST_F(SaveGameTest, ChangeProfileResetsOnlyForAnotherName) {
    GiveProgress();
    data.currentSlot = 2;
    EXPECT_FALSE(data.ChangeProfile("P"));
    EXPECT_EQ(data.currentSlot, 2);
    EXPECT_EQ(data.currentMission, 5);
    EXPECT_TRUE(data.ChangeProfile("Pe"));
    EXPECT_EQ(data.profileName, "Pe");
    EXPECT_EQ(data.currentSlot, -1);
    EXPECT_EQ(data.currentMission, 1);
    EXPECT_EQ(data.points, 0);
    EXPECT_EQ(data.raceProgress[0].bestTime, 0.0f);
    EXPECT_EQ(data.raceProgress[0].carModel, "");
    // The recorded runs stay.
    EXPECT_EQ(data.raceProgress[0].samples.size(), 3u);
}

} // namespace

#include "LuaRunner.h"

#include "Game/PGameData.h"
#include "Platform/Win32Time.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SaveGameFunctionsTest : public ::testing::Test {
protected:
    TempGameRoot root;
    CPGameData data;
    LuaRunner lua;
};

TEST_F(SaveGameFunctionsTest, SavesAreListedLoadedAndDeletedAcrossSpellings) {
    std::filesystem::create_directories("data");
    EXPECT_EQ(lua.Values("(function() local n, t = GetSaves() return n, #t, t[1], t[6] end)()"), "6,6,,");
    lua.Run("SetProfileName('Ann') SetPlayerName('buggy') SetNumRacesPassed(4) SaveGame()");
    EXPECT_EQ(data.currentSlot, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file("data/Saves/save0.sav"));
    lua.Run("SetProfileName('Bob') SaveGame()");
    EXPECT_EQ(data.currentSlot, 1);
    EXPECT_EQ(lua.Values("(function() local n, t = GetSaves() return t[1], t[2], t[3] end)()"), "Ann,Bob,");

    lua.Run("SetNumRacesPassed(0) LoadGame('save0.sav')");
    EXPECT_EQ(lua.Values("GetProfileName(), GetPlayerName()"), "Ann,buggy");
    EXPECT_EQ(data.racesPassed, 4);
    EXPECT_EQ(data.currentSlot, 0);

    lua.Run("DeleteSave('save0.sav')");
    EXPECT_EQ(lua.Values("(function() local n, t = GetSaves() return t[1], t[2] end)()"), ",Bob");
    // A new player always goes to the first slot, whichever slot is current.
    lua.Run("NewPlayer('jeep')");
    EXPECT_EQ(data.currentSlot, 0);
    EXPECT_EQ(lua.Values("(function() local n, t = GetSaves() return t[1] end)()"), "Ann");
    EXPECT_EQ(TempGameRoot::Listing("data/Saves"), (std::vector<std::string>{"save0.sav", "save1.sav"}));
}

// A megabyte of name would make a megabyte save and log line: names are
// capped however they come, and the save is written and read back capped.
TEST_F(SaveGameFunctionsTest, ProfileAndPlayerNamesAreCapped) {
    const std::string capped(CPGameData::kMaxNameLength, 'x');
    for (const char* set :
         {"SetProfileName(string.rep('x', 1000000))", "SetPlayerName(string.rep('x', 1000000))",
          "NewPlayer(string.rep('x', 1000000))"}) {
        data.profileName.clear();
        data.playerName.clear();
        ASSERT_EQ(lua.Run(set), "") << set;
        EXPECT_LE(data.profileName.size(), capped.size()) << set;
        EXPECT_LE(data.playerName.size(), capped.size()) << set;
    }
    std::filesystem::remove_all("Data/Saves");
    ASSERT_EQ(lua.Run("SetProfileName(string.rep('x', 100)) SetPlayerName(string.rep('x', 100)) SaveGame()"),
              "");
    EXPECT_EQ(lua.Values("GetProfileName(), GetPlayerName()"), capped + "," + capped);
    EXPECT_LT(std::filesystem::file_size("Data/Saves/save0.sav"), 300u);
    data.profileName = data.playerName = "";
    ASSERT_EQ(lua.Run("LoadGame('save0.sav')"), "");
    EXPECT_EQ(lua.Values("GetProfileName(), GetPlayerName()"), capped + "," + capped);
}

} // namespace

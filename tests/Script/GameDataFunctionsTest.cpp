#include "LuaRunner.h"
#include "ScriptFixture.h"

#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

namespace {

WeaponInfo Weapon(const std::string& name, int level) {
    WeaponInfo weapon;
    weapon.name = name;
    weapon.price = 100;
    weapon.level = level;
    return weapon;
}

class GameDataFunctionsTest : public ::testing::Test {
protected:
    TempGameRoot root;
    CPGameData data;
    LuaRunner lua;
};

TEST_F(GameDataFunctionsTest, ShopListsOfferUnfittedItemsUpToTheMission) {
    const std::vector<std::string> lists = {"GetWeaponNames", "GetMineNames",      "GetSuperWeaponNames",
                                            "GetBumperNames", "GetEquipmentNames", "GetArmorNames",
                                            "GetEngineNames"};
    for (const std::string& list : lists)
        EXPECT_EQ(lua.Values("(function() local n, t = " + list + "() return n, #t end)()"), "0,0") << list;
    EXPECT_EQ(lua.Eval("IsValidGameDataName('w1')"), "false");

    for (const auto& [name, level] : {std::pair{"w1", 1}, {"w3", 3}, {"w2", 2}, {"w16", 16}})
        data.weaponCatalogue.Add(Weapon(name, level));
    data.carInfo.weapon2 = "w1";
    const std::string offer =
        "(function() local n, t = GetWeaponNames() return n, table.concat(t, ' ') end)()";
    const struct {
        int mission;
        bool difficult;
        const char* offered;
    } cases[] = {
        {1, false, "0,"},     {2, false, "1,w2"},         {3, false, "2,w3 w2"},
        {1, true, "2,w3 w2"}, {99, false, "3,w3 w2 w16"},
    };
    for (const auto& c : cases) {
        data.currentMission = c.mission;
        lua.Run(std::string("SetDifficult(") + (c.difficult ? "true" : "false") + ")");
        EXPECT_EQ(lua.Values(offer), c.offered) << c.mission << " " << c.difficult;
    }
    EXPECT_EQ(lua.Eval("IsValidGameDataName('w16')"), "true");

    SuperWeaponInfo bomb;
    bomb.name = "bomb";
    data.superWeaponCatalogue.Add(bomb);
    data.carInfo.superWeaponCount = 2;
    EXPECT_EQ(lua.Values("GetSuperWeaponNames()").substr(0, 2), "1,");
    data.carInfo.superWeaponCount = 3;
    EXPECT_EQ(lua.Values("(function() local n, t = GetSuperWeaponNames() return n, #t end)()"), "0,0");
}

TEST_F(GameDataFunctionsTest, InfoFunctionsShowTextsAndNumbers) {
    PartInfo bumper{"bmp", 250, 1.5f, "bmp_text", 4};
    data.bumperCatalogue.Add(bumper);
    data.textTable["bmp"] = "Steel bumper";
    data.textTable["bmp_text"] = "Hits hard";
    EXPECT_EQ(lua.Values("GetBumperInfo('bmp')"), "Steel bumper,250,1.5,Hits hard,4");
    // A name the catalogue lacks gives no results.
    EXPECT_EQ(lua.Values("select('#', GetBumperInfo('none'), GetArmorInfo('bmp'))"), "1");
    data.weaponCatalogue.Add(Weapon("gun", 2));
    EXPECT_EQ(lua.Values("select('#', GetWeaponInfo('gun'))"), "12");
}

TEST_F(GameDataFunctionsTest, CarInfoRoundTripsAndCommits) {
    lua.Run("SetCarInfo('a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 2.9, 'm')");
    EXPECT_EQ(lua.Values("GetCarInfo()"), "a,b,c,d,e,f,g,h,i,2,m");
    EXPECT_NE(data.realCarInfo, data.carInfo);
    lua.Run("CommitCarSettings()");
    EXPECT_EQ(data.realCarInfo, data.carInfo);
    // Missing names read as empty.
    lua.Run("SetCarInfo()");
    EXPECT_EQ(data.carInfo, CarInfo{});
}

class AutoSettingTest : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        LoadCommandSink("gamemenu");
        // Presets 0 to 5 cost 10, 20, ... 60: one engine each.
        for (int preset = 0; preset < 6; ++preset) {
            EngineInfo engine;
            engine.name = "e" + std::to_string(preset);
            engine.price = 10 * (preset + 1);
            data.engineCatalogue.Add(engine);
            CarInfo car;
            car.engine = engine.name;
            presets.push_back(car);
        }
    }

    CPGameData data;
    LuaRunner lua;
    std::vector<CarInfo> presets;
};

TEST_F(AutoSettingTest, FitsTheRichestAffordablePresetFromTheMission) {
    const struct {
        const char* name;
        int mission;
        float money;
        std::size_t presets;
        const char* engine; // "" when nothing changes
        float moneyAfter;
    } cases[] = {
        {"start at 3 x mission - 1", 1, 100, 6, "e2", 70},
        {"short list starts at its end", 3, 100, 6, "e5", 40},
        {"walks down to what is affordable", 2, 35, 6, "e2", 5},
        {"mission 0 has no presets", 0, 100, 6, "", 100},
        {"nothing affordable", 1, 5, 6, "", 5},
        {"no presets", 1, 100, 0, "", 100},
    };
    for (const auto& c : cases) {
        data.presetCarInfos.assign(presets.begin(), presets.begin() + static_cast<std::ptrdiff_t>(c.presets));
        data.currentMission = c.mission;
        data.money = c.money;
        data.carInfo = CarInfo{};
        lua.Run("AutoSetting()");
        EXPECT_EQ(data.carInfo.engine, c.engine) << c.name;
        EXPECT_EQ(data.money, c.moneyAfter) << c.name;
        const std::vector<std::string> sent = Drain(Script("gamemenu"));
        EXPECT_EQ(sent.size(), *c.engine ? 1u : 0u) << c.name;
    }
    // The fitted equipment counts towards the budget.
    data.presetCarInfos = presets;
    data.currentMission = 2;
    data.money = 0;
    data.carInfo.engine = "e3";
    lua.Run("AutoSetting()");
    EXPECT_EQ(data.carInfo.engine, "e3");
    EXPECT_EQ(data.money, 0);
    EXPECT_EQ(Drain(Script("gamemenu")), std::vector<std::string>{"change_money|0.00"});
    lua.Run("SetMoney(12.345)");
    EXPECT_EQ(Drain(Script("gamemenu")), std::vector<std::string>{"change_money|12.35"});
}

// A mission set from any number keeps the nearest int, and its first preset
// is found without overflow.
TEST_F(AutoSettingTest, MissionsAtTheEndsOfTheIntRangeFitTheRightPreset) {
    const struct {
        const char* mission;
        const char* stored;
        const char* engine; // "" when nothing changes
    } cases[] = {
        {"-1e300", "-2147483648", ""},    {"-2^31", "-2147483648", ""},
        {"-715827883", "-715827883", ""}, {"-1", "-1", ""},
        {"715827883", "715827883", "e5"}, {"2^31 - 1", "2147483647", "e5"},
        {"1e300", "2147483647", "e5"},
    };
    data.presetCarInfos = presets;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mission);
        data.money = 100;
        data.carInfo = CarInfo{};
        ASSERT_EQ(lua.Run(std::string("SetCurrentMission(") + c.mission + ") AutoSetting()"), "");
        EXPECT_EQ(lua.Values("GetCurrentMission()"), c.stored);
        EXPECT_EQ(data.carInfo.engine, c.engine);
        Drain(Script("gamemenu"));
    }
}

TEST_F(GameDataFunctionsTest, ProfileNamesAndSwitches) {
    data.profileName = "P";
    data.currentSlot = 3;
    data.currentMission = 4;
    lua.Run("SetProfileName('P')");
    EXPECT_EQ(data.currentSlot, 3);
    lua.Run("SetProfileName('Q')");
    EXPECT_EQ(lua.Values("GetProfileName(), GetCurrentMission(), GetCurrentRace()"), "Q,1,1");
    EXPECT_EQ(data.currentSlot, -1);
    lua.Run("SetPlayerName('buggy') SetCurrentRace(7.9) SetNumRacesPassed(2)");
    EXPECT_EQ(lua.Values("GetPlayerName(), GetPlayerName(nil), GetCurrentMission()"), "buggy,,7");
    EXPECT_EQ(data.racesPassed, 2);
    lua.Run("SetDifficulty(2.5)");
    EXPECT_EQ(g_CamSpeed, 2);
    EXPECT_EQ(lua.Values("GetDifficulty(), GetDifficult()"), "true,0");
    lua.Run("SetDifficulty(0) SetDifficult(true)");
    EXPECT_EQ(lua.Values("GetDifficulty(), GetDifficult()"), "false,1");
    EXPECT_EQ(lua.Values("AddScore(5), IsInTable(1), GetScoreLine(1)"), "5,false,,0");
}

TEST_F(GameDataFunctionsTest, BestLapGoesIntoTheRecordTable) {
    data.profileName = "P";
    data.lapTimes = {80.5f, 75.25f, 75.25f, 60.0f};
    const struct {
        int rounds;
        const char* record;
    } cases[] = {
        {3, "P 01:15:25"}, {1, "P 01:20:50"}, {4, "P 01:00:00"}, {30, "P 01:00:00"}, {0, "P 01:20:50"}};
    for (const auto& c : cases) {
        data.scoreTables = InitialScoreTables();
        data.roundCount = c.rounds;
        EXPECT_EQ(lua.Eval("CheckPlayerRecords(2)"), "true") << c.rounds;
        EXPECT_EQ(lua.Values("GetRecords(2)[1][1] .. ' ' .. GetRecords(2)[1][2]"), c.record) << c.rounds;
    }
    EXPECT_EQ(lua.Values("#GetRecords(2), GetRecords(2)[2][2], #GetRecords(7), CheckPlayerRecords(0)"),
              "7,,0,false");
}

TEST_F(GameDataFunctionsTest, PlayersPanelRanksByLapsTimesProgress) {
    EXPECT_EQ(lua.Values("select('#', SetPlayersPanel())"), "0");
    CPLevel level;
    EXPECT_EQ(lua.Values("table.concat(SetPlayersPanel(), ' ')"), "10 4 3 2 1 0");
    data.racerStats["2"].lapCount = 2;
    data.racerStats["2"].progress = 5;
    data.racerStats["0"].progress = 10;
    data.lapCount = 2;
    data.progress = 5;
    EXPECT_EQ(lua.Values("table.concat(SetPlayersPanel(), ' ')"), "10 2 0 4 3 1");
}

} // namespace

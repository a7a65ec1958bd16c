#include "RaceScene.h"

#include "Game/PGameData.h"
#include "Interface/InterfaceTestSupport.h"
#include "Script/Functions/GameInterfaceDisplay.h"
#include "Vehicles/PCar.h"
#include "uitool/PageFileWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const char* const kWeapons[] = {"lgun",  "lgun2x",    "gauss",       "shotgun", "mgun",        "mgun2x",
                                "hmgun", "rlauncher", "ssrlauncher", "plasma",  "firethrower", "autoshotgun"};
const char* const kEquipment[] = {"analyzer", "repair", "laser",       "bullets",
                                  "firerate", "damage", "regeneration"};

// A window of the page at its own place, so that moves can be told apart.
void AddWindow(PageFileWriter& page, const std::string& name, float x) {
    page.Window({name, {x, 10, 8, 8, 0, 0, 8, 8}, {}});
}

void AddNumbered(PageFileWriter& page, const char* stem, int count) {
    for (int i = 1; i <= count; ++i)
        AddWindow(page, stem + std::to_string(i), static_cast<float>(i));
}

// Every element the display uses.
std::string FullDisplayPage() {
    PageFileWriter page("gamemenu", "hud.tga", 256, 256, "_,off,0,0,0,0,0,0");
    for (const char* name : {"krest", "steel", "steelfibre", "titan", "energy", "engine1", "engine2",
                             "engine3", "noequipment1", "noequipment2", "mines", "no_mina", "contact",
                             "emcontact", "timer", "nocontact", "emnocontact", "cassette", "mine_icon"})
        AddWindow(page, name, 500);
    for (const char* name : kEquipment) {
        AddWindow(page, name, 500);
        AddWindow(page, std::string(name) + "2", 500);
    }
    for (const char* name : kWeapons) {
        AddWindow(page, name, 600);
        AddWindow(page, std::string(name) + "_off", 600);
    }
    AddNumbered(page, "slot", 3);
    AddNumbered(page, "super", 3);
    AddNumbered(page, "nosuper", 3);
    AddNumbered(page, "bullet", 17);
    AddNumbered(page, "overheat", 12);
    for (const char* cursor : {"cursor_bullet", "cursor_rocket"})
        AddWindow(page, cursor, 0);
    for (const char* text : {"score", "time", "kills", "life", "mines"})
        page.Text(text, "font1", 0, 0, "");
    return page.Contents();
}

// Only the four texts and a few lamps: the rest is skipped.
std::string MinimalDisplayPage() {
    PageFileWriter page("gamemenu", "hud.tga", 256, 256, "_,off,0,0,0,0,0,0");
    AddNumbered(page, "bullet", 3);
    AddNumbered(page, "overheat", 2);
    for (const char* text : {"score", "time", "kills", "life"})
        page.Text(text, "font1", 0, 0, "");
    return page.Contents();
}

void WriteTestFonts() {
    InterfaceScene::WriteFonts(FontListLine("font1", 2, 0), {{"font1", FontFileText(TestFontLayout())}});
}

class GameInterfaceDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestFonts();
        fonts.LoadAll();
        scene.WritePage("hud", FullDisplayPage());
        scene.WritePage("mini", MinimalDisplayPage());
        page.Load("hud", 0);
        minimal.Load("mini", 0);
    }

    // How many of the numbered windows are shown, and whether they are the
    // first ones.
    int Lit(const char* stem, int count) {
        int lit = 0;
        for (int i = 1; i <= count; ++i) {
            if (page.FindWindow(stem + std::to_string(i))->visible) {
                EXPECT_EQ(lit, i - 1) << stem << i << " lit after a dark lamp";
                ++lit;
            }
        }
        return lit;
    }
    bool Shown(const std::string& name) { return page.FindWindow(name)->visible; }
    std::string Text(CPInterface& on, const std::string& name) { return on.texts.Find(name)->text; }

    InterfaceScene scene;
    SPFontManager fonts;
    CPInterface page;
    CPInterface minimal;
};

// The full display page over the ring race, its handle known to the
// scripts as "page".
class RaceDisplay : public RaceScene {
protected:
    void SetUp() override {
        RaceScene::SetUp();
        g_ScreenWidth = 1024;
        g_ScreenHeight = 768;
        WriteTestFonts();
        fonts.LoadAll();
        InterfaceScene::WritePage("hud", FullDisplayPage());
        page.Load("hud", 0);
        lua.SetHandle("page", &page);
    }

    bool Shown(const std::string& name) { return page.FindWindow(name)->visible; }
    int Lit(const char* stem, int count) {
        int lit = 0;
        for (int i = 1; i <= count; ++i)
            lit += Shown(stem + std::to_string(i)) ? 1 : 0;
        return lit;
    }
    std::string Text(const std::string& name) { return page.texts.Find(name)->text; }

    SPFontManager fonts;
    CPInterface page;
};

TEST(GameInterfaceNumbers, WeaponKindsNameTheirAmmunitionCursor) {
    const std::pair<EWeaponKind, std::string> cases[] = {
        {WEAPON_LGUN, "bullet"},    {WEAPON_LGUN2X, "bullet"},      {WEAPON_HMGUN, "bullet"},
        {WEAPON_SHOTGUN, "bullet"}, {WEAPON_SSRLAUNCHER, "rocket"}, {WEAPON_RLAUNCHER, "rocket"},
        {WEAPON_PLASMA, "plazma"},  {WEAPON_GAUSS, "plazma"},       {WEAPON_FIRETHROWER, "shotgun"},
        {WEAPON_NONE, ""},
    };
    for (const auto& [kind, cursor] : cases)
        EXPECT_EQ(AmmunitionCursor(kind), cursor) << kind;
}

TEST(GameInterfaceNumbers, PaddingLampsAndClock) {
    EXPECT_EQ(ZeroPadded(7, 3), "007");
    EXPECT_EQ(ZeroPadded(99.9, 3), "099");
    EXPECT_EQ(ZeroPadded(100000, 3), "100000") << "the width is a minimum";
    EXPECT_EQ(ZeroPadded(std::nan(""), 5), "00000");
    EXPECT_EQ(ZeroPadded(1e300, 5), "2147483647");
    EXPECT_EQ(ZeroPadded(-1e300, 2), "-2147483648");

    struct LampCase {
        float level;
        int count, lit;
    };
    const LampCase lamps[] = {{0.5f, 12, 6},          {0.54f, 12, 6},
                              {0.55f, 12, 7},         {0, 17, 0},
                              {0.5f / 17, 17, 1},     {1.0f, 17, 17},
                              {2.0f, 17, 17},         {-1, 17, 0},
                              {std::nanf(""), 12, 0}, {std::numeric_limits<float>::infinity(), 12, 12}};
    for (const LampCase& c : lamps)
        EXPECT_EQ(LitLamps(c.level, c.count), c.lit) << c.level << " of " << c.count;

    EXPECT_EQ(ClockText(125.7f), "02:05");
    EXPECT_EQ(ClockText(59.99f), "00:59");
    EXPECT_EQ(ClockText(0), "00:00");
    for (const float runOut : {-0.01f, -1.0f, -61.5f, std::nanf("")})
        EXPECT_EQ(ClockText(runOut), "00:00") << runOut;
}

TEST_F(GameInterfaceDisplayTest, TemperatureLampsClockAndKills) {
    const std::pair<float, int> cases[] = {{0.5f, 6}, {0.54f, 6}, {0.55f, 7}, {0, 0}, {1, 12}};
    for (const auto& [temperature, lit] : cases) {
        ShowClock(page, 125.7f, temperature, 3);
        EXPECT_EQ(Lit("overheat", 12), lit) << temperature;
    }
    EXPECT_EQ(Text(page, "time"), "02:05");
    EXPECT_EQ(Text(page, "kills"), "00003");
    ShowClock(minimal, 61, 1, 12);
    EXPECT_EQ(Text(minimal, "time"), "01:01");
    EXPECT_TRUE(minimal.FindWindow("overheat2")->visible);
}

TEST_F(GameInterfaceDisplayTest, WeaponSlotsSupersAmmunitionAndLife) {
    CarInfo car;
    car.weapon1 = "lgun";
    car.weapon2 = "gauss";
    car.weapon3 = "rlauncher";
    car.superWeaponCount = 2;
    PlayerDisplay player;
    player.currentSlot = 1;
    player.life = 100000;
    player.ammunitionFraction = 0.5f / 17;
    player.ammunitionCursor = "cursor_rocket";
    ShowWeapons(page, car, player);

    EXPECT_TRUE(Shown("lgun_off"));
    EXPECT_TRUE(Shown("gauss"));
    EXPECT_TRUE(Shown("rlauncher_off"));
    for (const char* hidden :
         {"lgun", "gauss_off", "rlauncher", "shotgun", "slot1", "slot2", "slot3", "contact"})
        EXPECT_FALSE(Shown(hidden)) << hidden;
    float x = 0;
    float y = 0;
    page.GetWindowPosition("gauss", x, y);
    float frameX = 0;
    page.GetWindowPosition("slot2", frameX, y);
    EXPECT_FLOAT_EQ(x, frameX) << "the icon sits on its slot frame";
    EXPECT_EQ(Lit("super", 3), 2);
    EXPECT_TRUE(Shown("nosuper3"));
    EXPECT_FALSE(Shown("nosuper1"));
    EXPECT_EQ(Lit("bullet", 17), 1);
    EXPECT_EQ(Text(page, "life"), "100000");
    EXPECT_EQ(page.cursorName, "cursor_rocket");
    EXPECT_TRUE(Shown("no_mina"));
    EXPECT_EQ(Text(page, "mines"), "00");

    // No weapons, no supers, full ammunition; an empty cursor keeps it.
    car = CarInfo{};
    player.ammunitionFraction = 1;
    player.ammunitionCursor.clear();
    player.life = 5.9f;
    ShowWeapons(page, car, player);
    EXPECT_EQ(Lit("slot", 3), 3);
    EXPECT_EQ(Lit("nosuper", 3), 3);
    EXPECT_EQ(Lit("super", 3), 0);
    EXPECT_EQ(Lit("bullet", 17), 17);
    EXPECT_EQ(Text(page, "life"), "005");
    EXPECT_EQ(page.cursorName, "cursor_rocket");

    player.ammunitionFraction = 0;
    ShowWeapons(minimal, car, player);
    EXPECT_FALSE(minimal.FindWindow("bullet1")->visible);
    EXPECT_EQ(Text(minimal, "life"), "005");
}

TEST_F(GameInterfaceDisplayTest, MinesMoveTheirIconOntoTheEmptyMinePlace) {
    PlayerDisplay player;
    player.hasMines = true;
    player.mineCount = 7.9f;
    player.mineIcon = "mine_icon";
    ShowWeapons(page, CarInfo{}, player);
    EXPECT_TRUE(Shown("mines"));
    EXPECT_TRUE(Shown("mine_icon"));
    EXPECT_FALSE(Shown("no_mina"));
    EXPECT_EQ(Text(page, "mines"), "07");
}

TEST_F(GameInterfaceDisplayTest, ScriptsShowTheEquipmentAndTheScore) {
    LuaRunner lua;
    lua.SetHandle("page", &page);
    lua.SetHandle("mini", &minimal);
    CPGameData data;
    data.realCarInfo.engine = "engine2";
    data.realCarInfo.equipment2 = "laser";
    ASSERT_EQ(lua.Run("InitGameInterface(page) InitGameInterface(mini) UpdateScore(page, 42.9)"), "");
    EXPECT_TRUE(Shown("krest")) << "no armour";
    EXPECT_TRUE(Shown("engine2"));
    EXPECT_TRUE(Shown("noequipment1"));
    EXPECT_TRUE(Shown("laser2"));
    for (const char* hidden : {"laser", "steel", "engine1", "noequipment2"})
        EXPECT_FALSE(Shown(hidden)) << hidden;
    EXPECT_EQ(Text(page, "score"), "00042");

    data.realCarInfo.armor = "titan";
    data.realCarInfo.equipment1 = "repair";
    ASSERT_EQ(lua.Run("InitGameInterface(page)"), "");
    EXPECT_TRUE(Shown("titan"));
    EXPECT_FALSE(Shown("krest"));
    EXPECT_TRUE(Shown("repair"));
    EXPECT_FALSE(Shown("noequipment1"));
    // Without a level the race display keeps what it shows.
    ASSERT_EQ(
        lua.Run("UpdateGameInterface(page) UpdateTime(page) UpdateScore(nil, 1) InitGameInterface(nil)"), "");
    EXPECT_EQ(Text(page, "score"), "00042");
}

TEST_F(RaceDisplay, TheDisplayShowsThePlayersCarAndTheRaceClock) {
    ASSERT_EQ(lua.Run("UpdateGameInterface(page) UpdateTime(page)"), "");
    EXPECT_EQ(Text("life"), "") << "no level yet";
    EXPECT_EQ(Text("time"), "");

    InitRing();
    data.realCarInfo.weapon1 = "lgun";
    data.realCarInfo.weapon2 = "gauss";
    data.realCarInfo.weapon3 = "rlauncher";
    data.realCarInfo.superWeaponCount = 2;
    data.kills = 3;
    CPPlayer& car = Player();
    car.weaponSlot = 1;
    car.ammunition[1] = 0.5f / 17;
    car.weaponKind = WEAPON_GAUSS;
    car.engineTemperature = 0.55f;
    g_Level->countdown = 125.7f;
    ASSERT_EQ(lua.Run("UpdateGameInterface(page) UpdateTime(page)"), "");
    EXPECT_EQ(Text("life"), "100000") << "a new car's life";
    EXPECT_TRUE(Shown("lgun_off"));
    EXPECT_TRUE(Shown("gauss"));
    EXPECT_TRUE(Shown("rlauncher_off"));
    EXPECT_EQ(Lit("super", 3), 2);
    EXPECT_EQ(Lit("bullet", 17), 1);
    EXPECT_EQ(page.cursorName, "plazma");
    EXPECT_TRUE(Shown("no_mina"));
    EXPECT_EQ(Text("time"), "02:05");
    EXPECT_EQ(Lit("overheat", 12), 7);
    EXPECT_EQ(Text("kills"), "00003");

    // Mines: the kind's count scaled by the nitro reserve, the icon on the
    // empty mine place; no weapon keeps the cursor.
    ASSERT_NE(car.GetCar(), nullptr);
    car.GetCar()->nitroReserve = 3.5f;
    car.hasMines = true;
    car.mineRecord.number4 = 2;
    car.mineIconName = "mine_icon";
    car.weaponKind = WEAPON_NONE;
    car.weaponSlot = 0;
    car.ammunition[0] = 1;
    ASSERT_EQ(lua.Run("UpdateGameInterface(page)"), "");
    EXPECT_EQ(Text("mines"), "07");
    EXPECT_TRUE(Shown("mine_icon"));
    EXPECT_FALSE(Shown("no_mina"));
    EXPECT_TRUE(Shown("lgun"));
    EXPECT_EQ(Lit("bullet", 17), 17);
    EXPECT_EQ(page.cursorName, "plazma");

    // Without a car to follow the display keeps what it shows.
    g_Level->cameraTarget = nullptr;
    car.life = 5;
    g_Level->countdown = 3;
    ASSERT_EQ(lua.Run("UpdateGameInterface(page) UpdateTime(page)"), "");
    EXPECT_EQ(Text("life"), "100000");
    EXPECT_EQ(Text("time"), "02:05");
    g_Level->cameraTarget = &car;
}

} // namespace

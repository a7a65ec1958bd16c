#include "Core/Log.h"
#include "Core/PFloatDator.h"
#include "Core/PIntDator.h"
#include "Core/PSettings.h"
#include "Core/StringHashMap.h"

#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <locale>
#include <map>
#include <string>

namespace {

// Every setting as text, by key.
std::map<std::string, std::string> Snapshot(const CPSettings& settings) {
    std::map<std::string, std::string> values;
    settings.GetDators().ForEach(
        [&](const std::string& key, const CPRefPtr<CPDator>& dator) { values[key] = dator->ToString(); });
    return values;
}

// Runs each test on a fresh registry in an empty game folder and puts the
// globals back to the values they had before.
class SettingsTest : public testing::Test {
protected:
    SettingsTest() : before(Snapshot(settings)) {}
    ~SettingsTest() override {
        for (const auto& [key, value] : before)
            (*settings.GetDators().Find(key))->Assign(value);
    }

    TempGameRoot root;
    CPSettings settings;
    const std::map<std::string, std::string> before;
};

const char kDefaultConfig[] = "fullScreen = 0\r\n"
                              "friction = 0.2\r\n"
                              "restitution = 0\r\n"
                              "blur = 1\r\n"
                              "shadows = 1\r\n"
                              "bloom = 1\r\n"
                              "weight_div = 0\r\n"
                              "cam_speed = 0\r\n"
                              "rolling = 0\r\n"
                              "psystems = 25\r\n"
                              "screenBPP = 16\r\n"
                              "musicVolume = 0.5\r\n"
                              "weather = 1\r\n"
                              "startmenu = 1\r\n"
                              "texlod = -1\r\n"
                              "dust = 1\r\n"
                              "aniso = 0\r\n"
                              "mouse = 0\r\n"
                              "plane = 0.5\r\n"
                              "contrast = 1\r\n"
                              "bitrate = 8\r\n"
                              "quadlevels = 0\r\n"
                              "channels = 2\r\n"
                              "distance = 200\r\n"
                              "static = 0\r\n"
                              "bboxes = 0\r\n"
                              "soundVolume = 0.5\r\n"
                              "screenWidth = 640\r\n"
                              "frequency = 22050\r\n"
                              "lensflare = 1\r\n"
                              "wheel = 1\r\n"
                              "screenHeight = 480\r\n";

TEST_F(SettingsTest, SavingTheDefaultsWritesEveryKeyInTheMapsOrder) {
    EXPECT_EQ(g_Settings, &settings);
    EXPECT_EQ(settings.GetDators().Size(), 32u);
    ASSERT_EQ(settings.Save("config.cfg"), S_OK);
    EXPECT_EQ(root.ReadFile("config.cfg"), kDefaultConfig);
}

// A locale whose decimal point is a comma, as a user's locale may be.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
    char do_thousands_sep() const override { return '.'; }
};

TEST_F(SettingsTest, NumbersAreWrittenAndReadInTheCLocaleWhateverTheUsersLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    g_SoundFrequency = 44100;
    ASSERT_EQ(settings.Save("config.cfg"), S_OK);
    settings.ParseLine("musicVolume = 0.75");
    std::locale::global(previous);

    const std::string written = root.ReadFile("config.cfg");
    EXPECT_NE(written.find("friction = 0.2\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("frequency = 44100\r\n"), std::string::npos) << written;
    EXPECT_EQ(g_MusicVolume, 0.75f);
}

struct ParseCase {
    const char* line;
    std::map<std::string, std::string> changes;
};

TEST_F(SettingsTest, ParseLineForms) {
    const ParseCase cases[] = {
        {"fullScreen = 1", {{"fullScreen", "1"}}},
        {"+bboxes", {{"bboxes", "1"}}},
        {"-bloom", {{"bloom", "0"}}},
        {"bloom", {{"bloom", "0"}}},
        {"+bloom = 5", {{"bloom", "5"}}},
        {"-distance = 350", {{"distance", "350"}}},
        {"screenWidth = 1024 x", {{"screenWidth", "1024"}}},
        {"distance=350", {{"distance", "350"}}},
        {"  soundVolume\t=\t0.25  \r", {{"soundVolume", "0.25"}}},
        {"texlod = -3", {{"texlod", "-3"}}},
        {"mouse = 1e-3", {{"mouse", "0.001"}}},
        {"plane = 0,75", {{"plane", "0"}}},
        // Text that is no finite number keeps the value.
        {"friction = none", {}},
        {"friction = nan", {}},
        {"mouse = -inf", {}},
        {"plane = 1e999", {}},
        {"musicVolume =", {}},
        // A screen 0 wide is refused: the setting keeps its value.
        {"screenWidth = none", {}},
        {"fullScreen = 1 = 2", {{"fullScreen", "1"}}},
        {"unknownKey = 5", {}},
        {"screenwidth = 800", {}},
        {"[section]", {}},
        {"// comment", {}},
        {"= 5", {}},
        {"+", {}},
        {"", {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line);
        for (const auto& [key, value] : before)
            (*settings.GetDators().Find(key))->Assign(value);
        settings.ParseLine(c.line);
        std::map<std::string, std::string> expected = before;
        for (const auto& [key, value] : c.changes)
            expected[key] = value;
        EXPECT_EQ(Snapshot(settings), expected);
    }
}

TEST_F(SettingsTest, LoadReadsTheFileLineByLineAndDropsTheTailOfOverlongLines) {
    std::string overlong = "screenHeight = 600";
    overlong.resize(1023, ' ');
    overlong += "distance = 999";
    root.WriteFile("config.cfg", "fullScreen = 1\r\n+bboxes\r\n[section]\r\n// x\r\nunknownKey = 5\r\n" +
                                     overlong + "\r\ndust = 0");
    settings.Load("config.cfg");

    std::map<std::string, std::string> expected = before;
    expected["fullScreen"] = "1";
    expected["bboxes"] = "1";
    expected["screenHeight"] = "600";
    expected["dust"] = "0";
    EXPECT_EQ(Snapshot(settings), expected);
}

TEST_F(SettingsTest, OutOfRangeValuesAreRefusedWithALogLineAndRepairedBySaving) {
    const std::pair<const char*, const char*> refused[] = {
        {"screenWidth", "-5"}, {"screenWidth", "0"},  {"screenHeight", "99999"}, {"screenHeight", "NaN"},
        {"soundVolume", "7"},  {"musicVolume", "-1"}, {"frequency", "12"},       {"bitrate", "64"},
        {"friction", "nan"},   {"mouse", "inf"},      {"soundVolume", "-nan"},
    };
    std::string config;
    for (const auto& [key, value] : refused)
        config += std::string(key) + " = " + value + "\r\n";
    config += "screenWidth = 800\r\n";
    root.WriteFile("config.cfg", config);
    std::string logged;
    GetLog().SetSink([&logged](std::string_view text) { logged += text; });
    settings.Load("config.cfg");
    GetLog().SetSink(nullptr);

    std::map<std::string, std::string> expected = before;
    expected["screenWidth"] = "800";
    EXPECT_EQ(Snapshot(settings), expected);
    for (const auto& [key, value] : refused)
        EXPECT_NE(logged.find(std::string(key) + " = " + value), std::string::npos) << key << logged;

    ASSERT_EQ(settings.Save("config.cfg"), S_OK);
    const std::string saved = root.ReadFile("config.cfg");
    EXPECT_NE(saved.find("screenHeight = 480\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("99999"), std::string::npos);
}

TEST_F(SettingsTest, AMissingFileChangesNothing) {
    settings.Load("config.cfg");
    EXPECT_EQ(Snapshot(settings), before);
}

TEST_F(SettingsTest, SavedValuesReadBackUnchanged) {
    g_PhysicsFriction = 0.2f;
    g_TexLod = -1;
    g_SoundVolume = 0.123456789f;
    g_ScreenWidth = 1920;
    ASSERT_EQ(settings.Save("config.cfg"), S_OK);
    g_PhysicsFriction = 1.0f;
    g_TexLod = 5;
    g_SoundVolume = 1.0f;
    g_ScreenWidth = 1;
    settings.Load("CONFIG.CFG");
    EXPECT_EQ(g_PhysicsFriction, 0.2f);
    EXPECT_EQ(g_TexLod, -1);
    EXPECT_EQ(g_SoundVolume, 0.123457f);
    EXPECT_EQ(g_ScreenWidth, 1920);
}

TEST_F(SettingsTest, SaveKeepsWorkingAfterTheDatorsAreReleased) {
    settings.ReleaseDators();
    g_Blur = 0;
    ASSERT_EQ(settings.Save("config.cfg"), S_OK);
    EXPECT_NE(root.ReadFile("config.cfg").find("\r\nblur = 0\r\n"), std::string::npos);
}

TEST_F(SettingsTest, AFailedSaveIsReported) {
    EXPECT_EQ(settings.Save("no/such/folder/config.cfg"), E_FAIL);
}

TEST(Settings, TheRegistryPublishesItselfWhileItLives) {
    {
        CPSettings settings;
        EXPECT_EQ(g_Settings, &settings);
    }
    EXPECT_EQ(g_Settings, nullptr);
}

TEST(Dators, IntAndFloatArithmeticAndComparison) {
    int32_t number = 10;
    float real = 1.5f;
    CPIntDator intDator(&number);
    CPFloatDator floatDator(&real);
    EXPECT_EQ(intDator.GetClassName(), "CPDator");
    EXPECT_FALSE(intDator.IsList());

    intDator.Add(" 5 apples");
    EXPECT_EQ(number, 15);
    intDator.Subtract("20");
    EXPECT_EQ(number, -5);
    EXPECT_TRUE(intDator.Equals("-5"));
    EXPECT_TRUE(intDator.NotEquals("-5 "));
    intDator.Assign("2147483647");
    intDator.Add("1");
    EXPECT_EQ(number, INT32_MIN); // wraps around instead of overflowing

    floatDator.Add("0.25");
    EXPECT_EQ(real, 1.75f);
    floatDator.Subtract("2");
    EXPECT_EQ(floatDator.ToString(), "-0.25");
    floatDator.Assign("1234567");
    EXPECT_EQ(floatDator.ToString(), "1.23457e+06");
}

TEST(StringHashMap, BucketsHashAndWalkingOrder) {
    EXPECT_EQ(StringHashMap<int>().BucketCount(), 193u);
    EXPECT_EQ(StringHashMap<int>(1).BucketCount(), 53u);
    EXPECT_EQ(StringHashMap<int>(194).BucketCount(), 389u);
    EXPECT_EQ(StringHashMap<int>::Hash("ab"), 5u * 'a' + 'b');
    EXPECT_EQ(StringHashMap<int>::Hash("\xff"), 0xFFFFFFFFu); // bytes count as signed chars

    // "ab" (583) and "5" (53) share bucket 0 of 53; "a" and "b" go to 44 and 45.
    StringHashMap<int> map(1);
    map["b"] = 1;
    map["ab"] = 2;
    map["a"] = 3;
    map["5"] = 4;
    map["ab"] = 5; // replacing keeps the entry's place
    std::string order;
    map.ForEach([&](const std::string& key, int value) { order += key + "=" + std::to_string(value) + " "; });
    EXPECT_EQ(order, "5=4 ab=5 a=3 b=1 ");
    EXPECT_EQ(map.Size(), 4u);
    ASSERT_NE(map.Find("a"), nullptr);
    EXPECT_EQ(*map.Find("a"), 3);
    EXPECT_EQ(map.Find("A"), nullptr);
    map.Clear();
    EXPECT_EQ(map.Size(), 0u);
    EXPECT_EQ(map.Find("a"), nullptr);
}

} // namespace

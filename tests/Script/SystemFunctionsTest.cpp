#include "LuaRunner.h"

#include "Core/PGlobalTimer.h"
#include "Core/PackFiles.h"
#include "Input/KeyNames.h"
#include "Input/NInput.h"
#include "Platform/ImageFixtures.h"
#include "Platform/Win32Shell.h"
#include "Script/PScriptManager.h"
#include "Support/PackFixtures.h"
#include "Support/TempGameRoot.h"
#include "imagetool/ImageWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr const char* kActions = "up;Accelerate;Up;false\r\n"
                                 "down;Reverse;Down;false\r\n"
                                 "up;Accelerate;Up;false\r\n"
                                 "fire;Fire;65;true\r\n";

std::size_t Key(const char* name) {
    return static_cast<std::size_t>(FindKeyName(name));
}

std::string Bytes(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A game folder with key bindings read by an input task that was never
// started, and the shell's openings recorded.
class SystemFunctionsTest : public ::testing::Test, public LuaRunner {
protected:
    // testing::Test has a Run of its own.
    using LuaRunner::Run;

    void SetUp() override {
        TempGameRoot::WriteFile("Actions.cfg", kActions);
        ASSERT_EQ(input.LoadActions("Actions.cfg"), 0);
        PlatSetShellRecorder([this](const std::string& verb, const std::string& target) {
            opened.push_back(verb + " " + target);
        });
    }
    void TearDown() override {
        PlatSetShellRecorder({});
        g_PackFiles.clear();
    }

    TempGameRoot root;
    CNInput input;
    std::vector<std::string> opened;
};

TEST_F(SystemFunctionsTest, ActionNamesCountWhatTheTablesHold) {
    // "up" is listed twice: the count is the tables' length, not the map's.
    EXPECT_EQ(Values("GetActionNames()").substr(0, 2), "4,");
    EXPECT_EQ(Run("n, keys, labels = GetActionNames()"), "");
    EXPECT_EQ(Values("n, #keys, #labels"), "4,4,4");
    EXPECT_EQ(Values("keys[1], keys[2], keys[3], keys[4]"), "Up,Down,Up,65");
    EXPECT_EQ(Values("labels[1], labels[2], labels[4]"), "Accelerate,Reverse,Fire");
    EXPECT_EQ(input.actionNames.size(), 4u) << "the input task is not changed";
}

TEST_F(SystemFunctionsTest, SetActionTakesEffectOnceWrittenAndReadBack) {
    EXPECT_EQ(Run("SetAction('Accelerate', 'W', false)"), "");
    EXPECT_EQ(input.keyBindings[Key("W")].text, "") << "not yet: the tables follow the file";
    EXPECT_EQ(Run("UpdateActions()"), "");
    EXPECT_EQ(
        TempGameRoot::ReadFile("Actions.cfg"),
        "up;Accelerate;W;false\r\ndown;Reverse;Down;false\r\nup;Accelerate;W;false\r\nfire;Fire;65;true\r\n");
    EXPECT_EQ(input.keyBindings[Key("W")].text, "up");
    EXPECT_FALSE(input.keyBindings[Key("Up")].bound);

    EXPECT_EQ(Run("SetAction('Reverse', 'S', false) SaveActions()"), "");
    EXPECT_NE(TempGameRoot::ReadFile("Actions.cfg").find("down;Reverse;S;false"), std::string::npos);
    TempGameRoot::WriteFile("other.cfg", "left;Left;A;false\r\n");
    EXPECT_EQ(Run("LoadActions('other.cfg')"), "");
    EXPECT_EQ(input.keyBindings[Key("A")].text, "left");

    g_FrameTime = 0.5f;
    EXPECT_EQ(Run("SetActions(false) SetAssignKey() SetMouse(3.5)"), "");
    EXPECT_FALSE(input.actionsEnabled);
    EXPECT_TRUE(input.assignMode);
    EXPECT_EQ(g_FrameTime, 0);
    EXPECT_EQ(Eval("GetMouse()"), "3.5");
}

TEST_F(SystemFunctionsTest, FilesOnDiskOnlyAndRegularOnly) {
    TempGameRoot::WriteFile("Data/Loose.txt", "x");
    std::filesystem::create_directories("Data/Folder");
    TempGameRoot::WriteFile("Data/game1.dat", PackBytes({{"Data/packed.txt", "inside"}}));
    ASSERT_EQ(MountPackFiles(), S_OK);
    const std::pair<const char*, const char*> cases[] = {
        {"'Data/Loose.txt'", "true"},   {"'data\\\\loose.txt'", "true"}, {"'Data/Folder'", "false"},
        {"'Data/packed.txt'", "false"}, {"'Data/none.txt'", "false"},    {"''", "false"},
    };
    for (const auto& [path, exists] : cases)
        EXPECT_EQ(Eval(std::string("IsFileExists(") + path + ")"), exists) << path;
    EXPECT_NE(Run("IsFileExists()"), "") << "the path is required";
}

TEST_F(SystemFunctionsTest, TextureSizeIsThePicturesOwnSize) {
    TempGameRoot::WriteFile("Data/Textures/small.png",
                            Bytes(WritePng({3, 5, std::vector<uint32_t>(15, 0xff102030)})));
    TempGameRoot::WriteFile("Data/Textures/small.tga", Bytes(EncodeTga(Image(6, 1))));
    TempGameRoot::WriteFile("Data/Textures/photo.jpg", Bytes(EncodeJpeg(Image(7, 2), 90)));
    TempGameRoot::WriteFile("Data/Textures/text.tga", "not a picture");
    TempGameRoot::WriteFile("Data/game1.dat",
                            PackBytes({{"Data/Textures/packed.tga", Bytes(EncodeTga(Image(4, 4)))}}));
    ASSERT_EQ(MountPackFiles(), S_OK);
    EXPECT_EQ(Values("GetTextureSize('Data/Textures/small.png')"), "3,5");
    EXPECT_EQ(Values("GetTextureSize('Data/Textures/small.tga')"), "6,1");
    EXPECT_EQ(Values("GetTextureSize('Data/Textures/photo.jpg')"), "7,2");
    EXPECT_EQ(Values("GetTextureSize('Data/Textures/packed.tga')"), "4,4") << "the packs count here";
    EXPECT_EQ(Values("GetTextureSize('Data/Textures/text.tga')"), "0,0");
    EXPECT_EQ(Values("GetTextureSize('Data/Textures/none.tga')"), "0,0");
    EXPECT_NE(Run("GetTextureSize()"), "");
}

TEST_F(SystemFunctionsTest, OnlyWebAddressesAndFilesAreOpened) {
    TempGameRoot::WriteFile("Manual.txt", "read me");
    std::filesystem::create_directories("Folder");
    EXPECT_EQ(Run("GoURLlink('https://example.org/page') GoURLlink('http://example.org')"
                  "GoURLlink('file:///bin/sh') GoURLlink('-x') GoURLlink('Folder') GoURLlink('Manual.txt')"),
              "");
    EXPECT_EQ(opened, (std::vector<std::string>{"open https://example.org/page", "open http://example.org",
                                                "open Manual.txt"}));
    opened.clear();
    EXPECT_EQ(Run("GoURL('Manual.txt') GoURL('Folder') GoURL('https://example.org') GoURL('none.txt')"), "");
    EXPECT_EQ(opened, std::vector<std::string>{"open Manual.txt"});
    EXPECT_NE(Run("GoURL()"), "");
    EXPECT_NE(Run("GoURLlink()"), "");
}

TEST_F(SystemFunctionsTest, StopScriptActsOnScriptsOnly) {
    TempGameRoot::WriteFile("Data/Scripts/list.dat", "worker t_system\n");
    TempGameRoot::WriteFile("Data/Scripts/worker.lua", "");
    CPScriptManager scripts;
    ASSERT_TRUE(scripts.LoadScripts());
    CPLuaScript& worker = *scripts.GetScript("worker");
    SetHandle("worker", &worker);
    SetHandle("input", &input);
    EXPECT_EQ(Run("StopScript(input) StopScript(nil) StopScript(42) SaveLog('text') SaveLog()"), "");
    EXPECT_FALSE(worker.killFlag);
    EXPECT_EQ(Run("StopScript(worker)"), "");
    EXPECT_TRUE(worker.killFlag);
}

} // namespace

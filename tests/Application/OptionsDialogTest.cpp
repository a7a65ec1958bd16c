#include "Application/OptionsDialog.h"
#include "Application/DialogResources.h"
#include "Application/DisplayModes.h"
#include "Core/PSettings.h"
#include "Platform/Scripted/DialogScript.h"
#include "Support/DialogChecks.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Settings {
    int width, height, bpp, bloom, lensFlare, dust, blur;
    bool operator==(const Settings&) const = default;
};

Settings Current() {
    return {g_ScreenWidth, g_ScreenHeight, g_ScreenBPP, g_Bloom, g_LensFlare, g_Dust, g_Blur};
}

void SetCurrent(const Settings& s) {
    g_ScreenWidth = s.width;
    g_ScreenHeight = s.height;
    g_ScreenBPP = s.bpp;
    g_Bloom = s.bloom;
    g_LensFlare = s.lensFlare;
    g_Dust = s.dust;
    g_Blur = s.blur;
}

std::string ConfigLines(const Settings& s) {
    const auto line = [](const char* key, int value) {
        return std::string(key) + " = " + std::to_string(value);
    };
    return line("screenWidth", s.width) + "|" + line("screenHeight", s.height) + "|" +
           line("screenBPP", s.bpp) + "|" + line("bloom", s.bloom) + "|" + line("lensflare", s.lensFlare) +
           "|" + line("dust", s.dust) + "|" + line("blur", s.blur);
}

void PrintTo(const Settings& s, std::ostream* out) {
    *out << ConfigLines(s);
}

// The seven lines of config.cfg the dialog is about, in the order above.
std::string ConfigLinesOfFile() {
    const std::string text = TempGameRoot::ReadFile("config.cfg");
    std::string out;
    for (const char* key :
         {"screenWidth", "screenHeight", "screenBPP", "bloom", "lensflare", "dust", "blur"}) {
        const std::string prefix = std::string("\n") + key + " = ";
        const std::size_t at = ("\n" + text).find(prefix);
        if (at == std::string::npos)
            return "missing " + std::string(key);
        const std::size_t end = text.find("\r\n", at);
        out += (out.empty() ? "" : "|") + text.substr(at, end - at);
    }
    return out;
}

std::vector<std::string> Entries(HWND dialog) {
    std::vector<std::string> texts;
    const LRESULT count = SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = {};
        SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

std::string SelectedText(HWND dialog) {
    const LRESULT selected = SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return "(none)";
    char text[64] = {};
    SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    return text;
}

// What the dialog shows when it opens.
struct Shown {
    std::vector<std::string> entries;
    std::string selected;
    bool motionBlurChecked;
    bool motionBlurEnabled;
};

PlatDialogAction ExpectShown(const Shown& expected) {
    return PlatInspect([expected](HWND dialog) {
        EXPECT_EQ(Entries(dialog), expected.entries);
        EXPECT_EQ(SelectedText(dialog), expected.selected);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MOTION_BLUR) == BST_CHECKED, expected.motionBlurChecked);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_MOTION_BLUR)) != FALSE, expected.motionBlurEnabled);
    });
}

SPDisplayMode Mode(int width, int height) {
    return SPDisplayMode{height, width, 32};
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "offscreen", 1); }
    // The settings go back to what the program had: the cases after this
    // one in the same process save them.
    void TearDown() override {
        PlatSetDialogScript(nullptr);
        g_DisplayModes.clear();
        SetCurrent(saved);
    }

    const Settings saved = Current();
    TempGameRoot root;
    CPSettings settings;
};

TEST_F(OptionsDialogTest, ControlActionsGiveTheSettingsAndTheSavedFile) {
    const Settings allOn{1280, 1024, 32, 1, 1, 1, 1};
    const Settings defaults{640, 480, 16, 1, 1, 1, 1};
    const std::vector<SPDisplayMode> threeModes{Mode(1920, 1080), Mode(1280, 1024), Mode(1024, 768)};
    const std::vector<std::string> threeTexts{"1024 x 768 x 32", "1280 x 1024 x 32", "1920 x 1080 x 32"};
    struct Case {
        const char* name;
        std::vector<SPDisplayMode> modes;
        Settings before;
        std::vector<PlatDialogAction> actions;
        INT_PTR result;
        Settings after;
        bool saved;
    };
    const std::vector<Case> cases = {
        {"OK keeps the current mode and switches",
         threeModes,
         allOn,
         {ExpectShown({threeTexts, "1280 x 1024 x 32", true, true}), PlatClick(IDOK)},
         IDOK,
         allOn,
         true},
        {"another mode chosen",
         threeModes,
         allOn,
         {PlatSelect(IDC_RESOLUTION, 2), PlatClick(IDOK)},
         IDOK,
         {1920, 1080, 32, 1, 1, 1, 1},
         true},
        {"bloom unchecked disables motion blur and keeps its mark",
         threeModes,
         allOn,
         {PlatClick(IDC_BLOOM), ExpectShown({threeTexts, "1280 x 1024 x 32", true, false}),
          PlatClick(IDC_MOTION_BLUR), PlatClick(IDOK)},
         IDOK,
         {1280, 1024, 32, 0, 1, 1, 1},
         true},
        {"bloom off at opening, then checked: motion blur can be checked again",
         threeModes,
         {1280, 1024, 32, 0, 1, 1, 0},
         {ExpectShown({threeTexts, "1280 x 1024 x 32", false, false}), PlatClick(IDC_BLOOM),
          PlatClick(IDC_MOTION_BLUR), PlatClick(IDOK)},
         IDOK,
         {1280, 1024, 32, 1, 1, 1, 1},
         true},
        {"lens flare and smoke switched off",
         threeModes,
         allOn,
         {PlatClick(IDC_LENS_FLARE), PlatClick(IDC_SMOKE), PlatClick(IDOK)},
         IDOK,
         {1280, 1024, 32, 1, 0, 0, 1},
         true},
        {"Cancel after changing every control",
         threeModes,
         allOn,
         {PlatSelect(IDC_RESOLUTION, 0), PlatClick(IDC_MOTION_BLUR), PlatClick(IDC_LENS_FLARE),
          PlatClick(IDC_SMOKE), PlatClick(IDC_BLOOM), PlatClick(IDCANCEL)},
         IDCANCEL,
         allOn,
         false},
        {"closed after changes",
         threeModes,
         allOn,
         {PlatClick(IDC_BLOOM), PlatCloseDialog()},
         IDC_EXIT,
         allOn,
         false},
        // Text order puts "1280 x 1024" before "1280 x 960": the first entry
        // is not the display's first mode.
        {"unavailable saved mode selects the first entry in text order",
         {Mode(1280, 960), Mode(1280, 1024)},
         defaults,
         {ExpectShown({{"1280 x 1024 x 32", "1280 x 960 x 32"}, "1280 x 1024 x 32", true, true}),
          PlatClick(IDOK)},
         IDOK,
         {1280, 1024, 32, 1, 1, 1, 1},
         true},
        {"empty mode list keeps the resolution and still saves the switches",
         {},
         defaults,
         {ExpectShown({{}, "(none)", true, true}), PlatClick(IDC_LENS_FLARE), PlatClick(IDOK)},
         IDOK,
         {640, 480, 16, 1, 0, 1, 1},
         true},
        {"typed resolution matching no entry keeps the resolution",
         threeModes,
         allOn,
         {PlatType(IDC_RESOLUTION, "1600 x 1200 x 32"), PlatClick(IDOK)},
         IDOK,
         allOn,
         true},
        {"typed resolution of an entry selects it",
         threeModes,
         allOn,
         {PlatType(IDC_RESOLUTION, "1920 X 1080 X 32"), PlatClick(IDOK)},
         IDOK,
         {1920, 1080, 32, 1, 1, 1, 1},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("config.cfg");
        g_DisplayModes = c.modes;
        SetCurrent(c.before);
        PlatDialogScript script{c.actions, false, {}, {}};
        PlatSetDialogScript(&script);

        EXPECT_EQ(DialogBoxIndirectParam(nullptr, &g_OptionsDialog, nullptr, OptionsDialogProc, 0), c.result);

        EXPECT_EQ(Current(), c.after);
        EXPECT_TRUE(script.problems.empty());
        EXPECT_EQ(std::filesystem::exists("config.cfg"), c.saved);
        if (c.saved) {
            EXPECT_EQ(ConfigLinesOfFile(), ConfigLines(c.after));
        }
    }
}

TEST_F(OptionsDialogTest, OpensInTheMiddleOfTheScreen) {
    PlatDialogScript script{{ExpectCentred(279, 171), PlatClick(IDCANCEL)}, false, {}, {}};
    PlatSetDialogScript(&script);
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &g_OptionsDialog, nullptr, OptionsDialogProc, 0), IDCANCEL);
}

TEST(DisplayModes, TheHeadlessDisplayGivesItsLargeModesOnceEach) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EnumDisplayModes();
    EXPECT_EQ(g_DisplayModes, (std::vector<SPDisplayMode>{Mode(1920, 1080), Mode(1680, 1050),
                                                          Mode(1280, 1024), Mode(1024, 768)}));
    g_DisplayModes.clear();
}

} // namespace

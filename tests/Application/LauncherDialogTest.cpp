#include "Application/LauncherDialog.h"
#include "Application/DialogResources.h"
#include "Application/PWebHost.h"
#include "Core/AppState.h"
#include "Core/PSettings.h"
#include "Platform/Scripted/DialogScript.h"
#include "Support/DialogChecks.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

const char* const kPage = "file:///game/Data/launcher/index.html";

class LauncherDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        g_LauncherPageUrl = kPage;
    }
    void TearDown() override {
        PlatSetDialogScript(nullptr);
        g_LauncherPageUrl.clear();
        g_FullScreen = 0;
    }

    // Shows the launcher and lets its web host go, as the application does.
    INT_PTR Run(PlatDialogScript& script) {
        PlatSetDialogScript(&script);
        const INT_PTR result =
            DialogBoxIndirectParam(nullptr, &g_LauncherDialog, nullptr, LauncherDialogProc, 0);
        EXPECT_NE(g_WebHost, nullptr);
        if (g_WebHost) {
            g_WebHost->CloseBrowser();
            EXPECT_EQ(g_WebHost->Release(), 0u);
            g_WebHost = nullptr;
        }
        return result;
    }

    TempGameRoot root;
    CPSettings settings;
};

TEST_F(LauncherDialogTest, EachWayOutGivesItsResultAndScreenMode) {
    struct Case {
        const char* name;
        std::vector<PlatDialogAction> actions;
        int fullScreenBefore;
        INT_PTR result;
        int fullScreenAfter;
    };
    const std::vector<Case> cases = {
        {"fullscreen", {PlatClick(IDC_START_FULLSCREEN)}, 0, IDC_START_FULLSCREEN, 1},
        {"windowed", {PlatClick(IDC_START_WINDOWED)}, 1, IDC_START_WINDOWED, 0},
        {"exit", {PlatClick(IDC_EXIT)}, 1, IDC_EXIT, 1},
        {"closed", {PlatCloseDialog()}, 0, IDC_EXIT, 0},
        {"options cancelled, then windowed",
         {PlatClick(IDC_OPTIONS), PlatClick(IDC_BLOOM), PlatClick(IDCANCEL), PlatClick(IDC_START_WINDOWED)},
         1,
         IDC_START_WINDOWED,
         0},
        {"options closed: the launcher stays open",
         {PlatClick(IDC_OPTIONS), PlatCloseDialog()},
         1,
         IDC_EXIT,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_FullScreen = c.fullScreenBefore;
        PlatDialogScript script{c.actions, false, {}, {}};
        EXPECT_EQ(Run(script), c.result);
        EXPECT_EQ(g_FullScreen, c.fullScreenAfter);
        EXPECT_TRUE(script.problems.empty());
        EXPECT_FALSE(std::filesystem::exists("config.cfg"));
        EXPECT_EQ(script.webBrowserCalls,
                  (Calls{"create 1026", "bounds 0 0 644 484", std::string("navigate ") + kPage, "close"}));
    }
}

TEST_F(LauncherDialogTest, OptionsOkWritesTheSettingsWhileTheLauncherStaysOpen) {
    g_Bloom = 1;
    PlatDialogScript script{{PlatClick(IDC_OPTIONS), PlatClick(IDC_BLOOM), PlatClick(IDOK),
                             PlatInspect([](HWND) { EXPECT_TRUE(std::filesystem::exists("config.cfg")); }),
                             PlatClick(IDC_EXIT)},
                            false,
                            {},
                            {}};
    EXPECT_EQ(Run(script), IDC_EXIT);
    EXPECT_EQ(g_Bloom, 0);
    EXPECT_NE(TempGameRoot::ReadFile("config.cfg").find("bloom = 0\r\n"), std::string::npos);
    g_Bloom = 1;
}

TEST_F(LauncherDialogTest, TitledAndCentred) {
    PlatDialogScript script{{PlatInspect([](HWND dialog) {
                                 char title[32] = {};
                                 GetWindowText(dialog, title, sizeof title);
                                 EXPECT_STREQ(title, "Kestrovar");
                             }),
                             ExpectCentred(665, 538), PlatClick(IDC_EXIT)},
                            false,
                            {},
                            {}};
    EXPECT_EQ(Run(script), IDC_EXIT);
}

TEST_F(LauncherDialogTest, WithoutAWebBrowserTheAreaStaysEmptyAndTheButtonsWork) {
    PlatDialogScript script{{PlatClick(IDC_START_WINDOWED)}, true, {}, {}};
    g_FullScreen = 1;
    EXPECT_EQ(Run(script), IDC_START_WINDOWED);
    EXPECT_EQ(g_FullScreen, 0);
    EXPECT_EQ(script.webBrowserCalls, Calls{"create 1026"});
}

} // namespace

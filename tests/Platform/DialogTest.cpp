#include "Platform/FileSystem.h"
#include "Platform/Scripted/DialogScript.h"
#include "Platform/WebBrowser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kSorted = 10;
constexpr int kUnsorted = 11;
constexpr int kCheck = 12;
constexpr int kButton = 13;

const PlatDialogTemplate kTemplate{
    true,
    "Test",
    "MS Sans Serif",
    8,
    200,
    100,
    {
        {PlatControlKind::ComboBox, kSorted, "", 10, 10, 80, 50, CBS_SORT},
        {PlatControlKind::ComboBox, kUnsorted, "", 100, 10, 80, 50, 0},
        {PlatControlKind::CheckBox, kCheck, "Check", 10, 30, 50, 10, 0},
        {PlatControlKind::PushButton, kButton, "Button", 10, 80, 50, 14, 0},
    },
};

// What the procedure below saw; it ends the dialog with 7 on WM_CLOSE
// unless told to ignore it.
std::vector<std::string> g_Seen;
bool g_IgnoreClose = false;

void Add(HWND dialog, int id, const char* text, LPARAM data) {
    const LRESULT at = SendDlgItemMessage(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessage(dialog, id, CB_SETITEMDATA, at, data);
}

INT_PTR TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        for (int id : {kSorted, kUnsorted}) {
            Add(dialog, id, "b", 1);
            Add(dialog, id, "A", 2);
            SendDlgItemMessage(dialog, id, CB_SETCURSEL, id == kSorted ? 1 : 0, 0); // "b"
            Add(dialog, id, "c", 3);
            Add(dialog, id, "a", 4);
        }
        return TRUE;
    case WM_COMMAND:
        g_Seen.push_back(
            "command " + std::to_string(LOWORD(wParam)) + " " + std::to_string(HIWORD(wParam)) +
            (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, LOWORD(wParam)) ? "" : " bad handle"));
        return TRUE;
    case WM_CLOSE:
        g_Seen.push_back("close");
        if (!g_IgnoreClose)
            EndDialog(dialog, 7);
        return TRUE;
    default:
        return FALSE;
    }
}

std::string Combo(HWND dialog, int id) {
    std::string out;
    const LRESULT count = SendDlgItemMessage(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[16] = {};
        SendDlgItemMessage(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        out += std::string(text) + "=" +
               std::to_string(SendDlgItemMessage(dialog, id, CB_GETITEMDATA, i, 0)) + " ";
    }
    return out + "sel " + std::to_string(SendDlgItemMessage(dialog, id, CB_GETCURSEL, 0, 0));
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Seen.clear();
        g_IgnoreClose = false;
    }
    void TearDown() override { PlatSetDialogScript(nullptr); }

    INT_PTR Run(PlatDialogScript& script) {
        PlatSetDialogScript(&script);
        return DialogBoxIndirectParam(nullptr, &kTemplate, nullptr, TestProc, 0);
    }
};

TEST_F(DialogTest, SortedComboBoxesKeepTextOrderItemDataAndTheSelectedEntry) {
    PlatDialogScript script{{PlatInspect([](HWND dialog) {
                                EXPECT_EQ(Combo(dialog, kSorted), "A=2 a=4 b=1 c=3 sel 2");
                                EXPECT_EQ(Combo(dialog, kUnsorted), "b=1 A=2 c=3 a=4 sel 0");
                                EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_SETCURSEL, 9, 0), CB_ERR);
                                EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETCURSEL, 0, 0), CB_ERR);
                                EXPECT_EQ(SendDlgItemMessage(dialog, kSorted, CB_GETITEMDATA, 9, 0), CB_ERR);
                            })},
                            false,
                            {},
                            {}};
    EXPECT_EQ(Run(script), 7);
}

TEST_F(DialogTest, ScriptedActionsReachTheProcedureAsTheUserWould) {
    PlatDialogScript script{
        {PlatClick(kCheck), PlatInspect([](HWND dialog) {
             EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), BST_CHECKED);
             EXPECT_EQ(EnableWindow(GetDlgItem(dialog, kCheck), FALSE), FALSE);
             EXPECT_EQ(EnableWindow(GetDlgItem(dialog, kCheck), FALSE), TRUE);
         }),
         PlatClick(kCheck), // disabled: nothing happens
         PlatInspect([](HWND dialog) { EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), BST_CHECKED); }),
         PlatClick(kButton), PlatSelect(kSorted, 3), PlatSelect(kSorted, 4), // no entry 4
         PlatType(kSorted, "B"),
         PlatInspect([](HWND dialog) { EXPECT_EQ(Combo(dialog, kSorted).substr(16), "sel 2"); }),
         PlatType(kSorted, "bb"),
         PlatInspect([](HWND dialog) { EXPECT_EQ(Combo(dialog, kSorted).substr(16), "sel -1"); }),
         PlatClick(99)},
        false,
        {},
        {}};
    EXPECT_EQ(Run(script), 7);
    EXPECT_EQ(g_Seen, (std::vector<std::string>{"command 12 0", "command 13 0", "command 10 1",
                                                "command 10 5", "command 10 5", "close"}));
    EXPECT_EQ(script.problems, std::vector<std::string>{"no control 99"});
}

TEST_F(DialogTest, ADialogThatIgnoresClosingEndsWhenTheScriptRunsOut) {
    g_IgnoreClose = true;
    PlatDialogScript script{{PlatCloseDialog()}, false, {}, {}};
    EXPECT_EQ(Run(script), -1);
    EXPECT_EQ(g_Seen, (std::vector<std::string>{"close", "close"}));
    EXPECT_EQ(script.problems, std::vector<std::string>{"a dialog stayed open after WM_CLOSE"});
}

TEST_F(DialogTest, HandlesOfClosedOrForeignWindowsAreRefused) {
    HWND dialogSeen = nullptr;
    HWND checkSeen = nullptr;
    PlatDialogScript script{{PlatInspect([&](HWND dialog) {
                                dialogSeen = dialog;
                                checkSeen = GetDlgItem(dialog, kCheck);
                                RECT rect;
                                ASSERT_TRUE(GetClientRect(checkSeen, &rect));
                                EXPECT_EQ(rect.right, 75);
                                EXPECT_EQ(rect.bottom, 16);
                                EXPECT_EQ(GetDlgItem(dialog, -1), nullptr);
                            })},
                            false,
                            {},
                            {}};
    EXPECT_EQ(Run(script), 7);
    ASSERT_NE(checkSeen, nullptr);
    RECT rect;
    EXPECT_EQ(GetDlgItem(dialogSeen, kCheck), nullptr);
    EXPECT_EQ(EnableWindow(checkSeen, TRUE), FALSE);
    EXPECT_EQ(GetWindowRect(dialogSeen, &rect), FALSE);
    EXPECT_EQ(EndDialog(dialogSeen, 1), FALSE);
    EXPECT_EQ(SetWindowText(nullptr, "x"), FALSE);
    EXPECT_EQ(PlatCreateWebBrowser(checkSeen), nullptr);
}

// No script and no display: nothing can show the dialog, which fails at once.
TEST_F(DialogTest, WithoutAScriptOrADisplayNoDialogCanBeShown) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &kTemplate, nullptr, TestProc, 0), -1);
    EXPECT_TRUE(g_Seen.empty());
}

TEST(FileUrl, AbsoluteAndEscaped) {
    EXPECT_EQ(PlatFileUrl("/game/Data/launcher/index.html"), "file:///game/Data/launcher/index.html");
    EXPECT_EQ(PlatFileUrl("/my game/a#b%c\xC3\xA9.html"), "file:///my%20game/a%23b%25c%C3%A9.html");
    const std::string relative = PlatFileUrl("Data/x.html");
    EXPECT_EQ(relative.rfind("file:///", 0), 0u);
    EXPECT_EQ(relative.substr(relative.size() - 12), "/Data/x.html");
}

} // namespace

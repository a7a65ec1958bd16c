#include "Application/InterfaceConnections.h"
#include "Game/PGameData.h"
#include "Input/PageInputServices.h"
#include "Interface/InterfaceServices.h"
#include "Interface/PInterface.h"
#include "Script/Functions/ScriptEngineHooks.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

namespace {

// The script functions LockButton and UnlockButton reach the page a script
// names; any other object is left alone.
TEST(InterfaceConnectionsTest, ButtonLocksReachThePageTheScriptNames) {
    TempGameRoot root;
    const ScriptEngineHooks savedHooks = g_ScriptEngineHooks;
    const InterfaceServices savedServices = g_InterfaceServices;
    TempGameRoot::WriteFile("Data/Interface/menu1024.int", "menu\nmenu.tga,256,256\n_,off\n"
                                                           "button\nstart 0,0,10,10,0,0,8,8\n"
                                                           "start_h 0,0,10,10,0,8,8,8\n"
                                                           "start_p 0,0,10,10,0,16,8,8\n");
    ConnectInterfaceToScripts();
    CPInterface page;
    page.Load("menu", 0);
    CPWindow* start = page.FindWindow("start");
    ASSERT_TRUE(start);
    g_ScriptEngineHooks.lockButton(&page, "start");
    EXPECT_FALSE(start->enabled);
    CPGameObject other("start");
    g_ScriptEngineHooks.unlockButton(&other, "start");
    EXPECT_FALSE(start->enabled);
    g_ScriptEngineHooks.unlockButton(&page, "start");
    EXPECT_TRUE(start->enabled);
    // Without a script manager the category reports go nowhere.
    g_InterfaceServices.sendToCategory("interface", "mouse_move", "0.50,0.50");
    g_ScriptEngineHooks = savedHooks;
    g_InterfaceServices = savedServices;
}

// The input task's page hooks reach the pages, and the pages read the game's
// text table through the connected services.
TEST(InterfaceConnectionsTest, PageInputAndGameTextReachThePages) {
    TempGameRoot root;
    const PageInputServices savedInput = g_PageInputServices;
    const InterfaceServices savedServices = g_InterfaceServices;
    ConnectInterfaceInput();
    CPInterface page;
    g_PageInputServices.mouseMove(100, 200);
    EXPECT_EQ(page.pointerX, 100);
    EXPECT_EQ(page.pointerY, 200);

    EXPECT_EQ(g_InterfaceServices.gameText("menu_title"), "");
    TempGameRoot::WriteFile("Data/strings.txt", "menu_title~Main menu\n");
    {
        CPGameData data; // the game's store while it lives
        data.LoadStrings();
        EXPECT_EQ(g_InterfaceServices.gameText("menu_title"), "Main menu");
    }
    EXPECT_EQ(g_InterfaceServices.gameText("menu_title"), "");
    g_PageInputServices = savedInput;
    g_InterfaceServices = savedServices;
}

} // namespace

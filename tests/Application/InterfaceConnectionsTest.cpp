#include "Application/InterfaceConnections.h"
#include "Game/PGameData.h"
#include "Input/PageInputServices.h"
#include "Interface/InterfaceServices.h"
#include "Interface/PInterface.h"
#include "Script/PScriptManager.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

namespace {

// Without a script manager the pages' category reports go nowhere.
// A page's report reaches the scripts listening to its category, and only
// them: none without a script manager, none of another category.
TEST(InterfaceConnectionsTest, CategoryReportsWithoutScriptsGoNowhere) {
    TempGameRoot root;
    const InterfaceServices savedServices = g_InterfaceServices;
    ConnectInterfaceToScripts();
    ASSERT_EQ(g_ScriptManager, nullptr);
    g_InterfaceServices.sendToCategory("interface", "mouse_move", "0.50,0.50");

    TempGameRoot::WriteFile("Data/Scripts/list.dat", "menu t_interface interface\nmain t_system main\n");
    TempGameRoot::WriteFile("Data/Scripts/menu.lua", "");
    TempGameRoot::WriteFile("Data/Scripts/main.lua", "");
    CPScriptManager scripts;
    ASSERT_TRUE(scripts.LoadScripts());
    CPLuaScript& menu = *scripts.GetScript("menu");
    CPLuaScript& main = *scripts.GetScript("main");
    ASSERT_TRUE(menu.Start());
    ASSERT_TRUE(main.Start());
    g_InterfaceServices.sendToCategory("interface", "mouse_move", "0.50,0.50");
    g_InterfaceServices.sendToCategory("nobody", "mouse_move", "0.25,0.25");
    EXPECT_EQ(menu.GetQueueLength(), 1u);
    ASSERT_TRUE(menu.SetNextCommand());
    EXPECT_EQ(menu.GetCurrentCommand()->name, "mouse_move");
    EXPECT_EQ(main.GetQueueLength(), 0u);
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

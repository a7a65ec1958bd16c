#include "Application/InterfaceConnections.h"
#include "Game/PGameData.h"
#include "Input/PageInputServices.h"
#include "Interface/InterfaceServices.h"
#include "Interface/PInterface.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

namespace {

// Without a script manager the pages' category reports go nowhere.
TEST(InterfaceConnectionsTest, CategoryReportsWithoutScriptsGoNowhere) {
    const InterfaceServices savedServices = g_InterfaceServices;
    ConnectInterfaceToScripts();
    g_InterfaceServices.sendToCategory("interface", "mouse_move", "0.50,0.50");
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

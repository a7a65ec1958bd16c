#include "Application/InterfaceConnections.h"
#include "Input/PageInputServices.h"
#include "Interface/PInterface.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

namespace {

// The input task's page hooks reach the pages.
TEST(InterfaceConnectionsTest, PageInputReachesThePages) {
    TempGameRoot root;
    const PageInputServices savedInput = g_PageInputServices;
    ConnectInterfaceInput();
    CPInterface page;
    g_PageInputServices.mouseMove(100, 200);
    EXPECT_EQ(page.pointerX, 100);
    EXPECT_EQ(page.pointerY, 200);
    g_PageInputServices = savedInput;
}

} // namespace

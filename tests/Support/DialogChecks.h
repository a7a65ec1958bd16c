#pragma once

#include "Platform/Scripted/DialogScript.h"

#include <gtest/gtest.h>

// A script step checking that the open dialog has the pixel size given and
// stands in the middle of the screen.
inline PlatDialogAction ExpectCentred(int width, int height) {
    return PlatInspect([width, height](HWND dialog) {
        RECT rect;
        ASSERT_TRUE(GetWindowRect(dialog, &rect));
        EXPECT_EQ(rect.right - rect.left, width);
        EXPECT_EQ(rect.bottom - rect.top, height);
        EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
        EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    });
}

#include "Platform/DialogBackends.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>

namespace {

// The launcher's GTK dialogs come from a module the program loads when a
// dialog is first shown. The module must resolve every symbol it takes from
// the program (those the program exports for it) and show no dialog without
// a display.
TEST(DialogModule, LoadsIntoTheProgramAndWithoutADisplayGivesNoBackend) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(PlatLoadDialogModule(KV_DIALOG_MODULE), nullptr);
    EXPECT_NE(dlopen(KV_DIALOG_MODULE, RTLD_NOW | RTLD_NOLOAD), nullptr) << dlerror();
}

TEST(DialogModule, AMissingModuleIsReportedAndGivesNoBackend) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(PlatLoadDialogModule("/nonexistent/kestrovar-dialogs.so"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("The dialogs cannot be loaded"), std::string::npos);
}

} // namespace

#include "Core/Log.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class LogCapture {
public:
    LogCapture() {
        GetLog().SetSink([this](std::string_view piece) { text += piece; });
    }
    ~LogCapture() { GetLog().SetSink({}); }
    std::string text;
};

} // namespace

TEST(Log, PrintFormatsLikePrintf) {
    LogCapture capture;
    ASSERT_TRUE(GetLog().IsReady());
    GetLog().Print(0, "%dx%dx%d%s\n", 1024, 768, 32, " (current)");
    EXPECT_EQ(capture.text, "1024x768x32 (current)\n");
}

TEST(Log, PlatformErrorReportHasTheFixedFormat) {
    LogCapture capture;
    ReportPlatformError("Render\\PRender", 120, E_FAIL);
    EXPECT_EQ(capture.text, "DXError if Render\\PRender on line 120\nE_FAIL\nUnspecified error.\n");
}

TEST(Log, UnknownCodesStillGiveAReadableReport) {
    LogCapture capture;
    ReportPlatformError("Sound\\NAudio", 7, static_cast<HRESULT>(0x8877000Au));
    EXPECT_EQ(capture.text, "DXError if Sound\\NAudio on line 7\nUnknown\nUnknown error 0x8877000A.\n");
}

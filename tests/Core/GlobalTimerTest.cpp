#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Platform/Win32Time.h"

#include <gtest/gtest.h>

namespace {

// A clock the test moves by hand: a 1 MHz counter or, without one, only the
// 32-bit millisecond clock.
class FakeClock : public PlatClockSource {
public:
    bool Frequency(LONGLONG& frequency) override {
        frequency = 1000000;
        return hasCounter;
    }
    LONGLONG Counter() override { return microseconds; }
    DWORD Milliseconds() override { return milliseconds; }

    void Advance(double seconds) {
        microseconds += static_cast<LONGLONG>(seconds * 1e6 + 0.5);
        milliseconds += static_cast<DWORD>(seconds * 1e3 + 0.5);
    }

    bool hasCounter = true;
    LONGLONG microseconds = 5000000;
    DWORD milliseconds = 5000;
};

class GlobalTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatSetClockSource(&clock);
        g_TimeScale = 1.0f;
        timer.priority = PRIORITY_TIMER;
    }
    void TearDown() override {
        PlatSetClockSource(nullptr);
        g_TimeScale = 1.0f;
    }

    FakeClock clock;
    CPGlobalTimer timer;
    CPTaskManager kernel;
};

TEST_F(GlobalTimerTest, FirstFrameMeasuresFromTheStartAndTimeScaleApplies) {
    clock.Advance(3.0); // time before the start never enters a frame
    ASSERT_TRUE(kernel.AddTask(&timer));
    EXPECT_EQ(g_FrameTime, 0.0f);
    EXPECT_EQ(g_FrameCounter, 0);

    clock.Advance(0.020);
    g_FrameParticleCount = 7;
    timer.Update();
    EXPECT_FLOAT_EQ(g_FrameTime, 0.020f);
    EXPECT_EQ(g_FrameCounter, 1);
    EXPECT_EQ(g_FrameParticleCount, 0);

    g_TimeScale = 0.5f;
    clock.Advance(0.020);
    timer.Update();
    EXPECT_FLOAT_EQ(g_FrameTime, 0.010f);
    EXPECT_NEAR(g_GameTime, 0.030, 1e-6);
    EXPECT_EQ(g_FrameCounter, 2);
}

TEST_F(GlobalTimerTest, SuspendedIntervalNeverEntersAFrame) {
    ASSERT_TRUE(kernel.AddTask(&timer));
    clock.Advance(0.016);
    timer.Update();

    kernel.SuspendTask(&timer);
    clock.Advance(10.0);
    kernel.ResumeTask(&timer);
    clock.Advance(0.020);
    timer.Update();
    EXPECT_FLOAT_EQ(g_FrameTime, 0.020f);
    EXPECT_NEAR(g_GameTime, 0.036, 1e-6);
}

TEST_F(GlobalTimerTest, ReAddingTheRunningClockRestartsTheMeasurementOnly) {
    ASSERT_TRUE(kernel.AddTask(&timer));
    clock.Advance(0.016);
    timer.Update();
    const double gameTime = g_GameTime;

    clock.Advance(0.5);
    EXPECT_FALSE(kernel.AddTask(&timer));
    EXPECT_EQ(kernel.GetActiveTasks().size(), 1u);
    EXPECT_EQ(g_FrameTime, 0.0f);
    EXPECT_EQ(g_GameTime, gameTime); // kept: only the first start zeroes it
    EXPECT_EQ(g_FrameCounter, 1);

    clock.Advance(0.010);
    timer.Update();
    EXPECT_FLOAT_EQ(g_FrameTime, 0.010f);
}

TEST_F(GlobalTimerTest, MillisecondFallbackSurvivesTheWrap) {
    clock.hasCounter = false;
    for (DWORD start : {DWORD{5000}, DWORD{0x7FFFFFF0}, DWORD{0xFFFFFFF0}}) {
        clock.milliseconds = start;
        timer.Stop();
        ASSERT_TRUE(timer.Start());
        clock.Advance(0.032);
        timer.Update();
        EXPECT_FLOAT_EQ(g_FrameTime, 0.032f) << "start " << start;
    }
}

} // namespace

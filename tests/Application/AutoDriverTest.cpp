#include "Application/PAutoDriver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

// A car at the origin facing +x steers at targets around it: the throttle
// is held (every other frame in sharp turns), small errors need no steering, nitro only when the target
// lies straight ahead, fire in the first frames of each period.
TEST(AutoDriver, SteersTowardTheTarget) {
    struct Case {
        float targetAngle;
        int frame;
        SPAutoDriveKeys keys;
    };
    const float pi = std::numbers::pi_v<float>;
    const std::vector<Case> cases = {
        {0.0f, 10, {true, false, false, true, false}},
        {0.009f, 10, {true, false, false, true, false}},
        {0.04f, 10, {true, false, false, false, false}},
        {-0.04f, 10, {true, false, false, false, false}},
        {0.3f, 10, {true, true, false, false, false}},
        {-0.3f, 10, {true, false, true, false, false}},
        {pi / 2, 10, {true, true, false, false, false}},
        {pi / 2, 11, {false, true, false, false, false}},
        {-pi / 2, 11, {false, false, true, false, false}},
        {pi - 0.1f, 11, {false, true, false, false, false}},
        {-pi + 0.1f, 10, {true, false, true, false, false}},
        {0.0f, 0, {true, false, false, true, true}},
        {0.0f, CPAutoDriver::kFireFrames - 1, {true, false, false, true, true}},
        {0.0f, CPAutoDriver::kFirePeriod + 1, {true, false, false, true, true}},
        {0.0f, CPAutoDriver::kFirePeriod - 1, {true, false, false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases.data()));
        const D3DXVECTOR3 target(20 * std::cos(c.targetAngle), 20 * std::sin(c.targetAngle), 0);
        const SPAutoDriveKeys keys = CPAutoDriver::Decide({0, 0, 0}, {1, 0, 0}, target, c.frame);
        EXPECT_EQ(keys.up, c.keys.up);
        EXPECT_EQ(keys.left, c.keys.left);
        EXPECT_EQ(keys.right, c.keys.right);
        EXPECT_EQ(keys.nitro, c.keys.nitro);
        EXPECT_EQ(keys.fire, c.keys.fire);
    }
}

// The heading comes from the car's forward direction, wherever the car is:
// a car at (100, 50) facing -y with the target further down -y and to its
// +x side turns counterclockwise, to the left.
TEST(AutoDriver, MeasuresTheErrorFromTheCarsHeading) {
    const SPAutoDriveKeys keys = CPAutoDriver::Decide({100, 50, 1}, {0, -1, 0}, {110, 30, 0}, 15);
    EXPECT_TRUE(keys.left);
    EXPECT_FALSE(keys.right);
}

} // namespace

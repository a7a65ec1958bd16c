#include "Platform/Random.h"

#include <gtest/gtest.h>

TEST(Random, SeedOneGivesTheKnownSequence) {
    PlatSRand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected)
        EXPECT_EQ(PlatRand(), value);
}

TEST(Random, ReseedingRestartsTheSequenceAndStaysInRange) {
    PlatSRand(12345);
    int first[100];
    for (int& value : first) {
        value = PlatRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, PLAT_RAND_MAX);
    }
    PlatSRand(12345);
    for (int value : first)
        EXPECT_EQ(PlatRand(), value);
}

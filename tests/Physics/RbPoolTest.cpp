#include "Physics/Simulator/RbPool.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Element {
    int value = 7;
    Element* poolNext = nullptr;
    Element* poolPrev = nullptr;
    std::uint8_t inUse = 0;
};

TEST(RbPool, ZeroCapacityHandsOutNothing) {
    RbPool<Element> pool;
    EXPECT_TRUE(pool.Reserve(0));
    EXPECT_EQ(pool.Take(), nullptr);
    EXPECT_FALSE(pool.Reserve(-1));
    EXPECT_EQ(pool.Capacity(), 0);
}

TEST(RbPool, ExhaustionLeavesThePoolUnchanged) {
    RbPool<Element> pool;
    ASSERT_TRUE(pool.Reserve(3));
    for (int i = 0; i < 3; ++i) {
        Element* e = pool.Take();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->inUse, 1);
        EXPECT_EQ(e->value, 7);
    }
    EXPECT_EQ(pool.FreeHead(), nullptr);
    EXPECT_EQ(pool.FreeTail(), nullptr);
    EXPECT_EQ(pool.FreeCount(), 0);
    EXPECT_EQ(pool.UsedCount(), 3);
    EXPECT_EQ(pool.Take(), nullptr);
    EXPECT_EQ(pool.UsedCount(), 3);
}

TEST(RbPool, ReuseIsLastInFirstOut) {
    RbPool<Element> pool;
    ASSERT_TRUE(pool.Reserve(4));
    Element* a = pool.Take();
    Element* b = pool.Take();
    EXPECT_EQ(pool.IndexOf(a), 0);
    EXPECT_EQ(pool.IndexOf(b), 1);
    pool.Return(a);
    EXPECT_EQ(pool.Take(), a);
    pool.Return(b);
    pool.Return(a);
    EXPECT_EQ(pool.Take(), a);
    EXPECT_EQ(pool.Take(), b);
    EXPECT_EQ(pool.FreeCount(), 2);
}

TEST(RbPool, ForeignAndFreeElementsAreRefused) {
    RbPool<Element> pool;
    ASSERT_TRUE(pool.Reserve(2));
    Element outside;
    Element* a = pool.Take();
    EXPECT_EQ(pool.IndexOf(&outside), -1);
    EXPECT_EQ(pool.IndexOf(reinterpret_cast<char*>(a) + 1), -1);
    EXPECT_EQ(pool.IndexOf(a + 2), -1);
    pool.Return(&outside);
    pool.Return(a);
    pool.Return(a); // a second return must not link a twice
    EXPECT_EQ(pool.FreeCount(), 2);
    EXPECT_NE(pool.Take(), pool.Take());
    EXPECT_EQ(pool.Take(), nullptr);
}

TEST(RbPool, ReserveAgainStartsAFreshBlockAndCountsBytes) {
    RbPool<Element> pool;
    ASSERT_TRUE(pool.Reserve(2));
    pool.Take();
    ASSERT_TRUE(pool.Reserve(5));
    EXPECT_EQ(pool.FreeCount(), 5);
    EXPECT_EQ(pool.UsedCount(), 0);
    const std::size_t header = RbPool<Element>::HeaderSize;
    EXPECT_EQ(pool.DefaultAllocator().AllocatedBytes(),
              2 * sizeof(Element) + header + 5 * sizeof(Element) + header);
}

} // namespace

// The show's one generator: its sequence and the replay of its state.
#include <gtest/gtest.h>

#include "scenes/random.h"

namespace {

TEST(Random, StartsFromStateOneWithTheKnownOutputs) {
    EXPECT_EQ(demo::randState(), 1u) << "the generator was seeded or stepped before main";
    const int first[] = {41, 18467, 6334, 26500, 19169};
    for (int value : first)
        EXPECT_EQ(demo::rand(), value);
}

TEST(Random, StaysInFifteenBitsAndWrapsItsStateModulo2To32) {
    demo::setRandState(0xffffffffu);
    // (2^32 - 1) x 214013 + 2531011 wraps to 2316998 (0x235AC6): output 35.
    EXPECT_EQ(demo::rand(), 35);
    EXPECT_EQ(demo::randState(), 2316998u);
    for (int i = 0; i < 100000; ++i) {
        const int v = demo::rand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

TEST(Random, ReplaysFromASavedState) {
    demo::setRandState(12345u);
    const std::uint32_t saved = demo::randState();
    int run[8];
    for (int& v : run)
        v = demo::rand();
    demo::setRandState(saved);
    for (int v : run)
        EXPECT_EQ(demo::rand(), v);
}

}  // namespace

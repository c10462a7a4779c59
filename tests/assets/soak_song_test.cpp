// The soak run's module, played offline with the show's load flags: it must
// loop through the six scenes' orders for ever and never reach order 12, or
// the soak run would end by itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/soak_song.h"
#include "music/offline.h"
#include "show/show_facts.h"
#include "show/show_music.h"
#include "tests/support/commands.h"

namespace {

// ... and show all six scenes within the first minute, before the soak run
// starts to watch the memory.
TEST(SoakSong, LoopsThroughOrdersZeroToElevenWithinAMinuteAndNeverReachesTheQuitOrder) {
    const std::string folder = testsupport::makeTemporaryFolder("soak-song");
    const std::string path = folder + "/soak.it";
    std::string error;
    ASSERT_TRUE(demo::writeModule(bench::composeSoakSong(), path.c_str(), error)) << error;
    ASSERT_TRUE(demo::openOfflineMusic(path.c_str(), demo::musicLoadFlags))
        << demo::offlineMusicErrorText();

    // A second at a time through two passes of the module and a bit more.
    std::vector<std::int16_t> samples(2 * demo::offlineRate);
    std::vector<int> orders;  // each order as it is first seen, in turn
    int loopedAt = -1;        // the second in which order 0 came round again
    const int seconds = int(2.2 * bench::soakOrders * bench::soakOrderSeconds);
    for (int s = 0; s < seconds; ++s) {
        ASSERT_EQ(demo::renderOfflineMusic(samples.data(), samples.size() / 2), samples.size() / 2)
            << "the module ended after " << s << " s";
        const int order = int(demo::offlineMusicPosition() & 0xFFFF);
        if (orders.empty() || orders.back() != order) orders.push_back(order);
        if (loopedAt < 0 && orders.size() > 1 && order == 0) loopedAt = s;
    }
    demo::closeOfflineMusic();
    testsupport::removeFolder(folder);

    // The module must play every order before the quit order and start over.
    std::vector<int> expected;
    for (int pass = 0; pass < 3; ++pass) {
        for (int k = 0; k < int(demo::quitOrder); ++k)
            expected.push_back(k);
    }
    expected.resize(orders.size());
    EXPECT_EQ(orders, expected);
    EXPECT_GT(orders.size(), 24u) << "the module looped";
    EXPECT_GE(loopedAt, 0);
    EXPECT_LT(loopedAt, 60) << "the scenes take longer than the first minute";
}

}  // namespace

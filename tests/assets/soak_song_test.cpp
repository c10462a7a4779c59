// The soak run's module, played offline with the show's load flags: it must
// loop through the six scenes' orders for ever and never reach order 12, or
// the soak run would end by itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/soak_song.h"
#include "music/offline.h"
#include "music/player.h"

namespace {

// ... and show all six scenes within the first minute, before the soak run
// starts to watch the memory.
TEST(SoakSong, LoopsThroughOrdersZeroToElevenWithinAMinuteAndNeverReachesTheQuitOrder) {
    char path[] = "/tmp/soak-song-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string error;
    ASSERT_TRUE(demo::writeModule(bench::composeSoakSong(), path, error)) << error;
    ASSERT_TRUE(
        demo::openOfflineMusic(path, BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET))
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
    unlink(path);

    // The show's quit order is 12: the module must play 0 to 11 and start over.
    std::vector<int> expected;
    for (int pass = 0; pass < 3; ++pass) {
        for (int k = 0; k < 12; ++k)
            expected.push_back(k);
    }
    expected.resize(orders.size());
    EXPECT_EQ(orders, expected);
    EXPECT_GT(orders.size(), 24u) << "the module looped";
    EXPECT_GE(loopedAt, 0);
    EXPECT_LT(loopedAt, 60) << "the scenes take longer than the first minute";
}

}  // namespace

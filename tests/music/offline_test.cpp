// The offline renderer: repeatable samples, the module's timing frame by
// frame, the load flags, failures, and agreement with the player's timing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "music/offline.h"
#include "music/player.h"
#include "tests/music/music_support.h"

namespace {

using namespace musictest;

constexpr std::uint32_t showFlags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET;

class Offline : public ::testing::Test {
protected:
    void TearDown() override { demo::closeOfflineMusic(); }
};

// The whole of a rendering of frames frames of the module at path.
std::vector<std::int16_t> renderFile(const std::string& path, std::uint32_t flags,
                                     std::size_t frames) {
    std::vector<std::int16_t> samples(2 * frames);
    if (!demo::openOfflineMusic(path.c_str(), flags)) {
        ADD_FAILURE() << demo::offlineMusicErrorText();
        return samples;
    }
    demo::renderOfflineMusic(samples.data(), frames);
    demo::closeOfflineMusic();
    return samples;
}

bool allSilent(const std::int16_t* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (samples[i] != 0) return false;
    return true;
}

// ---------------------------------------------------------------------------
// Samples

TEST_F(Offline, TheSameModuleRendersToTheSameSamplesOnEveryRun) {
    const std::string path = writeTempFile(fastModule(3), ".it");
    const std::vector<std::int16_t> first = renderFile(path, showFlags, 44100);
    const std::vector<std::int16_t> second = renderFile(path, showFlags, 44100);
    EXPECT_FALSE(allSilent(first.data(), first.size()));
    EXPECT_TRUE(first == second);
}

TEST_F(Offline, RampingIsOnWithTheRampFlagOnly) {
    // Without ramping each note starts at full height at once; with it the
    // first frames climb.
    const std::string path = writeTempFile(fastModule(1), ".it");
    const std::vector<std::int16_t> ramped = renderFile(path, BASS_MUSIC_RAMP, 32);
    const std::vector<std::int16_t> hard = renderFile(path, 0, 32);
    int rampedSum = 0, hardSum = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        rampedSum += std::abs(ramped[i]);
        hardSum += std::abs(hard[i]);
    }
    EXPECT_LT(rampedSum, hardSum / 2) << "the first 8 frames";
}

TEST_F(Offline, AModuleWithoutTheLoopFlagEndsInSilence) {
    ASSERT_TRUE(
        demo::openOfflineMusic(writeTempFile(fastModule(2), ".it").c_str(), BASS_MUSIC_RAMP));
    // 640 ms of module (28224 frames) in a second of output.
    std::vector<std::int16_t> samples(2 * 44100, 1);
    const std::size_t played = demo::renderOfflineMusic(samples.data(), 44100);
    EXPECT_EQ(played, std::size_t(2 * rowsPerOrder * framesPerRow));
    EXPECT_TRUE(allSilent(samples.data() + 2 * played, 2 * (44100 - played)));
    EXPECT_EQ(demo::renderOfflineMusic(samples.data(), 100), 0u);
    EXPECT_EQ(demo::offlineMusicPosition(), 0u) << "where the last chunk began";

    // Ended in the middle of a chunk: the position stays where it began.
    ASSERT_TRUE(demo::openOfflineMusic(writeTempFile(fastModule(2), ".it").c_str(), 0));
    demo::renderOfflineMusic(samples.data(), 2 * rowsPerOrder * framesPerRow - 1000);
    const std::uint32_t lastChunk = demo::offlineMusicPosition();
    EXPECT_EQ(lastChunk, 1u | 29u << 16) << "order 1, row 29";
    EXPECT_EQ(demo::renderOfflineMusic(samples.data(), 2000), 1000u);
    EXPECT_EQ(demo::offlineMusicPosition(), lastChunk);
}

// ---------------------------------------------------------------------------
// Position

TEST_F(Offline, ThePositionIsThatOfTheLastFrameRenderedRowByRowLoopingToOrderZero) {
    ASSERT_TRUE(demo::openOfflineMusic(writeTempFile(fastModule(3), ".it").c_str(), showFlags))
        << demo::offlineMusicErrorText();
    EXPECT_EQ(demo::offlineMusicPosition(), 0u) << "before the first frame";
    std::vector<std::int16_t> samples(2 * framesPerRow);
    const int rows = 3 * rowsPerOrder;
    // Each row's first frame, then the rest of it, through the module and on.
    demo::renderOfflineMusic(samples.data(), 1);
    for (int k = 0; k <= rows + 5; ++k) {
        const int row = k % rows;
        const std::uint32_t expected =
            std::uint32_t(row / rowsPerOrder) | std::uint32_t(row % rowsPerOrder) << 16;
        ASSERT_EQ(demo::offlineMusicPosition(), expected) << "row " << k << " of the module";
        ASSERT_EQ(demo::renderOfflineMusic(samples.data(), framesPerRow - 1),
                  std::size_t(framesPerRow - 1));
        ASSERT_EQ(demo::offlineMusicPosition(), expected) << "the last frame of row " << k;
        demo::renderOfflineMusic(samples.data(), 1);
    }
}

TEST_F(Offline, ThePlayerReportsThePositionsTheOfflineRenderingHasAtTheSameTime) {
    const std::string path = writeTempFile(fastModule(3), ".it");

    // The offline position every 5 ms for 1.2 s.
    ASSERT_TRUE(demo::openOfflineMusic(path.c_str(), showFlags));
    std::vector<std::uint32_t> offline;
    std::vector<std::int16_t> samples(2 * 441);
    for (int ms = 0; ms < 1200; ms += 5) {
        offline.push_back(demo::offlineMusicPosition());
        demo::renderOfflineMusic(samples.data(), 220 + std::size_t(ms / 5 % 2));
    }
    demo::closeOfflineMusic();

    // Each reading of the player matches the offline position at a moment
    // close to it: a little after, or some time before.
    ASSERT_NE(BASSMOD_Init(-1, 44100, 0), 0) << musicErrorText();
    ASSERT_NE(BASSMOD_MusicLoad(0, path.c_str(), 0, 0, showFlags), 0) << musicErrorText();
    const std::vector<Reading> readings = playAndWatch(1100);
    BASSMOD_Free();
    for (const Reading& r : readings) {
        bool found = false;
        for (int ms = int(earliestModuleMs(r.ms)); ms <= int(latestModuleMs(r.ms)) && !found; ++ms)
            found = ms >= 0 && ms / 5 < int(offline.size()) && offline[ms / 5] == r.position;
        EXPECT_TRUE(found) << "order " << orderOf(r.position) << " row " << rowOf(r.position)
                           << " at " << r.ms << " ms";
    }
}

// ---------------------------------------------------------------------------
// Failures and the wrong state

TEST_F(Offline, AFileThatCannotBeOpenedIsReportedAndLeavesNoModule) {
    EXPECT_FALSE(demo::openOfflineMusic("/nonexistent/demosong.it", showFlags));
    EXPECT_STREQ(demo::offlineMusicErrorText(), "No such file or directory");
    const std::string text = writeTempFile({'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}, ".it");
    ASSERT_TRUE(demo::openOfflineMusic(writeTempFile(fastModule(1), ".it").c_str(), showFlags));
    EXPECT_FALSE(demo::openOfflineMusic(text.c_str(), showFlags));
    EXPECT_NE(std::strstr(demo::offlineMusicErrorText(), "not a module libopenmpt can read"),
              nullptr);
    EXPECT_EQ(demo::offlineMusicPosition(), 0xFFFFFFFFu) << "the module before is closed";
}

TEST_F(Offline, WithoutAModuleItRendersSilenceAndReportsNoPosition) {
    std::vector<std::int16_t> samples(200, 7);
    EXPECT_EQ(demo::renderOfflineMusic(samples.data(), 100), 0u);
    EXPECT_TRUE(allSilent(samples.data(), samples.size()));
    EXPECT_EQ(demo::offlineMusicPosition(), 0xFFFFFFFFu);
    demo::closeOfflineMusic();
    demo::closeOfflineMusic();
}

// ---------------------------------------------------------------------------
// The show's test module, as the show opens it

TEST_F(Offline, TheTestSongReachesOrderTwelveWithinTenSeconds) {
    const std::string path = std::string(DEMO_BINARY_DIR) + "/testdata/demosong.it";
    if (access(path.c_str(), R_OK) != 0) GTEST_SKIP() << "the test song is not built: " << path;
    ASSERT_TRUE(demo::openOfflineMusic(path.c_str(), showFlags)) << demo::offlineMusicErrorText();
    std::vector<std::int16_t> samples(2 * 441);
    int ms = 0;
    while (ms < 10000 && (demo::offlineMusicPosition() & 0xFFFF) < 12) {
        demo::renderOfflineMusic(samples.data(), 441);
        ms += 10;
    }
    EXPECT_LT(ms, 10000);
}

}  // namespace

// The music layer played for real through SDL's dummy driver, which consumes
// audio in real time without a sound card: position and timing, looping,
// stop / free / re-load, failure reasons and calls made in the wrong state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "music/module_file.h"
#include "music/player.h"
#include "tests/music/music_support.h"

namespace {

using namespace musictest;
using ::testing::HasSubstr;

constexpr std::uint32_t showFlags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET;
constexpr std::uint32_t noModule = 0xFFFFFFFFu;

// Every test starts and ends with the layer shut down.
class Player : public ::testing::Test {
protected:
    void SetUp() override { BASSMOD_Free(); }
    void TearDown() override { BASSMOD_Free(); }

    static void open() { ASSERT_NE(BASSMOD_Init(-1, 44100, 0), 0) << musicErrorText(); }

    static int loadMemory(const std::vector<std::uint8_t>& bytes, std::uint32_t flags = showFlags) {
        return BASSMOD_MusicLoad(1, bytes.data(), 0, std::uint32_t(bytes.size()), flags);
    }
};

constexpr std::size_t notSeen = std::size_t(-1);

// The first reading, from index from on, at order; notSeen if none.
std::size_t firstAtOrder(const std::vector<Reading>& readings, int order, std::size_t from = 0) {
    for (std::size_t i = from; i < readings.size(); ++i)
        if (orderOf(readings[i].position) == order) return i;
    return notSeen;
}

// A moment of the module (dueMs into it) first shown by readings[seen]: it
// must not be shown before the clock allows, nor still be missing from the
// reading before when the clock says it was long due.
void expectOnTime(const std::vector<Reading>& readings, std::size_t seen, double dueMs,
                  const char* what) {
    if (seen == notSeen) {
        ADD_FAILURE() << what << " never seen in " << (readings.empty() ? 0 : readings.back().ms)
                      << " ms of watching";
        return;
    }
    const double seenMs = readings[seen].ms;
    const double missingMs = seen > 0 ? readings[seen - 1].ms : 0;
    EXPECT_LE(dueMs, latestModuleMs(seenMs)) << what << " seen early, at " << seenMs << " ms";
    EXPECT_GE(dueMs, earliestModuleMs(missingMs))
        << what << " seen late: still missing at " << missingMs << " ms";
}

// Plays the loaded module, watching it until the reading stop picks out.
std::vector<Reading> playUntil(const std::function<bool(const Reading&)>& stop) {
    return playAndWatch(4000, stop);
}

// Plays the loaded module from its beginning again: right after the call
// the position is no further into the module than the clock allows.
void expectPlayStartsOver() {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(BASSMOD_MusicPlay(), 0);
    const std::uint32_t position = BASSMOD_MusicGetPosition();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(orderOf(position), 0);
    EXPECT_LE(moduleMs(position), latestModuleMs(ms)) << "row " << rowOf(position);
}

// ---------------------------------------------------------------------------
// Position and timing

TEST_F(Player, OrdersAdvanceWithTheAudioPlayedWithTheRowInTheHighBits) {
    open();
    ASSERT_NE(loadMemory(fastModule(3)), 0) << musicErrorText();
    EXPECT_EQ(BASSMOD_MusicGetPosition(), 0u) << "order 0, row 0 before playing";
    const std::vector<Reading> readings = playUntil(
        [](const Reading& r) { return orderOf(r.position) == 2 && rowOf(r.position) > 8; });

    ASSERT_FALSE(readings.empty());
    EXPECT_EQ(orderOf(readings.front().position), 0);
    // Each reading is where the sound is: never ahead of the time played,
    // and never far behind it.
    for (const Reading& r : readings) {
        ASSERT_LT(orderOf(r.position), 3) << "at " << r.ms << " ms";
        ASSERT_LT(rowOf(r.position), rowsPerOrder) << "at " << r.ms << " ms";
        EXPECT_LE(moduleMs(r.position), latestModuleMs(r.ms)) << "ahead at " << r.ms << " ms";
        EXPECT_GE(moduleMs(r.position), earliestModuleMs(r.ms)) << "behind at " << r.ms << " ms";
    }
    expectOnTime(readings, firstAtOrder(readings, 1), 320, "order 1");
    expectOnTime(readings, firstAtOrder(readings, 2), 640, "order 2");
}

TEST_F(Player, ALoopingModuleStartsOverAtOrderZeroAfterItsEnd) {
    open();
    ASSERT_NE(loadMemory(fastModule(3)), 0) << musicErrorText();
    bool reachedLast = false;
    const std::vector<Reading> readings = playUntil([&](const Reading& r) {
        reachedLast = reachedLast || orderOf(r.position) == 2;
        return reachedLast && orderOf(r.position) == 0 && rowOf(r.position) > 4;
    });

    // the three orders last 960 ms
    expectOnTime(readings, firstAtOrder(readings, 0, firstAtOrder(readings, 2)), 960,
                 "order 0 again");
    EXPECT_EQ(orderOf(readings.back().position), 0);
    EXPECT_GT(rowOf(readings.back().position), 0u) << "and plays on from there";
}

TEST_F(Player, AModuleLoadedWithoutTheLoopFlagPlaysOnce) {
    open();
    ASSERT_NE(loadMemory(fastModule(2), BASS_MUSIC_RAMP), 0) << musicErrorText();
    // Two orders last 640 ms; on a busy machine the sound may lag the clock.
    const std::vector<Reading> readings = playAndWatch(1500);

    int highest = 0;
    for (const Reading& r : readings) {
        ASSERT_GE(orderOf(r.position), highest) << "went back at " << r.ms << " ms";
        highest = orderOf(r.position);
    }
    EXPECT_EQ(orderOf(readings.back().position), 1);
    EXPECT_GE(rowOf(readings.back().position), rowsPerOrder - 3) << "it stays near its end";
}

// ---------------------------------------------------------------------------
// Stop, play again, free, load again

TEST_F(Player, StopHoldsThePositionAndPlayStartsOverFromTheBeginning) {
    open();
    ASSERT_NE(loadMemory(fastModule(3)), 0);
    playUntil([](const Reading& r) { return orderOf(r.position) == 1; });
    ASSERT_NE(BASSMOD_MusicStop(), 0);
    const std::uint32_t stopped = BASSMOD_MusicGetPosition();
    EXPECT_EQ(orderOf(stopped), 1);
    usleep(100 * 1000);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), stopped) << "nothing plays after a stop";

    expectPlayStartsOver();
    BASSMOD_MusicStop();
    const std::vector<Reading> readings =
        playUntil([](const Reading& r) { return orderOf(r.position) == 1; });
    expectOnTime(readings, firstAtOrder(readings, 1), 320, "order 1");

    // Play while playing starts over too.
    expectPlayStartsOver();
}

TEST_F(Player, AFreedModuleIsGoneAndAnotherCanBeLoadedAndPlayed) {
    open();
    ASSERT_NE(loadMemory(fastModule(3)), 0);
    ASSERT_NE(BASSMOD_MusicPlay(), 0);
    usleep(100 * 1000);
    BASSMOD_MusicFree();
    EXPECT_EQ(BASSMOD_MusicGetPosition(), noModule);
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_STREQ(musicErrorText(), "no module is loaded");

    const std::string path = writeTempFile(fastModule(2), ".it");
    ASSERT_NE(BASSMOD_MusicLoad(0, path.c_str(), 0, 0, showFlags), 0) << musicErrorText();
    EXPECT_EQ(BASSMOD_MusicGetPosition(), 0u);
    const std::vector<Reading> readings =
        playUntil([](const Reading& r) { return orderOf(r.position) == 1; });
    expectOnTime(readings, firstAtOrder(readings, 1), 320, "order 1");
}

TEST_F(Player, LoadingOverAPlayingModuleReplacesItStopped) {
    open();
    ASSERT_NE(loadMemory(fastModule(3)), 0);
    ASSERT_NE(BASSMOD_MusicPlay(), 0);
    usleep(400 * 1000);
    ASSERT_NE(loadMemory(fastModule(2)), 0);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), 0u);
    usleep(100 * 1000);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), 0u) << "a new module waits for MusicPlay";
}

TEST_F(Player, TheLayerCanBeShutDownAndOpenedAgain) {
    for (int round = 0; round < 3; ++round) {
        open();
        ASSERT_NE(loadMemory(fastModule(2)), 0);
        ASSERT_NE(BASSMOD_MusicPlay(), 0);
        usleep(30 * 1000);
        // The show's quit steps.
        BASSMOD_MusicStop();
        BASSMOD_MusicFree();
        BASSMOD_Free();
        EXPECT_EQ(BASSMOD_MusicGetPosition(), noModule);
    }
}

// ---------------------------------------------------------------------------
// Where the bytes come from

TEST_F(Player, ModulesLoadFromAFileOrFromMemoryAtAnOffset) {
    open();
    const std::vector<std::uint8_t> module = fastModule(2);
    std::vector<std::uint8_t> padded(16 + module.size() + 8, 0xEE);
    std::copy(module.begin(), module.end(), padded.begin() + 16);
    const std::uint32_t size = std::uint32_t(module.size());
    const std::string path = writeTempFile(padded, ".bin");

    EXPECT_NE(BASSMOD_MusicLoad(1, padded.data(), 16, size, showFlags), 0) << musicErrorText();
    EXPECT_NE(BASSMOD_MusicLoad(0, path.c_str(), 16, size, showFlags), 0) << musicErrorText();
    EXPECT_NE(BASSMOD_MusicLoad(0, path.c_str(), 16, 0, showFlags), 0)
        << "length 0 reads to the end of the file: " << musicErrorText();
    EXPECT_EQ(BASSMOD_MusicLoad(0, path.c_str(), 0, 0, showFlags), 0) << "the padding first";
}

// ---------------------------------------------------------------------------
// Failures: 0 and a reason that reads well after "cannot load demosong.it: "

TEST_F(Player, EveryLoadFailureReturnsZeroWithAReason) {
    open();
    const std::vector<std::uint8_t> module = fastModule(2);
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    const std::string textFile = writeTempFile(text, ".it");
    const std::string emptyFile = writeTempFile({}, ".it");
    const std::string moduleFile = writeTempFile(module, ".it");
    const std::uint32_t size = std::uint32_t(module.size());

    struct Case {
        const char* what;
        int mem;
        const void* file;
        std::uint32_t offset, length;
        const char* reason;
    };
    const Case cases[] = {
        {"missing file", 0, "/nonexistent/demosong.it", 0, 0, "No such file or directory"},
        {"directory", 0, "/tmp", 0, 0, "Is a directory"},
        {"empty file", 0, emptyFile.c_str(), 0, 0, "the file is empty"},
        {"text file", 0, textFile.c_str(), 0, 0, "not a module libopenmpt can read"},
        {"offset past the end", 0, moduleFile.c_str(), size + 1, 0, "shorter than the offset"},
        {"length past the end", 0, moduleFile.c_str(), 1, size, "ends before offset + length"},
        {"no file name", 0, nullptr, 0, 0, "no file name"},
        {"empty memory", 1, module.data(), 0, 0, "no module data"},
        {"null memory", 1, nullptr, 0, 100, "no module data"},
        {"text in memory", 1, text.data(), 0, std::uint32_t(text.size()),
         "not a module libopenmpt can read"},
    };
    for (const Case& c : cases) {
        ASSERT_NE(loadMemory(module), 0) << "a module to be replaced";
        EXPECT_EQ(BASSMOD_MusicLoad(c.mem, c.file, c.offset, c.length, showFlags), 0) << c.what;
        EXPECT_NE(std::strstr(musicErrorText(), c.reason), nullptr)
            << c.what << ": \"" << musicErrorText() << "\"";
        EXPECT_EQ(BASSMOD_MusicGetPosition(), noModule) << c.what << ": the old module is freed";
        EXPECT_EQ(BASSMOD_MusicPlay(), 0) << c.what;
    }
}

TEST_F(Player, DamagedAndRandomBytesNeverCrashALoad) {
    open();
    const std::vector<std::uint8_t> module = fastModule(3);
    std::mt19937 random(12345);
    for (std::size_t cut = 1; cut < module.size(); cut += 1 + cut / 4) {
        // cut short: refused wherever the cut is (libopenmpt would play what
        // it has), with the words past the magic number
        EXPECT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, std::uint32_t(cut), showFlags), 0)
            << "cut at " << cut;
        if (cut >= 4) {
            EXPECT_THAT(musicErrorText(), HasSubstr("the file is cut short: it has "));
        }
        // a byte flipped
        std::vector<std::uint8_t> flipped = module;
        flipped[cut] ^= std::uint8_t(1 + random() % 255);
        if (loadMemory(flipped) != 0) {
            BASSMOD_MusicPlay();
            usleep(1000);
        }
    }
    for (int round = 0; round < 50; ++round) {
        std::vector<std::uint8_t> noise(1 + random() % 2000);
        for (std::uint8_t& byte : noise)
            byte = std::uint8_t(random());
        if (round % 2 == 0)
            std::memcpy(noise.data(), "IMPM", std::min<std::size_t>(4, noise.size()));
        if (loadMemory(noise) == 0) {
            EXPECT_STRNE(musicErrorText(), "");
        }
    }
}

TEST_F(Player, ACompressedSampleIsCompleteOnlyWithAllItsBlocks) {
    // The fast module's sample marked compressed: its data is then one
    // block, a 16-bit byte count and the bytes, which must lie in the file.
    std::vector<std::uint8_t> module = fastModule(1);
    const auto field = [&](std::size_t at) {
        return std::uint32_t(module[at] | module[at + 1] << 8 | module[at + 2] << 16 |
                             module[at + 3] << 24);
    };
    const std::size_t orders = module[0x20] | module[0x21] << 8;
    const std::size_t instruments = module[0x22] | module[0x23] << 8;
    const std::size_t sample = field(0xC0 + orders + 4 * instruments);
    ASSERT_EQ(std::memcmp(&module[sample], "IMPS", 4), 0);
    module[sample + 0x12] |= 8;
    const std::size_t data = field(sample + 0x48);
    const std::size_t blockBytes = module.size() - data - 2;
    module[data] = std::uint8_t(blockBytes);
    module[data + 1] = std::uint8_t(blockBytes >> 8);
    std::string why;
    EXPECT_TRUE(demo::moduleComplete(module.data(), module.size(), why)) << why;
    EXPECT_FALSE(demo::moduleComplete(module.data(), module.size() - 1, why));
    module[data] = std::uint8_t(blockBytes + 1);
    EXPECT_FALSE(demo::moduleComplete(module.data(), module.size(), why));
}

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* saved = std::getenv(name);
        had_ = saved != nullptr;
        if (had_) saved_ = saved;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (had_)
            setenv(name_, saved_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    std::string saved_;
};

TEST_F(Player, AnAudioDeviceThatCannotOpenFailsWithSdlsReason) {
    {
        // A driver SDL does not have.
        ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        EXPECT_EQ(BASSMOD_Init(-1, 44100, 0), 0);
        EXPECT_NE(std::strstr(musicErrorText(), "no-such-driver"), nullptr)
            << "\"" << musicErrorText() << "\"";
    }
    {
        // A driver that starts but whose device cannot open: SDL's file
        // writer, pointed at a folder that does not exist.
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv file("SDL_DISKAUDIOFILE", "/nonexistent/folder/audio.raw");
        EXPECT_EQ(BASSMOD_Init(-1, 44100, 0), 0);
        EXPECT_NE(std::strstr(musicErrorText(), "using SDL's disk driver"), nullptr)
            << "\"" << musicErrorText() << "\"";
    }

    // Nothing is left half open: the layer starts cleanly afterwards.
    EXPECT_EQ(BASSMOD_MusicLoad(1, "x", 0, 1, showFlags), 0);
    EXPECT_STREQ(musicErrorText(), "the audio device is not open");
    open();
}

TEST_F(Player, InitRefusesABadRateAnUnknownDeviceAndASecondInit) {
    EXPECT_EQ(BASSMOD_Init(-1, 0, 0), 0);
    EXPECT_NE(std::strstr(musicErrorText(), "unsupported output rate 0 Hz"), nullptr);
    EXPECT_EQ(BASSMOD_Init(-1, 1000000, 0), 0);
    EXPECT_EQ(BASSMOD_Init(99, 44100, 0), 0);
    EXPECT_NE(std::strstr(musicErrorText(), "no audio device number 99"), nullptr)
        << "\"" << musicErrorText() << "\"";

    open();
    EXPECT_EQ(BASSMOD_Init(-1, 44100, 0), 0);
    EXPECT_STREQ(musicErrorText(), "the audio device is already open");
    ASSERT_NE(loadMemory(fastModule(2)), 0) << "the first device still works";
    ASSERT_NE(BASSMOD_MusicPlay(), 0);
}

// ---------------------------------------------------------------------------
// Calls in the wrong state fail or do nothing

TEST_F(Player, CallsBeforeInitFailOrDoNothing) {
    const std::vector<std::uint8_t> module = fastModule(2);
    EXPECT_EQ(loadMemory(module), 0);
    EXPECT_STREQ(musicErrorText(), "the audio device is not open");
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_EQ(BASSMOD_MusicStop(), 0);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), noModule);
    BASSMOD_MusicFree();
    BASSMOD_Free();
    BASSMOD_Free();
}

TEST_F(Player, CallsWithoutAModuleFailOrDoNothing) {
    open();
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_STREQ(musicErrorText(), "no module is loaded");
    EXPECT_EQ(BASSMOD_MusicStop(), 0);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), noModule);
    BASSMOD_MusicFree();
    BASSMOD_MusicFree();

    ASSERT_NE(loadMemory(fastModule(2)), 0);
    BASSMOD_MusicFree();
    BASSMOD_MusicFree();
    EXPECT_EQ(BASSMOD_MusicStop(), 0);
}

TEST_F(Player, FreeWhilePlayingReleasesEverything) {
    open();
    ASSERT_NE(loadMemory(fastModule(3)), 0);
    ASSERT_NE(BASSMOD_MusicPlay(), 0);
    usleep(50 * 1000);
    BASSMOD_Free();
    EXPECT_EQ(BASSMOD_MusicGetPosition(), noModule);
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_EQ(BASSMOD_MusicStop(), 0);
    BASSMOD_MusicFree();
    BASSMOD_Free();
}

}  // namespace

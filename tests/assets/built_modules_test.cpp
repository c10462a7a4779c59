// The modules the build composes, as the show and two independent players
// see them: the song (demosong.it) and the short test module
// (testdata/demosong.it).
#include <gtest/gtest.h>
#include <unistd.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/commands.h"

namespace {

const std::string songPath = std::string(DEMO_BINARY_DIR) + "/demosong.it";
const std::string testModulePath = std::string(DEMO_BINARY_DIR) + "/testdata/demosong.it";

openmpt::module loadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path << " is missing: build the demo_song target";
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return openmpt::module(bytes);
}

// Seconds from the start of the module to the start of an order.
double orderStart(openmpt::module& mod, int order) { return mod.set_position_order_row(order, 0); }

// ---- a second player ----------------------------------------------------------

// Output of a shell command, standard error included.
std::string run(const std::string& command) {
    return testsupport::runCommand(command + " 2>&1").output;
}

bool haveXmp() { return testsupport::haveCommand("xmp"); }

// The number after "Module length:" in xmp's report; -1 if it is missing.
// xmp counts the order list's end marker as an order of its own.
int xmpOrders(const std::string& report) {
    const size_t at = report.find("Module length: ");
    return at == std::string::npos ? -1 : std::atoi(report.c_str() + at + 15);
}

// Plays a module once through xmp into a raw 16-bit stereo file; returns the
// seconds of sound written, and what xmp printed besides blank lines (it
// reports every fault there and always exits with status 0) in complaints.
double playWithXmp(const std::string& path, std::string& complaints) {
    const std::string raw =
        ::testing::TempDir() + "xmp-output-" + std::to_string(getpid()) + ".raw";
    std::remove(raw.c_str());
    complaints.clear();
    for (char c : run("xmp --norc --nocmd -q -d file -o '" + raw + "' '" + path + "'"))
        if (!complaints.empty() || !std::isspace(static_cast<unsigned char>(c))) complaints += c;
    std::ifstream in(raw, std::ios::binary | std::ios::ate);
    const double seconds = in ? double(in.tellg()) / (4 * 44100.0) : 0;
    std::remove(raw.c_str());
    return seconds;
}

// Renders a module with libopenmpt's default settings at 44100 Hz, as the
// show's music layer plays it: interleaved stereo.
std::vector<float> renderAll(openmpt::module& mod) {
    std::vector<float> out;
    std::vector<float> chunk(2 * 4096);
    while (size_t n = mod.read_interleaved_stereo(44100, 4096, chunk.data()))
        out.insert(out.end(), chunk.begin(), chunk.begin() + 2 * n);
    return out;
}

double dbfs(double amplitude) { return 20 * std::log10(amplitude); }

// Peak and RMS, in dBFS, of the frames from one time to another.
void levels(const std::vector<float>& stereo, double from, double to, double& peak, double& rms) {
    const size_t first = size_t(from * 44100),
                 last = std::min(stereo.size() / 2, size_t(to * 44100));
    double sum = 0, top = 0;
    for (size_t i = 2 * first; i < 2 * last; ++i) {
        sum += double(stereo[i]) * stereo[i];
        top = std::fmax(top, std::fabs(stereo[i]));
    }
    peak = dbfs(top);
    rms = dbfs(std::sqrt(sum / (2.0 * (last - first))));
}

// ---- the song ----------------------------------------------------------------------------

TEST(Song, HoldsTheShowsThirteenOrders) {
    openmpt::module mod = loadFile(songPath);
    ASSERT_GE(mod.get_num_orders(), 13);
    for (int order = 0; order < 13; ++order)
        EXPECT_GE(mod.get_order_pattern(order), 0) << "order " << order;
}

TEST(Song, EachScenesTwoOrdersLastTwelveToEighteenSeconds) {
    openmpt::module mod = loadFile(songPath);
    for (int scene = 0; scene < 6; ++scene) {
        const double seconds = orderStart(mod, 2 * scene + 2) - orderStart(mod, 2 * scene);
        EXPECT_GE(seconds, 12.0) << "scene " << scene + 1;
        EXPECT_LE(seconds, 18.0) << "scene " << scene + 1;
    }
    const double show = orderStart(mod, 12);
    EXPECT_GE(show, 80.0);
    EXPECT_LE(show, 110.0);
}

TEST(Song, StartsOverAfterOrderTwelve) {
    openmpt::module mod = loadFile(songPath);
    mod.set_repeat_count(-1);
    const double end = mod.get_duration_seconds();
    mod.set_position_order_row(12, 0);
    std::vector<float> chunk(2 * 4410);
    for (double t = orderStart(mod, 12); t < end + 1; t += 0.1)
        ASSERT_EQ(mod.read_interleaved_stereo(44100, 4410, chunk.data()), 4410u);
    EXPECT_EQ(mod.get_current_order(), 0);
}

TEST(Song, LeavesHeadroomAndPlaysAtTheLevelOfFinishedMusic) {
    openmpt::module mod = loadFile(songPath);
    const double body = orderStart(mod, 2), bodyEnd = orderStart(mod, 10);
    const double end = mod.get_duration_seconds();
    mod.set_position_seconds(0);
    const std::vector<float> audio = renderAll(mod);
    ASSERT_GE(audio.size() / 2, size_t(end * 44100) - 1);
    double peak, rms;
    levels(audio, 0, end, peak, rms);
    EXPECT_LT(peak, -1.0) << "the whole song's peak, dBFS";
    levels(audio, body, bodyEnd, peak, rms);
    EXPECT_GT(rms, -17.0) << "RMS of orders 2 to 9, dBFS";
    EXPECT_LT(rms, -12.0) << "RMS of orders 2 to 9, dBFS";
    // every scene is heard, and the opening builds up to the body's level
    for (int scene = 0; scene < 6; ++scene) {
        levels(audio, orderStart(mod, 2 * scene), orderStart(mod, 2 * scene + 2), peak, rms);
        EXPECT_GT(rms, -24.0) << "scene " << scene + 1;
    }
    double quiet, loud;
    levels(audio, 0, 2, peak, quiet);
    levels(audio, body - 2, body, peak, loud);
    EXPECT_GT(loud - quiet, 10.0) << "dB risen over the opening";
}

TEST(Song, LoadsAndPlaysInXmp) {
    if (!haveXmp())
        GTEST_SKIP() << "xmp is not installed (scripts/install-deps.sh --test installs it)";
    EXPECT_GE(xmpOrders(run("xmp --norc --load-only -v '" + songPath + "'")), 13);
    openmpt::module mod = loadFile(songPath);
    std::string complaints;
    EXPECT_NEAR(playWithXmp(songPath, complaints), mod.get_duration_seconds(), 0.5);
    EXPECT_EQ(complaints, "");
}

// ---- the test module ------------------------------------------------------------------

TEST(TestModule, HoldsTheShowsThirteenOrdersEachItsOwnPattern) {
    openmpt::module mod = loadFile(testModulePath);
    ASSERT_GE(mod.get_num_orders(), 13);
    for (int order = 0; order < 13; ++order) {
        const int pattern = mod.get_order_pattern(order);
        ASSERT_GE(pattern, 0) << "order " << order;
        EXPECT_GE(mod.get_pattern_num_rows(pattern), 32) << "order " << order;
    }
}

TEST(TestModule, PassesEveryOrderThroughTwelveInUnderTenSeconds) {
    openmpt::module mod = loadFile(testModulePath);
    EXPECT_NEAR(mod.get_duration_seconds(), 6.5, 1e-6);
    for (int order = 0; order < 13; ++order)
        EXPECT_NEAR(orderStart(mod, order), 0.5 * order, 1e-6) << "order " << order;
    EXPECT_LT(orderStart(mod, 12) + 0.5, 10.0);
}

TEST(TestModule, EveryOrderSounds) {
    openmpt::module mod = loadFile(testModulePath);
    std::vector<float> left(22050), right(22050);
    for (int order = 0; order < 13; ++order) {
        ASSERT_EQ(mod.read(44100, left.size(), left.data(), right.data()), left.size());
        float peak = 0;
        for (float v : left)
            peak = std::fmax(peak, std::fabs(v));
        EXPECT_GT(peak, 0.05f) << "order " << order;
        EXPECT_LT(peak, 0.9f) << "order " << order;
    }
}

TEST(TestModule, LoadsAndPlaysInXmp) {
    if (!haveXmp())
        GTEST_SKIP() << "xmp is not installed (scripts/install-deps.sh --test installs it)";
    EXPECT_GE(xmpOrders(run("xmp --norc --load-only -v '" + testModulePath + "'")), 13);
    std::string complaints;
    EXPECT_NEAR(playWithXmp(testModulePath, complaints), 6.5, 0.1);
    EXPECT_EQ(complaints, "");
}

}  // namespace

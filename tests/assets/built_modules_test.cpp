// The modules the build composes, as the show and two independent players
// see them: the song (demosong.it) and the short test module
// (testdata/demosong.it).
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
    std::string out;
    if (std::FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

bool haveXmp() { return run("command -v xmp").find("xmp") != std::string::npos; }

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
    const std::string raw = ::testing::TempDir() + "xmp-output.raw";
    std::remove(raw.c_str());
    complaints.clear();
    for (char c : run("xmp --norc --nocmd -q -d file -o '" + raw + "' '" + path + "'"))
        if (!complaints.empty() || !std::isspace(static_cast<unsigned char>(c))) complaints += c;
    std::ifstream in(raw, std::ios::binary | std::ios::ate);
    const double seconds = in ? double(in.tellg()) / (4 * 44100.0) : 0;
    std::remove(raw.c_str());
    return seconds;
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

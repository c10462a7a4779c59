// Scene 2 (five-lobed shell of cubes) against the GL call recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "scenes/scenes.h"
#include "tests/scenes/recorded_frame.h"
#include "tests/scenes/signature_model.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

using glrec::call;
using glrec::Fn;
using recorded::clear;
using recorded::Clear;

// Every place a cube can stand, with its colour, as the draws (d1, d2, d3)
// give it; worked out here from the shell's definition.
struct Placements {
    using Key = std::tuple<float, float, float, float, float>;  // x, y, z, red, green
    std::map<Key, std::pair<int, int>> pairOf;                  // -> (d1, d2)
    std::set<std::pair<int, int>> passing;                      // accepted (d1, d2)
    double closest = 1;  // nearest approach of any s to either bound
};

const Placements& placements() {
    static const Placements all = [] {
        Placements p;
        for (int d1 = 0; d1 < 100; ++d1) {
            for (int d2 = 0; d2 < 100; ++d2) {
                const float r = float(0.04 * d1), u = float(0.01 * d2);
                const double s = r + 0.4 * std::sin((double(u) * 20) * 1.57079634);
                p.closest = std::min({p.closest, std::abs(s - 1.5), std::abs(s - 1.53)});
                if (!(s > 1.5 && s < 1.53)) continue;
                p.passing.insert({d1, d2});
                for (int d3 = 0; d3 < 100; ++d3) {
                    const float v = float(0.005 * d3);
                    const double theta = 6.28 * u, phi = 6.28 * v;
                    const Placements::Key key{float(r * std::sin(theta) * std::sin(phi)),
                                              float(r * std::cos(phi)),
                                              float(r * std::cos(theta) * std::sin(phi)),
                                              float(0.8 * v + u + 0.1), float(0.6 * u + v)};
                    p.pairOf[key] = {d1, d2};
                }
            }
        }
        return p;
    }();
    return all;
}

class LobedShell : public ::testing::Test {
protected:
    void SetUp() override { scriptedrand::useRealSequence(1); }
    void frame(int elapsedMs) { recorded::drawFrame(demo::scene2, elapsedMs); }
};

TEST_F(LobedShell, EveryFrameDraws240006Values) {
    recorded::expectDrawsEveryFrame(demo::scene2, {0, 10, 1234, 50000}, 240006);
}

TEST_F(LobedShell, ZeroGeneratorGivesBothPanelsAndNoCube) {
    scriptedrand::returnConstant(0);
    frame(500);
    std::vector<Clear> expected = recorded::whiteBands();
    expected.push_back(clear(50, 330, 360, 114, 0.8f, 0.8f, 1));
    expected.push_back(clear(450, 130, 60, 144, 1, 0.7f, 0.9f));
    EXPECT_EQ(recorded::clears(), expected);
    EXPECT_TRUE(recorded::rotatedBoxes().empty());
    EXPECT_TRUE(glrec::callsOf(Fn::Begin).empty());
}

TEST_F(LobedShell, PanelsJitterWithinTheirRanges) {
    for (std::uint32_t state : {1u, 2024u, 31337u, 0xabcdef01u, 0xfffffff0u}) {
        scriptedrand::useRealSequence(state);
        scriptedrand::Sequence gen{state};
        int p[6];
        for (int& v : p)
            v = gen.nextDraw();
        frame(100);
        const std::vector<Clear> all = recorded::clears();
        ASSERT_EQ(all.size(), 22u);
        // The integer forms of the panels' truncated sums.
        EXPECT_EQ(all[20], clear(50 + (2 * p[0]) / 5, 330 + p[1] / 10, 360 + p[2] / 10,
                                 114 - (p[2] + 9) / 10, 0.8f, 0.8f, 1));
        EXPECT_EQ(all[21], clear(450 + p[3] / 10, 130 + p[4] / 10, 60 + (2 * p[5]) / 5,
                                 144 - (2 * p[5] + 4) / 5, 1, 0.7f, 0.9f));
    }
}

TEST_F(LobedShell, EveryCubeTurnsBackByTheShellsOwnAngle) {
    for (int t : {0, 1234, 3600, 99999}) {
        frame(t);
        const auto& log = glrec::calls();
        // Camera, then the shell's frame.
        std::size_t k = 0;
        while (k < log.size() && log[k].fn != Fn::LookAt)
            ++k;
        ASSERT_LT(k + 3, log.size());
        EXPECT_EQ(log[k + 1], call(Fn::Disable, {GL_SCISSOR_TEST}));
        EXPECT_EQ(log[k + 2], call(Fn::Translatef, {0, 0, -1}));
        const float frameAngle = float(0.1 * t);
        EXPECT_EQ(log[k + 3], call(Fn::Rotatef, {frameAngle, 1, 0.3f, -0.5f}));
        if (t == 3600) {
            EXPECT_EQ(frameAngle, 360.0f) << "one full turn";
        }

        const auto boxes = recorded::rotatedBoxes();
        ASSERT_FALSE(boxes.empty());
        for (const auto& box : boxes) {
            ASSERT_EQ(box.rotation[0], -double(frameAngle));
            ASSERT_EQ(box.rotation[1], 1);
            ASSERT_EQ(box.rotation[2], 0.3f);
            ASSERT_EQ(box.rotation[3], -0.5f);
            ASSERT_EQ(box.size, (std::array<double, 3>{0.1f, 0.1f, 0.1f}));
        }
    }
}

TEST_F(LobedShell, NinetyRadiusAzimuthPairsPassTheBand) {
    const Placements& p = placements();
    EXPECT_EQ(p.passing.size(), 90u);
    EXPECT_EQ(p.pairOf.size(), 9000u);
    EXPECT_GE(p.closest, 0.0004) << "the passing set would depend on rounding";

    std::set<int> radii, emptyAzimuths;
    for (int d2 = 0; d2 < 100; ++d2)
        emptyAzimuths.insert(d2);
    for (const auto& [d1, d2] : p.passing) {
        radii.insert(d1);
        emptyAzimuths.erase(d2);
    }
    // Radii 1.12, 1.2, 1.28, 1.4, 1.52, 1.64, 1.76, 1.84, 1.92 (in steps of 0.04).
    EXPECT_EQ(radii, (std::set<int>{28, 30, 32, 35, 38, 41, 44, 46, 48}));
    EXPECT_EQ(emptyAzimuths, (std::set<int>{14, 16, 34, 36, 54, 56, 74, 76, 94, 96}));
    EXPECT_TRUE(p.passing.count({38, 0}));
    EXPECT_FALSE(p.passing.count({37, 0}));
    EXPECT_FALSE(p.passing.count({39, 0}));
}

TEST_F(LobedShell, CubesAreOnlyTheShellsPlacementsAboutSevenHundredTwentyAFrame) {
    const Placements& p = placements();
    std::set<std::pair<int, int>> seen;
    long cubes = 0;
    const int frames = 40;
    for (int f = 0; f < frames; ++f) {
        frame(f * 97);
        for (const auto& box : recorded::rotatedBoxes()) {
            const Placements::Key key{float(box.at[0]), float(box.at[1]), float(box.at[2]),
                                      float(box.colour[0]), float(box.colour[1])};
            const auto found = p.pairOf.find(key);
            ASSERT_NE(found, p.pairOf.end())
                << "cube at " << box.at[0] << " " << box.at[1] << " " << box.at[2];
            ASSERT_EQ(box.colour[2], 1);
            seen.insert(found->second);
            ++cubes;
        }
    }
    // 80,000 samples pass with probability 90 / 10,000: 720 +- 27 per frame.
    EXPECT_NEAR(double(cubes) / frames, 720, 20);
    EXPECT_EQ(seen, p.passing) << "some accepted pair never showed";
}

TEST_F(LobedShell, HandsOverScissorAndBlendOffWhateverItInherits) {
    using recorded::HandOver;
    scriptedrand::useRealSequence(9);
    frame(2500);
    EXPECT_EQ(recorded::handOver(), (HandOver{false, false, true, 0, 0}));
    EXPECT_EQ(glrec::state().clearColor, (std::array<float, 4>{1, 0.7f, 0.9f, 1}));
    recorded::expectSameFrameWhateverItInherits(demo::scene2, 2500, 9);
}

}  // namespace

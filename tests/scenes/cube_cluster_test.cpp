// Scene 1 (cube cluster with block signature) against the GL call recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

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

class CubeCluster : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        glrec::setState(recorded::startupState());
        scriptedrand::useRealSequence(1);
        scriptedrand::resetCount();
    }
    void frame(int elapsedMs) { recorded::drawFrame(demo::scene1, elapsedMs); }
};

TEST_F(CubeCluster, EveryFrameDraws3017Values) {
    recorded::expectDrawsEveryFrame(demo::scene1, {0, 2000, 3999, 4000, 3600, 100000}, 3017);
}

TEST_F(CubeCluster, ZeroGeneratorGivesTheListedStripAndSignature) {
    scriptedrand::returnConstant(0);
    frame(5000);
    std::vector<Clear> expected = recorded::whiteBands();
    expected.push_back(clear(50, 130, 460, 64, 0.8f, 0.8f, 0.85f));
    const double letters[11][4] = {{50, 130, 15, 100},  {65, 155, 15, 25},   {65, 205, 15, 25},
                                   {95, 130, 15, 100},  {110, 130, 15, 25},  {125, 130, 15, 100},
                                   {155, 130, 15, 100}, {185, 130, 15, 100}, {215, 130, 15, 100},
                                   {230, 205, 15, 25},  {230, 130, 15, 25}};
    for (const auto& r : letters)
        expected.push_back(clear(r[0], r[1], r[2], r[3], 0, 0, 0));
    EXPECT_EQ(recorded::clears(), expected);
}

TEST_F(CubeCluster, SignatureSetsBlackOnceThenOnlyScissorsAndClears) {
    frame(5000);
    const auto& log = glrec::calls();
    std::size_t k = 0;
    while (k < log.size() && log[k] != call(Fn::ClearColor, {0, 0, 0, 1}))
        ++k;
    ASSERT_LT(k, log.size());
    EXPECT_EQ(log[k - 1], call(Fn::Enable, {GL_SCISSOR_TEST}));
    for (int r = 0; r < 11; ++r) {
        EXPECT_EQ(log[k + 1 + 2 * r].fn, Fn::Scissor);
        EXPECT_EQ(log[k + 2 + 2 * r], call(Fn::Clear, {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}));
    }
    EXPECT_EQ(log[k + 23], call(Fn::SwapBuffers));
    EXPECT_EQ(recorded::clears().size(), 32u);
}

TEST_F(CubeCluster, SignatureFollowsTheGeneratorWhereverItStands) {
    // The float cursor's rounding shows in about one word in twenty, so many
    // generator states are tried.
    for (std::uint32_t k = 0; k < 200; ++k) {
        const std::uint32_t state = k * 0x9e3779b9u + 1;
        scriptedrand::useRealSequence(state);
        frame(4000);
        const std::vector<Clear> all = recorded::clears();
        ASSERT_EQ(all.size(), 32u);
        const auto rects = signature::expectedRects(state);
        ASSERT_EQ(rects.size(), 11u);
        for (int i = 0; i < 11; ++i) {
            const auto& r = rects[i];
            ASSERT_EQ(all[21 + i], clear(r[0], r[1], r[2], r[3], 0, 0, 0))
                << "rectangle " << i << " from state " << state;
        }
        // The word's last element ends between 245 and 373.7 pixels.
        const auto& last = rects.back();
        EXPECT_GE(last[0] + last[2], 245 - 1);
        EXPECT_LE(last[0] + last[2], 374);
    }
}

TEST_F(CubeCluster, StripJittersWithinItsRange) {
    for (std::uint32_t state : {1u, 77u, 4242u, 99999u, 0x80000000u}) {
        scriptedrand::useRealSequence(state);
        scriptedrand::Sequence gen{state};
        const int p1 = gen.nextDraw(), p2 = gen.nextDraw(), p3 = gen.nextDraw();
        frame(4000);
        const Clear strip = recorded::clears()[20];
        const double w = 460 + (4 * p3) / 10, h = 64 - (4 * p3 + 9) / 10;
        EXPECT_EQ(strip, clear(50 + p1 / 10, 130 + p2 / 10, w, h, 0.8f, 0.8f, 0.85f))
            << "draws " << p1 << " " << p2 << " " << p3;
    }
}

TEST_F(CubeCluster, ThousandCubesSpinInStepAboutOneAxis) {
    scriptedrand::returnConstant(0);
    frame(1234);
    const auto boxes = recorded::rotatedBoxes();
    ASSERT_EQ(boxes.size(), 1000u);
    // The clump is placed after the strip, with the scissor test off.
    const auto& log = glrec::calls();
    ASSERT_GE(boxes[0].firstCall, 2u);
    EXPECT_EQ(log[boxes[0].firstCall - 2], call(Fn::Disable, {GL_SCISSOR_TEST}));
    EXPECT_EQ(log[boxes[0].firstCall - 1], call(Fn::Translatef, {0, 0, -1}));
    for (const auto& box : boxes) {
        EXPECT_EQ(box.at, (std::array<double, 3>{0, 0, 0}));
        EXPECT_EQ(box.size, (std::array<double, 3>{0.5, 0.5, 0.5}));
        EXPECT_EQ(box.rotation, (std::array<double, 4>{float(-123.4), 1, 0.3f, -0.5f}));
        EXPECT_EQ(box.colour, (std::array<double, 3>{0.1f, 0, 1}));
    }
}

TEST_F(CubeCluster, CubesFillTheirBlockAndTakeColourFromPosition) {
    scriptedrand::useRealSequence(987654321u);
    scriptedrand::Sequence gen{987654321u};
    gen.skip(3);
    frame(3600);
    const auto boxes = recorded::rotatedBoxes();
    ASSERT_EQ(boxes.size(), 1000u);
    for (const auto& box : boxes) {
        const int q1 = gen.nextDraw(), q2 = gen.nextDraw(), q3 = gen.nextDraw();
        const float x = float(0.005 * q1), y = float(0.005 * q2), z = float(0.001 * q3);
        ASSERT_EQ(box.at, (std::array<double, 3>{x, y, z}));
        // A full turn after 3600 ms: the orientation of the first frame.
        ASSERT_EQ(box.rotation[0], -360.0);
        ASSERT_EQ(box.colour,
                  (std::array<double, 3>{float(0.8 * z + y + 0.1), float(0.6 * y + z), 1}));
    }
}

TEST_F(CubeCluster, FadeInRunsFourSecondsFromWhite) {
    recorded::expectFadeFromWhite([this](int ms) { frame(ms); });
    for (int t : {4000, 4001, 60000}) {
        frame(t);
        EXPECT_FALSE(recorded::overlayGrey().has_value());
        EXPECT_TRUE(glrec::callsOf(Fn::BlendFunc).empty());
        EXPECT_EQ(glrec::callsOf(Fn::Enable).size(), 3u);  // scissor, depth, scissor again
    }
}

TEST_F(CubeCluster, HandsOverTheStateItsTableRowGives) {
    using recorded::HandOver;
    frame(100);
    EXPECT_EQ(recorded::handOver(), (HandOver{true, false, true, GL_ONE, GL_ONE_MINUS_SRC_COLOR}));
    EXPECT_EQ(glrec::state().clearColor, (std::array<float, 4>{0, 0, 0, 1}));
    frame(4000);
    EXPECT_EQ(recorded::handOver(), (HandOver{false, true, true, 0, 0}));
    EXPECT_EQ(glrec::state().clearColor, (std::array<float, 4>{0, 0, 0, 1}));
}

TEST_F(CubeCluster, FrameDoesNotDependOnTheStateItInherits) {
    for (int t : {100, 5000})
        recorded::expectSameFrameWhateverItInherits(demo::scene1, t, 5);
}

}  // namespace

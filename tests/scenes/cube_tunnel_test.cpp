// Scene 3 (cube tunnel) against the GL call recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/scenes.h"
#include "tests/scenes/recorded_frame.h"
#include "tests/scenes/signature_model.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

using glrec::call;
using glrec::Fn;

class CubeTunnel : public ::testing::Test {
protected:
    void SetUp() override { scriptedrand::useRealSequence(1); }
    void frame(int elapsedMs, bool record = true) {
        recorded::drawFrame(demo::scene3, elapsedMs, record);
    }
};

TEST_F(CubeTunnel, EveryFrameDrawsOneValuePerCube) {
    recorded::expectDrawsEveryFrame(demo::scene3, {0, 3999, 4000, 20000}, 10000);
}

TEST_F(CubeTunnel, OpensWhiteWithTheCameraOnTheAxis) {
    frame(5000);
    EXPECT_EQ(recorded::clears(), recorded::whiteBands());
    const auto& log = glrec::calls();
    const std::vector<glrec::Call> opening = {
        call(Fn::MatrixMode, {GL_MODELVIEW}), call(Fn::LoadIdentity),
        call(Fn::Enable, {GL_DEPTH_TEST}), call(Fn::LookAt, {0, 0, 3, 0, 0, 0, 0, 1, 0}),
        call(Fn::Disable, {GL_SCISSOR_TEST})};
    const std::size_t afterBands = 2 + 20 * 3;
    ASSERT_GT(log.size(), afterBands + opening.size());
    for (std::size_t i = 0; i < opening.size(); ++i)
        EXPECT_EQ(log[afterBands + i], opening[i]);
    EXPECT_EQ(log[afterBands + opening.size()], call(Fn::PushMatrix)) << "first cube";
}

TEST_F(CubeTunnel, RailsAndCubesStandWhereTheTunnelPutsThem) {
    scriptedrand::returnConstant(0);
    // The depth of a cube is summed in a fixed order, and some frames show it:
    // a sum that takes 48 from the drift first rounds to another float at
    // 1471 ms (rail 29, cube 93), one that takes it from the rail's term first
    // at 16423 ms (rail 77, cube 63).
    for (int t : {1471, 16423}) {
        frame(t);
        const auto boxes = recorded::rotatedBoxes();
        ASSERT_EQ(boxes.size(), 10000u);
        for (int i = 0; i < 100; ++i) {
            const double theta = 0.0628 * i + 0.00134 * t;
            for (int j = 0; j < 100; ++j) {
                const auto& box = boxes[i * 100 + j];
                const int n = 100 - j;
                const std::array<double, 3> at{float(2 * std::sin(theta)),
                                               float(2 * std::cos(theta)),
                                               float((0.5 * j + (0.001 * i + 0.001 * t)) - 48)};
                const std::array<double, 4> rotation{
                    float(((0 + 0.14617763 * j) + 0.05 * t) + 0.2 * i), float(std::sin(j)),
                    float(std::cos(j)), float(0.002 * j + 0.9)};
                ASSERT_EQ(box.at, at) << "at " << t << " ms, rail " << i << " cube " << j;
                ASSERT_EQ(box.size, (std::array<double, 3>{0.3f, 0.3f, 0.3f}));
                ASSERT_EQ(box.rotation, rotation)
                    << "at " << t << " ms, rail " << i << " cube " << j;
                ASSERT_EQ(box.colour,
                          (std::array<double, 3>{float(0.02 * n), float(0.016 * n), 1}));
            }
        }
        // The far end is pale (red 2, green 1.6 before clamping), the near end blue.
        EXPECT_EQ(boxes[0].colour, (std::array<double, 3>{2, 1.6f, 1}));
        EXPECT_EQ(boxes[99].colour, (std::array<double, 3>{0.02f, 0.016f, 1}));
    }
}

TEST_F(CubeTunnel, GapAfterTheLastRailIsWider) {
    frame(0);
    const auto boxes = recorded::rotatedBoxes();
    ASSERT_EQ(boxes.size(), 10000u);
    auto railAngle = [&](int i) {
        const auto& at = boxes[i * 100].at;
        EXPECT_NEAR(std::hypot(at[0], at[1]), 2, 1e-6) << "rail " << i << " off the cylinder";
        const double a = std::atan2(at[0], at[1]);  // from +y towards +x
        return a < 0 ? a + 2 * M_PI : a;
    };
    for (int i = 0; i + 1 < 100; ++i)
        EXPECT_NEAR(railAngle(i + 1) - railAngle(i), 0.0628, 1e-5) << "after rail " << i;
    EXPECT_NEAR(2 * M_PI - railAngle(99) + railAngle(0), 0.06598530718, 1e-5);
    // Every cube of a rail shares its x and y.
    for (int i = 0; i < 100; ++i) {
        for (int j = 1; j < 100; ++j) {
            ASSERT_EQ(boxes[i * 100 + j].at[0], boxes[i * 100].at[0]);
            ASSERT_EQ(boxes[i * 100 + j].at[1], boxes[i * 100].at[1]);
        }
    }
}

TEST_F(CubeTunnel, TumbleTakesOneValuePerCubeInDrawingOrder) {
    const std::uint32_t start = 0x13572468u;
    const int t = 2500;
    scriptedrand::useRealSequence(start);
    frame(t);
    const auto boxes = recorded::rotatedBoxes();
    ASSERT_EQ(boxes.size(), 10000u);
    scriptedrand::Sequence gen{start};
    for (int i = 0; i < 100; ++i) {
        for (int j = 0; j < 100; ++j) {
            const int d = gen.nextDraw();
            const float angle = float(((d + 0.14617763 * j) + 0.05 * t) + 0.2 * i);
            ASSERT_EQ(boxes[i * 100 + j].rotation[0], angle) << "rail " << i << " cube " << j;
        }
    }
}

TEST_F(CubeTunnel, SameTimeFramesDifferOnlyInTumble) {
    frame(1500);
    const std::vector<glrec::Call> first = glrec::calls();
    frame(1500);
    const std::vector<glrec::Call>& second = glrec::calls();
    ASSERT_EQ(first.size(), second.size());
    int differing = 0;
    for (std::size_t k = 0; k < first.size(); ++k) {
        if (first[k] == second[k]) continue;
        ASSERT_EQ(first[k].fn, Fn::Rotatef) << "call " << k;
        for (int a = 1; a < 4; ++a)
            ASSERT_EQ(first[k].arg[a], second[k].arg[a]) << "axis of call " << k;
        ++differing;
    }
    // A tumble repeats in 1 of 100 cases.
    EXPECT_NEAR(differing, 9900, 60);
}

TEST_F(CubeTunnel, FadeInRunsFourSecondsFromWhite) {
    recorded::expectFadeFromWhite([this](int ms) { frame(ms); });
    for (int t : {4000, 30000}) {
        frame(t);
        EXPECT_FALSE(recorded::overlayGrey().has_value());
        EXPECT_TRUE(glrec::callsOf(Fn::BlendFunc).empty());
        EXPECT_EQ(glrec::calls().back(), call(Fn::SwapBuffers));
        EXPECT_EQ(glrec::calls()[glrec::calls().size() - 2], call(Fn::PopMatrix)) << "last cube";
    }
}

TEST_F(CubeTunnel, HandsItsFadeBlendToTheNextScene) {
    using recorded::HandOver;
    frame(3999, false);
    EXPECT_EQ(recorded::handOver(), (HandOver{true, false, true, GL_ONE, GL_ONE_MINUS_SRC_COLOR}));
    frame(4000, false);
    EXPECT_EQ(recorded::handOver(), (HandOver{false, false, true, 0, 0}));

    // The same frame from whatever the previous scene left.
    for (int t : {100, 6000})
        recorded::expectSameFrameWhateverItInherits(demo::scene3, t, 3);
}

}  // namespace

namespace {

// Scenes 1 to 3 in play order, each frame starting from what the last left.
TEST(OpeningScenes, HandOverInTurnFromStartUp) {
    using recorded::HandOver;
    glrec::reset();
    glrec::setState(recorded::startupState());
    glrec::setRecording(false);
    scriptedrand::useRealSequence(1);
    auto after = [](void (*scene)(int), int ms) {
        scene(ms);
        return recorded::handOver();
    };
    EXPECT_FALSE(glrec::state().depthTest) << "start-up leaves depth testing off";
    const HandOver fading{true, false, true, GL_ONE, GL_ONE_MINUS_SRC_COLOR};
    EXPECT_EQ(after(demo::scene1, 3), fading);
    EXPECT_EQ(after(demo::scene1, 4100), (HandOver{false, true, true, 0, 0}));
    EXPECT_EQ(after(demo::scene2, 2), (HandOver{false, false, true, 0, 0}));
    EXPECT_EQ(after(demo::scene2, 9000), (HandOver{false, false, true, 0, 0}));
    EXPECT_EQ(after(demo::scene3, 1), fading);
    // A short scene 3 hands its blending on to scene 4; a long one does not.
    EXPECT_EQ(after(demo::scene3, 3999), fading);
    EXPECT_EQ(after(demo::scene3, 4000), (HandOver{false, false, true, 0, 0}));
    glrec::setRecording(true);
    EXPECT_EQ(glrec::state().modelviewDepth, 1);
    EXPECT_EQ(glrec::state().misuse, 0);
    EXPECT_EQ(glrec::state().matrixMode, GL_MODELVIEW);
}

}  // namespace
